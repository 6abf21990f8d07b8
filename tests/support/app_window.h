#pragma once

#include "support/fakes.h"

#include "core/app_loop.h"
#include "core/production_environment.h"
#include "screens/app_delegate.h"

#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <memory>

namespace lirra::test {

// The real app, window and all, over the offline player in a temporary home,
// for test classes that drive it as a user would: `init` gives each test a
// fresh home, `cleanup` closes the app.
class AppWindowFixture {
protected:
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<AppDelegate> m_delegate;
    std::shared_ptr<RecordingLogger> m_logger;

    void newHome() { m_home = std::make_unique<QTemporaryDir>(); }
    void closeApp()
    {
        m_delegate.reset();
        drainEvents();
    }

    // Launches the app over what the home holds; false when its window did
    // not become active or it showed neither a level nor an error.
    bool launch(InputSetup input, const std::function<void(EnvironmentSetup &)> &adjust = {})
    {
        EnvironmentSetup setup = offlineSetup(m_home->path());
        m_logger = std::make_shared<RecordingLogger>();
        setup.logger = m_logger;
        if (adjust)
            adjust(setup);
        m_delegate = std::make_unique<AppDelegate>(setup, input);
        m_delegate->applicationDidFinishLaunching();
        if (!QTest::qWaitForWindowActive(m_delegate->window()) || !waitFor([](const AppState &s) { return s.level || s.hasError; }))
            return false;
        // The sound is checked after the first level; offline that loads
        // the instrument on this thread, so the tests start after it.
        return !state().level || spinUntil([&] { return soundChecked(); });
    }
    bool soundChecked() const
    {
        return std::any_of(m_logger->lines.begin(), m_logger->lines.end(),
                           [](const auto &line) { return line.second.contains(QLatin1String("didCheckSound")); });
    }

    // The mouse and the computer's keyboard only.
    static InputSetup withoutMidi()
    {
        InputSetup input;
        input.midi = false;
        return input;
    }

    const AppState &state() { return m_delegate->loop()->state(); }
    bool waitFor(const std::function<bool(const AppState &)> &condition, int timeoutMs = 60000)
    {
        return spinUntil([&] { return condition(state()); }, timeoutMs);
    }
    QToolButton *button(const char *identifier)
    {
        return qobject_cast<QToolButton *>(m_delegate->toolbarItem(QString::fromLatin1(identifier)));
    }
};

} // namespace lirra::test
