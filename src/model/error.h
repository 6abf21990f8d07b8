#pragma once

#include <QString>

#include <expected>

namespace lirra {

// A failure handed up as a value. `description` is what the user and the log
// see; `domain` and `code` let callers tell failures apart. `details`, when
// there are any, are the words of what failed underneath (a sound driver's,
// the system's), shown on request beside a plainer description.
struct Error {
    QString domain;
    int code = 0;
    QString description;
    QString details = {};

    // The description, and the details after it, for the log.
    QString fullText() const { return details.isEmpty() ? description : description + QStringLiteral(" (") + details + QLatin1Char(')'); }

    friend bool operator==(const Error &, const Error &) = default;
};

template <typename T>
using Result = std::expected<T, Error>;

inline std::unexpected<Error> failure(QString domain, int code, QString description)
{
    return std::unexpected(Error{std::move(domain), code, std::move(description)});
}

} // namespace lirra
