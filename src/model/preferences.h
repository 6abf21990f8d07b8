#pragma once

#include "model/error.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace lirra {

enum class PreferenceKey {
    hasSeenOnboarding,
    levelCursor,
    // The id of the saved level last loaded, or 0 when a built-in one was.
    savedLevel,
    // How the user practises: see `Settings`.
    instrument,
    tempo,
    cadenceEvery,
    drone,
    questionBeats,
    questionEmphasis,
    volume,
    noteNames,
    practiceMode,
    contrast,
    speechPause,
    melodyLength,
    melodyLeap,
    questionKind,
    chordsRepeat,
    // The name of the narrowing a quit that could not ask saved as a level,
    // to be said at the next start; empty once said.
    keptAtQuit,
};

// The text a key is stored under.
QString storedName(PreferenceKey key);

// The domain of the error a store tells when its file could not be read at
// all: it runs on the defaults and leaves the file as it is.
inline QString preferencesReadErrorDomain()
{
    return QStringLiteral("SettingsPreferences.read");
}

// Small facts kept between runs. Never fails: a store that cannot keep
// a value tells the failure handler, if any, and goes on.
class Preferences {
public:
    virtual ~Preferences() = default;
    // The stored value when it is an integer; absent otherwise.
    virtual std::optional<std::int64_t> integer(PreferenceKey key) const = 0;
    virtual void setInteger(std::int64_t value, PreferenceKey key) = 0;
    // The stored value when it is a Boolean; false otherwise.
    virtual bool boolean(PreferenceKey key) const = 0;
    virtual void setBool(bool value, PreferenceKey key) = 0;
    // The stored value when it is a Boolean; absent otherwise. A store that
    // does not tell a stored false from none answers only true.
    virtual std::optional<bool> storedBoolean(PreferenceKey key) const
    {
        return boolean(key) ? std::optional(true) : std::nullopt;
    }
    // The stored value when it is a text; absent otherwise.
    virtual std::optional<QString> text(PreferenceKey key) const = 0;
    virtual void setText(const QString &value, PreferenceKey key) = 0;
    // Told when values could not be kept; the store tells it at most once.
    virtual void setFailureHandler(std::function<void(const Error &)> handler) { static_cast<void>(handler); }
};

} // namespace lirra
