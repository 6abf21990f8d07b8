#pragma once

#include <QString>

#include <optional>

namespace lirra {

// The shortest decimal text that reads back to the same double; whole
// numbers keep one decimal ("3.0", "2.5"). Used for log lines and session files.
QString formatTimestamp(double seconds);

// Reads a whole field as a double ("2.5", "3.0", "1e+16", "-0.5", "inf");
// absent when the field is not exactly one number.
std::optional<double> parseDouble(QStringView text);

} // namespace lirra
