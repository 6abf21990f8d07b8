// Arbitrary bytes as a level's session file, taken the whole way a user's
// history goes: read by the real loader, attached to a generated level,
// reduced into the app's state as a loaded level, and derived into what the
// toolbar, the main screen and the accuracy screen show. Every accuracy on
// the way must stay within 0 to 1, and every count at or above 0. The first
// byte picks the level (of the 144) the history belongs to.
#include "core/reducer.h"
#include "core/screen_states.h"
#include "model/generators.h"
#include "model/preferences.h"
#include "practice/tip_provider.h"
#include "storage/file_session_storage.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace lirra;

namespace {

QTemporaryDir *documents = nullptr;
std::vector<Level> *levels = nullptr;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool isFraction(double value)
{
    return value >= 0.0 && value <= 1.0;
}

class SeenTour final : public Preferences {
public:
    std::optional<std::int64_t> integer(PreferenceKey) const override { return std::nullopt; }
    void setInteger(std::int64_t, PreferenceKey) override {}
    bool boolean(PreferenceKey) const override { return true; }
    void setBool(bool, PreferenceKey) override {}
    std::optional<QString> text(PreferenceKey) const override { return std::nullopt; }
    void setText(const QString &, PreferenceKey) override {}
};

class NoTips final : public TipProvider {
public:
    std::optional<Tip> nextTip() override { return std::nullopt; }
    void restart() override {}
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    documents = new QTemporaryDir;
    check(documents->isValid() && QDir(documents->path()).mkpath(QStringLiteral("lirra_sessions")));
    levels = new std::vector<Level>(DiatonicLevelGenerator().generateLevels());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    Level level = (*levels)[size > 0 ? data[0] % levels->size() : 0];
    const QByteArray body = size > 0 ? QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)) : QByteArray();
    QFile file(documents->filePath(QStringLiteral("lirra_sessions/sessions_%1.txt").arg(level.id)));
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    check(file.write(body) == body.size());
    file.close();

    const QString root = documents->path();
    const FileSessionStorage storage([root]() -> Result<QString> { return root; });
    Result<std::vector<Session>> sessions = storage.load(level.id);
    check(sessions.has_value());
    level.sessions = std::move(*sessions);
    file.remove();

    const LevelStatistics stats = level.statistics();
    check(isFraction(stats.accuracy));
    for (const auto &[note, accuracy] : stats.accuracyPerNote)
        check(isFraction(accuracy));
    for (const Session &session : level.sessions) {
        const SessionStatistics s = session.statistics();
        check(isFraction(s.accuracy) && s.correctCount >= 0 && s.wrongCount >= 0);
        for (const auto &[note, accuracy] : s.accuracyPerNote)
            check(isFraction(accuracy));
    }

    SeenTour preferences;
    NoTips tips;
    const AppState state = reduce(AppState{}, actions::didLoadLevel{level}, preferences, tips).state;
    check(isFraction(state.accuracy));
    const MainScreenState main = mainScreenState(state);
    check(isFraction(main.accuracy) && isFraction(navBarState(main).accuracy));
    const AccuracyScreenState accuracy = accuracyScreenState(state);
    check(isFraction(accuracy.levelAccuracy));
    for (const auto &[note, value] : accuracy.accuracyPerNote)
        check(isFraction(value));
    for (const ProgressPoint &point : accuracy.progress)
        check(isFraction(point.accuracy) && point.right >= 0 && point.total >= point.right);
    return 0;
}
