#pragma once

#include "model/error.h"
#include "model/music.h"
#include "model/settings.h"

#include <QCoroTask>
#include <QString>

#include <vector>

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

// An instrument the loaded bank offers.
struct InstrumentChoice {
    Preset preset;
    QString name;
    friend bool operator==(const InstrumentChoice &, const InstrumentChoice &) = default;
};

class NotePlayer {
public:
    virtual ~NotePlayer() = default;
    // Loads the instrument and starts the output.
    virtual QCoro::Task<Result<void>> prepare() = 0;
    // Schedules one note; returns once it has had time to sound.
    virtual QCoro::Task<Result<void>> playNote(Note note) = 0;
    // A key the user pressed: as `playNote`, but at once, without the
    // lead-in that keeps scheduled notes on their beat.
    virtual QCoro::Task<Result<void>> playKey(Note note) { return playNote(note); }
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

    // How the user wants it to sound: instrument, tempo, drone, question
    // note and volume. What is asked for afterwards follows them.
    virtual void apply(const Settings &settings) { static_cast<void>(settings); }
    // The note of a question: as long and as loud as the settings ask.
    virtual QCoro::Task<Result<void>> playQuestionNote(Note note) { return playNote(note); }
    // A melody's notes one beat apart, the last as a question's note;
    // returns as `playQuestionNote` does after the last. A player with a
    // clock of its own schedules them all at once, so that no wait between
    // them can move one.
    virtual QCoro::Task<Result<void>> playMelody(std::vector<Note> melody)
    {
        for (std::size_t i = 0; i + 1 < melody.size(); ++i) {
            Result<void> played = co_await playNote(melody[i]);
            if (played)
                played = co_await rest(0.25);
            if (!played)
                co_return played;
        }
        if (melody.empty())
            co_return Result<void>{};
        co_return co_await playQuestionNote(melody.back());
    }
    // A chord by its MIDI keys, struck together: as `playNote`, or at once
    // as `playKey`.
    virtual QCoro::Task<Result<void>> playChord(std::vector<int> keys, bool atOnce)
    {
        static_cast<void>(keys);
        static_cast<void>(atOnce);
        co_return co_await rest(0.75);
    }
    // Chords by their MIDI keys one beat apart, the last as a question's
    // note is; returns as `playMelody` does.
    virtual QCoro::Task<Result<void>> playProgression(std::vector<std::vector<int>> chords)
    {
        co_return co_await rest(double(chords.size()) - 0.25);
    }
    // A pause of some beats at the tempo, where no cadence is played.
    virtual QCoro::Task<Result<void>> rest(double beats)
    {
        static_cast<void>(beats);
        co_return Result<void>{};
    }
    // The tonic drone under a session's questions, when the settings ask
    // for one: starts it in this key unless it sounds already. `stopAll`
    // ends it.
    virtual void holdDrone(NoteName key) { static_cast<void>(key); }
    // The loaded bank's melodic instruments; none before it has loaded.
    virtual std::vector<InstrumentChoice> instruments() const { return {}; }
};

} // namespace lirra
