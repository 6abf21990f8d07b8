#pragma once

#include "practice/preferences.h"

#include <QSettings>

#include <memory>

namespace lirra {

// Preferences kept by QSettings in a small JSON file, so that a stored value
// keeps its kind: an integer reads back as an integer, a Boolean as a Boolean,
// and anything else as neither.
class SettingsPreferences final : public Preferences {
public:
    // The user's own store (~/.config/lirra/lirra.json).
    static std::shared_ptr<SettingsPreferences> standard();
    // A store in the given file; tests use a temporary one.
    explicit SettingsPreferences(const QString &filePath);

    std::optional<std::int64_t> integer(PreferenceKey key) const override;
    void setInteger(std::int64_t value, PreferenceKey key) override;
    bool boolean(PreferenceKey key) const override;
    void setBool(bool value, PreferenceKey key) override;

    static QSettings::Format jsonFormat();

private:
    explicit SettingsPreferences(std::unique_ptr<QSettings> settings);

    std::unique_ptr<QSettings> m_settings;
};

} // namespace lirra
