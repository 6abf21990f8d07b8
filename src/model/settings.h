#pragma once

#include "model/chords.h"

#include <QString>

#include <optional>

namespace lirra {

// An instrument of a SoundFont bank.
struct Preset {
    int bank = 0;
    int program = 0;
    friend bool operator==(const Preset &, const Preset &) = default;
};

// "bank:program", as the settings file keeps it.
QString presetText(Preset preset);
// Absent unless the text is two whole numbers in MIDI's ranges (bank
// 0–16383, program 0–127), as `presetText` writes them.
std::optional<Preset> presetFromText(const QString &text);

// How notes are named on the keys and in lists.
enum class NoteNaming {
    // Movable-do syllables by distance from the tonic, with both names of a
    // note between two degrees ("Ri / Me"); letters with both of a black
    // key's names.
    solfege,
    // Movable-do syllables by function (Do Ra Re Me Mi Fa Fi Sol Le La Te Ti).
    solfegeForKey,
    // Letters as the key writes them (B♭ in F major, G♭ in E♭ minor).
    lettersForKey,
    // Scale degrees (1 ♭2 2 … 7).
    degrees,
};

QString namingText(NoteNaming naming);
std::optional<NoteNaming> namingFromText(const QString &text);

// How a session picks its questions.
enum class PracticeMode {
    // Every note once per pass, each pass shuffled anew.
    cycle,
    // Weak and confused notes come back more often; see `AdaptiveOrder`.
    adaptive,
};

QString modeText(PracticeMode mode);
std::optional<PracticeMode> modeFromText(const QString &text);

// The widest move between two neighbouring notes of a melody.
enum class MelodyLeap {
    steps, // a whole tone at most
    third, // a major third
    fifth, // a perfect fifth
    any,
};

QString leapText(MelodyLeap leap);
std::optional<MelodyLeap> leapFromText(const QString &text);
// The widest move allowed, in semitones.
int leapSemitones(MelodyLeap leap);

// How the user practises. A default value is how the app sounds and names
// notes out of the box.
struct Settings {
    static constexpr int minTempo = 40;
    static constexpr int maxTempo = 240;
    static constexpr int maxCadenceEvery = 16;
    static constexpr int maxQuestionBeats = 4;
    static constexpr int maxEmphasis = 12;
    static constexpr int maxVolume = 100;
    static constexpr int maxSpeechPause = 4;
    static constexpr int maxMelodyLength = 5;

    Preset instrument;
    // Beats per minute.
    int tempo = 110;
    // The cadence plays before every Nth question of a session; 0: only
    // before its first, and again when the key changes.
    int cadenceEvery = 1;
    // A soft tonic and fifth sound under the questions of a session.
    bool drone = false;
    // How long the question note sounds, in beats.
    int questionBeats = 1;
    // Decibels the question note sounds above any other note.
    int questionEmphasis = 0;
    // 0 silent … 100 the full level.
    int volume = 100;
    NoteNaming noteNames = NoteNaming::solfege;
    PracticeMode mode = PracticeMode::cycle;
    // In adaptive practice, a question first answered wrong ends with the
    // note pressed and the one asked, each with its resolution.
    bool contrast = true;
    // Beats of silence before each question's cadence after the first, so
    // that a screen reader can say how the last answer went; `automaticPause`
    // rests one beat while a screen reader runs and none otherwise.
    static constexpr int automaticPause = -1;
    int speechPause = automaticPause;
    // Notes in a question: 1 asks one note; more ask a melody of that many,
    // named note by note, with a history of its own.
    int melodyLength = 1;
    MelodyLeap melodyLeap = MelodyLeap::fifth;
    // A question names a note, or the root of a chord of the key; each kind
    // has a history of its own.
    QuestionKind questionKind = QuestionKind::note;
    // A progression may name the same chord twice in a row.
    bool chordsRepeat = false;

    friend bool operator==(const Settings &, const Settings &) = default;
};

// Both ask questions whose answers go to the same history: of one kind and
// one length.
inline bool sameHistory(const Settings &a, const Settings &b)
{
    return a.melodyLength == b.melodyLength && a.questionKind == b.questionKind;
}

} // namespace lirra
