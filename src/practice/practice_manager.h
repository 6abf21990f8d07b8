#pragma once

#include "model/error.h"
#include "model/level_labels.h"
#include "model/music.h"
#include "model/settings.h"

#include <QCoroTask>

namespace lirra {

class PracticeManager {
public:
    virtual ~PracticeManager() = default;

    virtual QCoro::Task<Result<Level>> prepareToPractice() = 0;
    virtual QCoro::Task<Result<Level>> loadFirstLevel() = 0;
    virtual QCoro::Task<Result<Level>> loadRandomLevel() = 0;
    virtual QCoro::Task<Result<Level>> loadPreviousLevel() = 0;
    virtual QCoro::Task<Result<Level>> loadNextLevel() = 0;
    virtual QCoro::Task<Result<Level>> loadLevel(Level level) = 0;
    // How questions are made from now on: `length` notes each (1, or a
    // melody's length), neighbours at most `leap` apart; of chords, `length`
    // chords, the same one twice in a row only with `repeat`. Levels loaded
    // from now on come with that kind's and length's history.
    virtual void setQuestionShape(int length, MelodyLeap leap, QuestionKind kind, bool repeat) = 0;
    // The level on show once more, with the history of the question kind
    // and length now set; an unsaved narrowing keeps each one's sessions
    // apart.
    virtual QCoro::Task<Result<Level>> loadLevelForQuestionLength() = 0;
    virtual QCoro::Task<Result<Session>> startSession() = 0;
    virtual QCoro::Task<Result<Level>> stopSession() = 0;
    virtual QCoro::Task<Result<Question>> loadNextQuestion(PracticeMode mode = PracticeMode::cycle) = 0;
    // Questions to listen to, not to answer: up to `count` different notes
    // of the current level that most need hearing, with their resolutions;
    // with melodies, `count` melodies of those notes.
    virtual std::vector<Question> questionsToHear(std::size_t count) = 0;
    virtual QCoro::Task<Result<Session>> logRightAnswer(Question question) = 0;
    // `answered` is the note pressed instead, kept as a confusion when it
    // is the question's first answer.
    virtual QCoro::Task<Result<Session>> logWrongAnswer(Question question, Note answered) = 0;

    // The way on after a failure: writes what is kept from failed saves, then
    // loads the level the cursor is at once more.
    virtual QCoro::Task<Result<Level>> reloadLevel() = 0;
    // Before the app closes: stops a running session that holds answers as
    // `stopSession` does and writes every kept session. Answers how many
    // finished sessions are still kept in memory only, to be lost with the app.
    virtual QCoro::Task<int> saveBeforeQuit() = 0;

    // Every level there is to choose from: the built-in ones in their order,
    // then the saved ones; without their histories.
    virtual std::vector<Level> levelsToChoose() = 0;
    // What a level's history comes to, read when first asked for and kept.
    virtual HistorySummary historySummary(const Level &level) = 0;
    // Loads the level with this id, built-in (the cursor moves to it) or saved.
    virtual QCoro::Task<Result<Level>> loadLevelWithId(std::int64_t id) = 0;
    // Saves the level's notes as a level of the user's own under the name,
    // its sessions with answers as the start of its history, and loads it.
    virtual QCoro::Task<Result<Level>> saveLevel(Level level, QString name) = 0;
    // Renames or deletes a saved level; the answer is the level to show
    // afterwards (the current one, or the cursor's when it was deleted). A
    // deleted level's history is put aside, not destroyed.
    virtual QCoro::Task<Result<Level>> renameLevel(std::int64_t id, QString name) = 0;
    virtual QCoro::Task<Result<Level>> deleteLevel(std::int64_t id) = 0;
};

} // namespace lirra
