#pragma once

#include "model/music.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace lirra {

// What each session's questions were first taken for, kept beside the
// level's sessions file, one line per session that has any:
//   "1733472000.25;e1>dsharp1:2,c1>d1:1"
// the session's timestamp as its line writes it, then "asked>answered:count"
// entries, notes written as in the sessions file with their octave.

// "dsharp1": a note as the files write it, with its octave.
QByteArray writtenNote(Note note);

// Entries only ("e1>dsharp1:2,c1>d1:1"); empty without confusions.
QByteArray formatConfusions(const std::map<Confusion, std::int64_t> &confusions);
// The entries that can be read; damaged ones are skipped.
std::map<Confusion, std::int64_t> parseConfusions(QStringView entries);

// A whole line, with its line feed; empty for a session without confusions.
QByteArray formatConfusionLine(const Session &session);

// Whether a line of the file holds a readable entry.
bool isConfusionLine(QByteArrayView line);

// Gives each session the confusions of the line with its timestamp; where a
// session's line was written more than once (a save tried again), the last
// counts. Lines that cannot be read are skipped, and counted when asked.
void attachConfusions(std::vector<Session> &sessions, const std::vector<QByteArray> &lines, int *damaged = nullptr);

// "confusions_7.txt", or "confusions_my_<uuid>.txt" for a saved level;
// "chord_confusions_7.txt" for chords.
QString confusionsFileName(const QString &sessionsFileName);

} // namespace lirra
