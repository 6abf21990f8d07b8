#include "timestamp.h"

#include <charconv>
#include <cmath>

namespace lirra {

QString formatTimestamp(double seconds)
{
    // The shortest digits that read back as the same value, never with an
    // exponent: the largest double takes 309 digits before the point.
    char buffer[400];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::fixed);
    if (ec != std::errc())
        return QStringLiteral("0.0");
    QString text = QString::fromLatin1(buffer, end - buffer);
    if (std::isfinite(seconds) && !text.contains(QLatin1Char('.')))
        text += QStringLiteral(".0");
    return text;
}

std::optional<double> parseDouble(QStringView text)
{
    QByteArray latin = text.toLatin1();
    if (text.size() != latin.size() || latin.isEmpty())
        return std::nullopt;
    const char *begin = latin.constData();
    const char *end = begin + latin.size();
    if (*begin == '+') {
        ++begin;
        if (begin == end || *begin == '-')
            return std::nullopt;
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

} // namespace lirra
