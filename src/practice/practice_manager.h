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
};

} // namespace lirra
