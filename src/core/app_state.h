#pragma once

#include "core/announcement.h"
#include "core/palette_color.h"
#include "model/error.h"
#include "model/music.h"
#include "model/settings.h"
#include "model/tip.h"
#include "practice/session_summary.h"

#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace lirra {

enum class ExportFormat { json, csv };

// What an export of every level's history came to.
struct ExportOutcome {
    QString path;
    // Why nothing was written; empty when the export was written.
    QString failure;
    std::size_t sessions = 0;
    std::size_t levels = 0;
    // What could not be read, a sentence each.
    QStringList skipped;
    friend bool operator==(const ExportOutcome &, const ExportOutcome &) = default;
};

struct Highlight {
    // Besides the colour: the key pressed for the question, right or wrong.
    enum class Mark { none, right, wrong };
    Note note;
    PaletteColor color = PaletteColor::amber;
    Mark mark = Mark::none;

    friend bool operator==(const Highlight &, const Highlight &) = default;
};

// An answer given but not yet recorded: its note or resolution still sounds.
struct PendingAnswer {
    Question question;
    bool isRight = false;
    Note pressed = {};
    friend bool operator==(const PendingAnswer &, const PendingAnswer &) = default;
};

// One step of notes played to be heard, not answered: a note, or without
// one a beat's rest; and the note it presents.
struct HeardStep {
    std::optional<Note> note;
    Note presenting;
    friend bool operator==(const HeardStep &, const HeardStep &) = default;
};

// Notes played between questions. A listening block plays the notes most
// missed, each with its resolution; a contrast, once a question first
// answered wrong is answered right, plays the note pressed and then the
// one asked, each with its resolution.
struct Hearing {
    enum class Kind { listening, contrast };
    Kind kind = Kind::listening;
    // What is still to play, the step under way first.
    std::vector<HeardStep> steps;
    // In a contrast: the note that was pressed, and the one asked.
    std::optional<Confusion> contrast;
    friend bool operator==(const Hearing &, const Hearing &) = default;
};

// A move away from an unsaved narrowing that holds answers, held until the
// user says what becomes of them.
struct LeaveNarrowing {
    enum class To { firstLevel, randomLevel, previousLevel, nextLevel, levelWithId, otherNotes };
    To to = To::nextLevel;
    std::int64_t levelId = 0;  // for levelWithId
    std::vector<Note> notes;   // for otherNotes
    friend bool operator==(const LeaveNarrowing &, const LeaveNarrowing &) = default;
};

// Everything the user sees is a function of this value.
struct AppState {
    bool isPracticing = false;
    std::optional<Level> level;
    std::optional<Level> baseLevel; // the last loaded level that is not custom
    std::optional<Session> session;
    std::optional<Question> question;
    // Of a melody: the position waiting for its note, 0 first; the notes
    // before it are found.
    std::size_t melodyPosition = 0;
    std::int64_t questionsCount = 0;
    std::int64_t correctIdentifications = 0;
    float accuracy = 0;
    AccuracyPerNote accuracyPerNote;
    bool isLevelEditorVisible = false;
    bool isAccuracyScreenVisible = false;
    bool isLevelChooserVisible = false;
    bool isPreferencesVisible = false;
    bool isConfusionViewVisible = false;
    // A stopped session of an unsaved narrowing holds answers: keeping the
    // narrowing as a level of the user's own, with it, is offered.
    bool offersToSaveLevel = false;
    std::optional<Highlight> highlightedNote;
    bool hasError = false;
    bool isInteractionEnabled = false;
    std::vector<Note> currentlyPlayingResolution;
    std::optional<Error> error;
    std::optional<Tip> currentTip;
    std::optional<PendingAnswer> pendingAnswer;
    // Goes up whenever what plays is cut short (a stop, a replay), so that
    // the results of effects started before are told from current ones.
    std::uint64_t playback = 0;
    // Goes up with every level loaded, the same one again included (after
    // a rename, say), so that lists of levels know to look again.
    std::uint64_t levelLoads = 0;
    // How the user practises, as read at start-up and changed since.
    Settings settings;
    // The questions of the session so far, and the cadence last played in
    // it: what decides whether the next question starts with one.
    std::int64_t questionsAsked = 0;
    std::optional<Cadence> cadenceHeard;
    // The key first pressed for the question on show when it was wrong.
    std::optional<Note> firstWrongAnswer;
    std::optional<Hearing> hearing;
    // What the last session came to, said after an adaptive one stops,
    // until another starts or another level is loaded.
    std::optional<SessionSummary> sessionSummary;
    // The last thing said to a screen reader.
    std::optional<Announcement> announcement;
    // Why no sound can be made, since practice was prepared; a session
    // cannot start meanwhile.
    std::optional<Error> soundError;
    // The user is asked what becomes of the narrowing's answers before
    // this move; after a save, the move still to make.
    std::optional<LeaveNarrowing> leavingNarrowing;
    // The unsaved narrowing on show holds answers of another question
    // length than the one on show (kept by practice, apart from these).
    bool narrowingAnsweredAtOtherLengths = false;
    std::optional<LeaveNarrowing> moveAfterSave;
    // Said under the keys once, at the start: the narrowing a quit saved.
    std::optional<QString> notice;
    // A screen reader is reading the app: an automatic pause for speech
    // rests a beat.
    bool screenReaderActive = false;
    // An export is being written; what the last one came to, and how many
    // have ended, so that each is told once.
    bool isExporting = false;
    std::optional<ExportOutcome> exportOutcome;
    std::uint64_t exportsEnded = 0;
};

// The level on show is a narrowing, not saved, that holds answers: leaving
// it would lose them.
bool holdsUnsavedPractice(const AppState &state);

// What is asked now: the question, or of a melody the note at the position
// waiting, as a question scored on its own with its own resolution.
Question askedNow(const AppState &state);

// What sounds for a key: nothing but itself (empty) when notes are asked;
// when chords are, the MIDI keys of the chord the note is the root of in
// the level's key.
std::vector<int> chordSounded(const AppState &state, std::optional<Note> note);

} // namespace lirra
