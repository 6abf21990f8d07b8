// Arbitrary bytes as a level's session file, and as the file of its
// confusions beside it, read through the real loader.
// The first byte of an input says how many times the rest is repeated: once
// below 0xE0, else 8 to 256 times, so that small inputs also make files
// larger than the loader's first read from the end, while most runs stay
// small and fast.
#include "storage/confusion_lines.h"
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

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    documents = new QTemporaryDir;
    check(documents->isValid() && QDir(documents->path()).mkpath(QStringLiteral("lirra_sessions")));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const int repeats = size > 0 && data[0] >= 0xE0 ? (data[0] - 0xE0 + 1) * 8 : 1;
    const QByteArray body = size > 0 ? QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)) : QByteArray();
    QFile file(documents->filePath(QStringLiteral("lirra_sessions/sessions_1.txt")));
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (int i = 0; i < repeats; ++i)
        check(file.write(body) == body.size());
    file.close();
    const QString confusions = documents->filePath(QStringLiteral("lirra_sessions/confusions_1.txt"));
    QFile::remove(confusions);
    check(QFile::copy(file.fileName(), confusions));

    const QString root = documents->path();
    const FileSessionStorage storage([root]() -> Result<QString> { return root; });
    const Result<std::vector<Session>> sessions = storage.load(1);
    check(sessions.has_value());
    check(sessions->size() <= size_t(FileSessionStorage::keptLines));
    for (const Session &session : *sessions) {
        check(!session.score.empty());
        // What was read is written back in a form that reads the same.
        const QByteArray line = FileSessionStorage::formatLine(session);
        const std::optional<Session> again = FileSessionStorage::parseLine(QString::fromLatin1(line.chopped(1)));
        for (const auto &[confusion, count] : session.confusions)
            check(count > 0 && !(confusion.asked == confusion.answered));
        check(parseConfusions(QString::fromLatin1(formatConfusions(session.confusions))) == session.confusions);
        check(again && again->score == session.score
              && (again->timestamp == session.timestamp || (again->timestamp != again->timestamp && session.timestamp != session.timestamp)));
    }
    return 0;
}
