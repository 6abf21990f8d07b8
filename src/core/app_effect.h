#pragma once

#include "core/app_state.h"
#include "model/music.h"

#include <optional>
#include <variant>

namespace lirra {

namespace effects {
struct loadLevel { Level level; friend bool operator==(const loadLevel &, const loadLevel &) = default; };
// Where an effect sounds a note, `chord` holds the MIDI keys of the chord
// that sounds for it instead, when chords are asked; empty, the note sounds.
struct playNote {
    Note note;
    std::vector<int> chord = {};
    friend bool operator==(const playNote &, const playNote &) = default;
};
struct playNoteInResolution {
    std::optional<Note> note;
    std::uint64_t playback = 0;
    std::vector<int> chord = {};
    friend bool operator==(const playNoteInResolution &, const playNoteInResolution &) = default;
};
struct repeatQuestion {
    Level level;
    Question question;
    std::uint64_t playback = 0;
    friend bool operator==(const repeatQuestion &, const repeatQuestion &) = default;
};
struct playCadence {
    Level level;
    Question question;
    std::uint64_t playback = 0;
    // False: the question note comes after a beat's rest, without a cadence.
    bool withCadence = true;
    // Beats of silence first, for a screen reader to speak in.
    int pauseBeats = 0;
    friend bool operator==(const playCadence &, const playCadence &) = default;
};
struct logRightAnswer {
    Note note;
    Question question;
    std::uint64_t playback = 0;
    // A melody's note before its last: the key is heard first.
    bool playsNote = false;
    std::vector<int> chord = {};
    friend bool operator==(const logRightAnswer &, const logRightAnswer &) = default;
};
struct logWrongAnswer {
    Note note;
    Question question;
    std::uint64_t playback = 0;
    std::vector<int> chord = {};
    friend bool operator==(const logWrongAnswer &, const logWrongAnswer &) = default;
};
// Stops whatever sounds, records the answer whose sound was cut short, then
// ends the session as ever.
struct stopSession {
    std::optional<PendingAnswer> pendingAnswer;
    // Says what the session came to, measured against the level's sessions
    // before it.
    bool summarize = false;
    Session session = {};
    std::vector<Session> before = {};
    friend bool operator==(const stopSession &, const stopSession &) = default;
};
struct loadLevelWithId { std::int64_t levelId = 0; friend bool operator==(const loadLevelWithId &, const loadLevelWithId &) = default; };
// Saves the level's notes under the name; its sessions start the history.
struct saveLevel {
    Level level;
    QString name;
    friend bool operator==(const saveLevel &, const saveLevel &) = default;
};
struct renameLevel {
    std::int64_t levelId = 0;
    QString name;
    friend bool operator==(const renameLevel &, const renameLevel &) = default;
};
struct deleteLevel { std::int64_t levelId = 0; friend bool operator==(const deleteLevel &, const deleteLevel &) = default; };
// Hands the player the settings, then prepares the levels; the player's
// output is started and checked after the level (checkSound).
struct prepareToPractice {
    Settings settings;
    friend bool operator==(const prepareToPractice &, const prepareToPractice &) = default;
};
// Stores what changed, has the player follow, and, with a note, lets the
// new instrument be heard.
struct applySettings {
    Settings settings;
    Settings previous;
    std::optional<Note> preview;
    friend bool operator==(const applySettings &, const applySettings &) = default;
};
struct loadNextQuestion {
    PracticeMode mode = PracticeMode::cycle;
    // What still sounds (a listening block skipped) stops first.
    bool cutShort = false;
    friend bool operator==(const loadNextQuestion &, const loadNextQuestion &) = default;
};
// The notes for a listening block.
struct loadQuestionsToHear {
    std::size_t count = 3;
    std::uint64_t playback = 0;
    friend bool operator==(const loadQuestionsToHear &, const loadQuestionsToHear &) = default;
};
// A note to hear, or without one a beat's rest.
struct playHeardNote {
    std::optional<Note> note;
    std::uint64_t playback = 0;
    std::vector<int> chord = {};
    friend bool operator==(const playHeardNote &, const playHeardNote &) = default;
};
// Writes every level's history where the user chose.
struct exportHistory {
    ExportFormat format = ExportFormat::json;
    QString path;
    friend bool operator==(const exportHistory &, const exportHistory &) = default;
};
#define LIRRA_EMPTY_EFFECT(name) \
    struct name { friend bool operator==(const name &, const name &) = default; }
LIRRA_EMPTY_EFFECT(loadFirstLevel);
LIRRA_EMPTY_EFFECT(loadRandomLevel);
LIRRA_EMPTY_EFFECT(loadPreviousLevel);
LIRRA_EMPTY_EFFECT(loadNextLevel);
LIRRA_EMPTY_EFFECT(startSession);
LIRRA_EMPTY_EFFECT(reloadLevel);
// Waits for the sound output to have started, or failed to.
LIRRA_EMPTY_EFFECT(checkSound);
#undef LIRRA_EMPTY_EFFECT
} // namespace effects

using AppEffect = std::variant<
    effects::loadLevel,
    effects::playNote,
    effects::playNoteInResolution,
    effects::repeatQuestion,
    effects::playCadence,
    effects::logRightAnswer,
    effects::logWrongAnswer,
    effects::prepareToPractice,
    effects::loadFirstLevel,
    effects::loadRandomLevel,
    effects::loadPreviousLevel,
    effects::loadNextLevel,
    effects::startSession,
    effects::stopSession,
    effects::loadNextQuestion,
    effects::reloadLevel,
    effects::checkSound,
    effects::loadLevelWithId,
    effects::saveLevel,
    effects::renameLevel,
    effects::deleteLevel,
    effects::applySettings,
    effects::loadQuestionsToHear,
    effects::playHeardNote,
    effects::exportHistory>;

} // namespace lirra
