#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace lirra {

enum class PreferenceKey { hasSeenOnboarding, levelCursor };

// The text a key is stored under.
QString storedName(PreferenceKey key);

// Two small facts kept between runs. Never fails.
class Preferences {
public:
    virtual ~Preferences() = default;
    // The stored value when it is an integer; absent otherwise.
    virtual std::optional<std::int64_t> integer(PreferenceKey key) const = 0;
    virtual void setInteger(std::int64_t value, PreferenceKey key) = 0;
    // The stored value when it is a Boolean; false otherwise.
    virtual bool boolean(PreferenceKey key) const = 0;
    virtual void setBool(bool value, PreferenceKey key) = 0;
};

} // namespace lirra
