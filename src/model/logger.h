#pragma once

#include <QString>

#include <memory>

namespace lirra {

enum class LogLevel { standard, warning, error };

class Logger {
public:
    virtual ~Logger() = default;
    virtual bool isEnabled(LogLevel level) const = 0;
    // One line per call.
    virtual void write(LogLevel level, const QString &line) = 0;
};

// Qt's default logging category: info for standard lines, then warning and
// critical; Qt writes each message as one line on standard error.
//
// The lines are written by a thread of the logger's own, in order, so that
// a standard error that blocks (a paused terminal, a pager that stops
// reading, a full pipe) never holds up the caller: every key press logs a
// line on its way to the sound. Up to `maxWaitingLines` wait; lines beyond
// are dropped and counted, and the count is written once the way is clear.
class StandardErrorLogger final : public Logger {
public:
    static constexpr int maxWaitingLines = 4096;

    StandardErrorLogger();
    ~StandardErrorLogger() override;
    StandardErrorLogger(const StandardErrorLogger &) = delete;
    StandardErrorLogger &operator=(const StandardErrorLogger &) = delete;

    bool isEnabled(LogLevel level) const override;
    void write(LogLevel level, const QString &line) override;
    // Waits up to `timeoutMs` for every line so far to be written; false if
    // some are still waiting.
    bool flush(int timeoutMs);

private:
    struct Queue;
    std::shared_ptr<Queue> m_queue;
};

} // namespace lirra
