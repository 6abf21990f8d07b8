#pragma once

#include "chords.h"
#include "note.h"

#include <QUuid>

#include <cstdint>
#include <map>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace lirra {

enum class NoteRange { firstHalfOfOctave, secondHalfOfOctave, entireOctave };

// The chord progression played before a question. Chord i is every voice
// moved by movement[i][v] semitones.
struct Cadence {
    std::vector<NoteName> voices;
    std::vector<NoteName> roots;
    std::vector<std::vector<int>> movement;

    friend bool operator==(const Cadence &, const Cadence &) = default;
};

size_t qHash(const Cadence &cadence, size_t seed = 0) noexcept;

// a + b, stopping at the ends of the 64-bit range instead of wrapping: counts
// read from a file can be anything up to 2^63 - 1.
std::int64_t saturatingAdd(std::int64_t a, std::int64_t b);

struct Score {
    std::int64_t correct = 0;
    std::int64_t wrong = 0;

    friend bool operator==(const Score &, const Score &) = default;
};

using AccuracyPerNote = std::unordered_map<Note, double>;

struct SessionStatistics {
    std::int64_t correctCount = 0;
    std::int64_t wrongCount = 0;
    AccuracyPerNote accuracyPerNote;
    double accuracy = 0;
};

struct LevelStatistics {
    AccuracyPerNote accuracyPerNote;
    // The mean over the level's notes, an unanswered note counting as 0.
    double accuracy = 0;
    // Right answers out of all answers, the rule a session's figure follows;
    // 0 without answers.
    double pooledAccuracy = 0;
};

// A question whose first answer was another note than the one asked.
struct Confusion {
    Note asked;
    Note answered;

    friend bool operator==(const Confusion &, const Confusion &) = default;
    friend bool operator<(const Confusion &a, const Confusion &b)
    {
        return std::tuple(index(a.asked.name), a.asked.octave, index(a.answered.name), a.answered.octave)
            < std::tuple(index(b.asked.name), b.asked.octave, index(b.answered.name), b.answered.octave);
    }
};

struct Session {
    double timestamp = 0; // seconds since 1970-01-01 00:00 UTC
    std::unordered_map<Note, Score> score;
    // How often each note was first taken for another; kept beside the
    // session's line, in a file of its own.
    std::map<Confusion, std::int64_t> confusions = {};

    SessionStatistics statistics() const;

    friend bool operator==(const Session &, const Session &) = default;
};

struct Level {
    std::int64_t id = 0;
    NoteName key = NoteName::c;
    bool isMajor = true;
    bool isChromatic = false;
    std::vector<Note> notes;
    Cadence cadence;
    bool spansMultipleOctaves = false;
    NoteRange range = NoteRange::firstHalfOfOctave;
    bool isCustom = false;
    // The history of one kind of question: `sessions` are of questions of
    // this many notes (1, or a melody's length), each length kept apart.
    int questionLength = 1;
    // And of this kind: chords' sessions are kept apart from notes'.
    QuestionKind questionKind = QuestionKind::note;
    std::vector<Session> sessions;
    // A level the user saved and named: its identity in the saved levels'
    // file (null for the built-in levels and for an unsaved narrowing).
    QUuid savedId;
    QString name;

    bool isSaved() const { return !savedId.isNull(); }
    QString title() const;
    LevelStatistics statistics() const;

    friend bool operator==(const Level &, const Level &) = default;
};

struct Question {
    QUuid id;
    // The note asked; of a melody, its last note, and `resolution` that
    // note's way to the tonic.
    Note answer;
    std::vector<Note> resolution;
    // A melody's notes in the order they sound and are named, `answer`
    // last; empty for a question of one note.
    std::vector<Note> melody = {};
    // Of chords: each note is a chord's root, the chord it has in this key
    // is what sounds, and the root is what is named.
    QuestionKind kind = QuestionKind::note;
    NoteName key = NoteName::c;
    bool isMajor = true;

    std::size_t length() const { return melody.empty() ? 1 : melody.size(); }
    // The note to name at a position, 0 first; a position past the end
    // counts as the last.
    Note noteAt(std::size_t position) const;
    // What is asked at a position, as a one-note question that is scored
    // on its own: the question itself when it has one note, else one with
    // an id of its own (the same every time) and the given resolution.
    Question at(std::size_t position, std::vector<Note> positionResolution) const;

    friend bool operator==(const Question &, const Question &) = default;
};

// What the questions of a kind ask about: the level's notes, or for chords
// one root per pitch class (a whole octave's two tonics are one chord), the
// lowest of each.
std::vector<Note> questionNotes(const std::vector<Note> &notes, QuestionKind kind);

// The note of a chord's root among the questions' notes of chords (see
// `questionNotes`): the lowest of that name, else the one in the middle
// octave.
Note rootAmong(const std::vector<Note> &notes, NoteName root);

// The level's tonic among its keys: its lowest note on the tonic, else the
// tonic in the middle octave.
Note tonicOf(const Level &level);

// The `Level.id` of a saved level: negative, so that it never equals a
// built-in level's, and the same in every run.
std::int64_t savedLevelId(const QUuid &savedId);

// A uuid written as exactly one, with or without braces, in any case; a
// null one for any other text, even one that begins with a uuid.
QUuid uuidFromText(QStringView text);

// A question id in its 36-character upper-case form.
QString uuidText(const QUuid &id);

} // namespace lirra

template <>
struct std::hash<lirra::Cadence> {
    size_t operator()(const lirra::Cadence &cadence) const noexcept { return lirra::qHash(cadence, 0); }
};
