#pragma once

#include "model/error.h"
#include "model/music.h"

#include <QCoroTask>

namespace lirra {

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
};

} // namespace lirra
