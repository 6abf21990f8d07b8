#pragma once

#include "model/error.h"
#include "model/music.h"

#include <QCoroTask>

namespace lirra {

// What a note or a cadence answers when `stopAll` ended it early: not a
// failure to show, the sign to go no further.
inline Error playbackStopped()
{
    return Error{QStringLiteral("NotePlayer"), -1, QStringLiteral("Playback was stopped")};
}
inline bool isPlaybackStopped(const Error &error)
{
    return error == playbackStopped();
}

class NotePlayer {
public:
    virtual ~NotePlayer() = default;
    // Loads the instrument and starts the output.
    virtual QCoro::Task<Result<void>> prepare() = 0;
    // Schedules one note; returns once it has had time to sound.
    virtual QCoro::Task<Result<void>> playNote(Note note) = 0;
    // Schedules the cadence's chords; returns once they have finished.
    virtual QCoro::Task<Result<void>> playCadence(Cadence cadence) = 0;
    // Done once an instrument that loads beside the app has loaded, or
    // failed to: the failure, if any, so that it is told before the first
    // silent note. A player that loads it in `prepare` answers at once.
    virtual QCoro::Task<Result<void>> instrumentReady() { co_return Result<void>{}; }
    // Ends what is scheduled at once: notes not yet played are dropped,
    // sounding notes fall silent, and every note or cadence in progress
    // answers `playbackStopped` without waiting out its time. What is asked
    // for afterwards plays as ever.
    virtual void stopAll() {}
};

} // namespace lirra
