#pragma once

#include "model/preferences.h"

#include <map>

namespace lirra::test {

class MemoryPreferences final : public Preferences {
public:
    std::optional<std::int64_t> integer(PreferenceKey key) const override
    {
        const auto it = integers.find(key);
        return it == integers.end() ? std::nullopt : std::optional(it->second);
    }
    void setInteger(std::int64_t value, PreferenceKey key) override { integers[key] = value; }
    bool boolean(PreferenceKey key) const override
    {
        const auto it = booleans.find(key);
        return it != booleans.end() && it->second;
    }
    void setBool(bool value, PreferenceKey key) override { booleans[key] = value; }
    std::optional<bool> storedBoolean(PreferenceKey key) const override
    {
        const auto it = booleans.find(key);
        return it == booleans.end() ? std::nullopt : std::optional(it->second);
    }
    std::optional<QString> text(PreferenceKey key) const override
    {
        const auto it = texts.find(key);
        return it == texts.end() ? std::nullopt : std::optional(it->second);
    }
    void setText(const QString &value, PreferenceKey key) override { texts[key] = value; }

    std::map<PreferenceKey, std::int64_t> integers;
    std::map<PreferenceKey, bool> booleans;
    std::map<PreferenceKey, QString> texts;
};

} // namespace lirra::test
