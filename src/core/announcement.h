#pragma once

#include <QString>

#include <cstdint>

namespace lirra {

struct AppState;

// A short sentence for a screen reader to speak, told by its serial from
// the one before: the same words twice are two announcements.
struct Announcement {
    enum class Kind { right, wrong, questionReady, sessionSaved, sessionStopped, error, notice, tourClosed, level };
    Kind kind = Kind::right;
    std::uint64_t serial = 0;
    // Of a saved session: its right answers out of all.
    std::int64_t right = 0;
    std::int64_t answers = 0;
    // Of an error: what the error screen says; of a notice, the notice; of
    // a level, its heading.
    QString detail = {};
    // Of a melody: the note now waiting, from 1, and how many it has; a
    // question of one note has length 0 here.
    std::int64_t position = 0;
    std::int64_t length = 0;
    // The places are a progression's chords.
    bool chords = false;
    friend bool operator==(const Announcement &, const Announcement &) = default;
};

// Sets the state's announcement to a new one of this kind; an error's
// description, a notice, a level's heading and, when a question is ready or
// a melody's note was found, the melody's note waiting come from the state.
void announce(AppState &state, Announcement::Kind kind);

// The words, in the user's language. A wrong answer never names the note,
// since the question stays open.
QString announcementText(const Announcement &announcement);

} // namespace lirra
