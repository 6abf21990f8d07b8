#pragma once

#include "model/error.h"
#include "model/music.h"

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
    virtual QCoro::Task<Result<Session>> startSession() = 0;
    virtual QCoro::Task<Result<Level>> stopSession() = 0;
    virtual QCoro::Task<Result<Question>> loadNextQuestion() = 0;
    virtual QCoro::Task<Result<Session>> logRightAnswer(Question question) = 0;
    virtual QCoro::Task<Result<Session>> logWrongAnswer(Question question) = 0;

    // The way on after a failure: writes what is kept from failed saves, then
    // loads the level the cursor is at once more.
    virtual QCoro::Task<Result<Level>> reloadLevel() = 0;
    // Before the app closes: stops a running session that holds answers as
    // `stopSession` does and writes every kept session. Answers how many
    // finished sessions are still kept in memory only, to be lost with the app.
    virtual QCoro::Task<int> saveBeforeQuit() = 0;
};

} // namespace lirra
