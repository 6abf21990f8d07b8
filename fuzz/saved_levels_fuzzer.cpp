// Arbitrary bytes as the saved levels' definitions file, read through the
// real parser: whatever it keeps is a whole level of its key, with a name and
// an id of its own, and writing what it kept reads back the same.
#include "model/generators.h"
#include "storage/saved_levels.h"

#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>

using namespace lirra;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const SavedLevelStore::Read read = SavedLevelStore::parse(bytes);
    std::set<QUuid> ids;
    for (const Level &level : read.levels) {
        check(level.isSaved() && level.id < 0 && level.id == savedLevelId(level.savedId));
        check(ids.insert(level.savedId).second);
        check(!level.name.isEmpty() && level.name.size() <= SavedLevelStore::maxNameLength);
        check(!level.name.contains(QLatin1Char('\n')));
        check(!level.notes.empty());
        const std::vector<Note> ofKey = DiatonicLevelGenerator::notesOfKey(level.key, level.isMajor);
        for (const Note &note : level.notes)
            check(std::find(ofKey.begin(), ofKey.end(), note) != ofKey.end());
        check(!level.isCustom);
    }
    const SavedLevelStore::Read again = SavedLevelStore::parse(SavedLevelStore::format(read.levels));
    check(again.skipped == 0 && !again.altered && again.levels == read.levels);
    return 0;
}
