#pragma once

#include "appearance.h"
#include "core/app_action.h"
#include "core/app_environment.h"
#include "core/production_environment.h"
#include "core/screen_states.h"
#include "musical_input.h"
#include "widgets/tip_view.h"

#include <QMainWindow>
#include <QPointer>

#include <map>
#include <memory>

class QPushButton;
class QToolBar;
class QToolButton;

namespace lirra {

// How the app listens besides the mouse; the defaults are the app's.
struct InputSetup {
    // How the app ends; the default quits the application.
    std::function<void()> exit;
    // Asked before quitting would lose that many sessions; a dialog by default.
    std::function<bool(int)> confirmLoss;
    // Asked before a quit would lose practice on an unsaved narrowing, and
    // before a move away from it; a dialog by default.
    std::function<KeepNarrowing(const QString &name)> askAboutNarrowing;
    bool midi = true;
    MidiInput::Options midiOptions;
    // How long after launch MIDI input starts, so that it never holds up
    // the first level.
    int midiDelayMs = 250;
    // Where the window's size and place are kept between runs; empty keeps
    // nothing.
    QString windowPlacementFile;
    // Where an export of the history goes, and how its outcome is told; a
    // file dialog and a message box by default.
    std::function<QString(QWidget *parent, ExportFormat format)> askExportPath;
    std::function<void(QWidget *parent, bool written, const QString &text)> reportExport;
};

class AccuracyRing;
class ScreenReaderWatch;
class Announcer;
class App;
class QuitGuard;
class FocusKeeper;
class AppLoop;
class Label;
class NavBar;

// The application's entry object: builds the environment, the loop and the
// screens, puts them into one resizable window under a toolbar of practice
// controls, and mirrors every state onto the window and the toolbar.
class AppDelegate final : public QObject {
    Q_OBJECT
public:
    explicit AppDelegate(EnvironmentSetup setup = {}, InputSetup input = {});
    ~AppDelegate() override;

    // Builds and shows the window, then sends the first action.
    void applicationDidFinishLaunching();
    // Shows the window in front of the others, restored if it was minimised:
    // the app was started again.
    void bringToFront();

    QMainWindow *window() const { return m_window; }
    AppLoop *loop();
    App *app();
    const AppEnvironment &environment();

    // The toolbar's items by identifier ("firstLevelButton", "accuracyButton", …).
    QWidget *toolbarItem(const QString &identifier) const;
    Label *scoreLabel() const;
    Label *subtitleLabel() const;
    AccuracyRing *accuracyRing() const;
    // The tour's bubble on display over the toolbar, if any.
    TipView *toolbarTip() const { return m_toolbarTip; }
    // The keyboard shortcut of a command, enabled exactly when its control is.
    QAction *shortcut(Command command) const;
    // What a screen reader was last told, once anything was.
    Announcer *announcer() const;
    // Says a sentence to a screen reader.
    void say(const QString &text);
    // A failure found outside any effect: logged, then shown as one.
    void reportError(const Error &error);
    // MIDI input, once it has started.
    MidiInput *midiInput() const { return m_musicalInput ? m_musicalInput->midi() : nullptr; }

signals:
    // After a state has reached the screens and the toolbar.
    void stateShown(const lirra::AppState &state);

private:
    void showState(const AppState &state);
    void applyNavBarState(const NavBarState &bar);
    void showTip(const std::optional<Tip> &tip);
    NavBar *makeNavBar();
    QAction *makeShortcut(Command command, std::function<void()> trigger);
    void updateModalShortcuts();

    EnvironmentSetup m_setup;
    // The exports whose outcome was told.
    std::uint64_t m_exportsTold = 0;
    InputSetup m_input;
    std::map<Command, QAction *> m_shortcuts;
    std::unique_ptr<MusicalInput> m_musicalInput;
    std::optional<AppEnvironment> m_environment;
    std::unique_ptr<AppLoop> m_loop;
    std::unique_ptr<App> m_app;
    QPointer<QMainWindow> m_window;
    NavBar *m_navBar = nullptr;
    QuitGuard *m_quitGuard = nullptr;
    std::unique_ptr<ScreenReaderWatch> m_screenReaderWatch;
    FocusKeeper *m_focusKeeper = nullptr;
    QPointer<TipView> m_toolbarTip;
    QPointer<Announcer> m_announcer;
    std::uint64_t m_announced = 0;
    std::optional<Tip> m_saidTip;
    std::optional<Tip> m_shownTip;
};

} // namespace lirra
