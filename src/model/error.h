#pragma once

#include <QString>

#include <expected>

namespace lirra {

// A failure handed up as a value. `description` is what the user and the log
// see; `domain` and `code` let callers tell failures apart.
struct Error {
    QString domain;
    int code = 0;
    QString description;

    friend bool operator==(const Error &, const Error &) = default;
};

template <typename T>
using Result = std::expected<T, Error>;

inline std::unexpected<Error> failure(QString domain, int code, QString description)
{
    return std::unexpected(Error{std::move(domain), code, std::move(description)});
}

} // namespace lirra
