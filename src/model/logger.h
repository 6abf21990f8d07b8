#pragma once

#include <QString>

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
class StandardErrorLogger final : public Logger {
public:
    bool isEnabled(LogLevel level) const override;
    void write(LogLevel level, const QString &line) override;
};

} // namespace lirra
