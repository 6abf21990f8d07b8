#pragma once

#include "model/preferences.h"
#include "storage/file_system.h"

#include <QJsonObject>
#include <QJsonValue>

#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace lirra {

// Preferences kept in a small JSON object in one file, so that a stored value
// keeps its kind: an integer reads back as an integer, a Boolean as a Boolean,
// and anything else as neither.
//
// The file is read once, through the same safe open as the session files: a
// named pipe, a device, a folder or a file far larger than settings can be is
// refused at once. Then the app runs on the defaults, says so once, and never
// writes over what stands there. Writing merges the values set here into the
// file as it is then, under a lock on its folder, so that two running copies
// of the app keep each other's changes; it replaces the file whole (the file
// a link leads to, when it is a link). A file that is not JSON is copied
// aside ("lirra.damaged.json") before it is first written anew.
class SettingsPreferences final : public Preferences {
public:
    // The user's own store (~/.config/lirra/lirra.json).
    static std::shared_ptr<SettingsPreferences> standard();
    // A store in the given file; tests use a temporary one.
    explicit SettingsPreferences(const QString &filePath, std::shared_ptr<FileSystem> fs = FileSystem::posix());
    ~SettingsPreferences() override;
    SettingsPreferences(const SettingsPreferences &) = delete;
    SettingsPreferences &operator=(const SettingsPreferences &) = delete;

    std::optional<std::int64_t> integer(PreferenceKey key) const override;
    void setInteger(std::int64_t value, PreferenceKey key) override;
    bool boolean(PreferenceKey key) const override;
    std::optional<bool> storedBoolean(PreferenceKey key) const override;
    void setBool(bool value, PreferenceKey key) override;
    std::optional<QString> text(PreferenceKey key) const override;
    void setText(const QString &value, PreferenceKey key) override;
    void setFailureHandler(std::function<void(const Error &)> handler) override;
    // Writes what has changed now; the failure, if the file could not be written.
    Result<void> sync();

    // Why the file could not be read, when it could not: its values are the
    // defaults and it is never written.
    const std::optional<Error> &readError() const { return m_unreadable; }

    static const QString readErrorDomain;
    // Settings take a few hundred bytes.
    static constexpr qsizetype largestFile = 1024 * 1024;

private:
    void set(PreferenceKey key, QJsonValue value);
    // After a change, on the next turn of the event loop: the file is
    // written and a failure reported once.
    void scheduleSync();
    void report(const Error &error);
    Result<void> write();

    QString m_path;
    std::shared_ptr<FileSystem> m_fs;
    QJsonObject m_values;
    // Set here and not written yet.
    std::map<QString, QJsonValue> m_changed;
    std::optional<Error> m_unreadable;
    std::unique_ptr<QObject> m_context; // ends the deferred sync with the store
    std::function<void(const Error &)> m_onFailure;
    bool m_syncScheduled = false;
    bool m_failureReported = false;
};

} // namespace lirra
