// Appends sessions to one level's file, as a second running app would.
// Usage: session_append_helper <documents folder> <level id> <count> <first timestamp>
#include "practice/file_session_storage.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 5)
        return 2;
    const QString documents = QString::fromLocal8Bit(argv[1]);
    const qint64 level = QByteArray(argv[2]).toLongLong();
    const int count = QByteArray(argv[3]).toInt();
    const double first = QByteArray(argv[4]).toDouble();
    lirra::FileSessionStorage storage([documents]() -> lirra::Result<QString> { return documents; });
    for (int i = 0; i < count; ++i) {
        lirra::Session session{first + i, {}};
        // Long lines make an interleaved write likely if writes were not whole.
        for (lirra::NoteName name : lirra::allNoteNames) {
            for (std::uint8_t octave = 0; octave < 20; ++octave)
                session.score[lirra::Note{name, octave}] = lirra::Score{i, octave};
        }
        if (auto saved = storage.save(session, level); !saved) {
            std::fprintf(stderr, "%s\n", qPrintable(saved.error().description));
            return 1;
        }
    }
    return 0;
}
