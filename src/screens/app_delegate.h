#pragma once

#include "core/app_environment.h"
#include "core/production_environment.h"
#include "core/screen_states.h"
#include "widgets/tip_view.h"

#include <QMainWindow>
#include <QPointer>

#include <map>
#include <memory>

class QToolBar;
class QToolButton;

namespace lirra {

// Fusion with the app's dark palette, for the whole application.
void applyDarkAppearance();

class AccuracyRing;
class App;
class AppLoop;
class Label;

// The application's entry object: builds the environment, the loop and the
// screens, puts them into one fixed-size window under a toolbar of practice
// controls, and mirrors every state onto the window and the toolbar.
class AppDelegate final : public QObject {
    Q_OBJECT
public:
    explicit AppDelegate(EnvironmentSetup setup = {});
    ~AppDelegate() override;

    // Builds and shows the window, then sends the first action.
    void applicationDidFinishLaunching();

    QMainWindow *window() const { return m_window; }
    AppLoop *loop();
    App *app();
    const AppEnvironment &environment();

    // The toolbar's items by identifier ("firstLevelButton", "accuracyButton", …).
    QWidget *toolbarItem(const QString &identifier) const;
    Label *scoreLabel() const { return m_scoreLabel; }
    Label *subtitleLabel() const { return m_subtitleLabel; }
    AccuracyRing *accuracyRing() const { return m_accuracyRing; }
    // The tour's bubble on display over the toolbar, if any.
    TipView *toolbarTip() const { return m_toolbarTip; }

signals:
    // After a state has reached the screens and the toolbar.
    void stateShown(const lirra::AppState &state);

private:
    void showState(const AppState &state);
    void applyNavBarState(const NavBarState &bar);
    void showTip(const std::optional<Tip> &tip);
    QToolBar *makeToolbar();
    QToolButton *makeButton(const QString &identifier, const char *tooltip, const QString &icon, auto action);

    EnvironmentSetup m_setup;
    std::optional<AppEnvironment> m_environment;
    std::unique_ptr<AppLoop> m_loop;
    std::unique_ptr<App> m_app;
    QPointer<QMainWindow> m_window;
    std::map<QString, QPointer<QWidget>> m_items;
    std::map<QString, bool> m_isToolbarItemEnabled;
    Label *m_subtitleLabel = nullptr;
    Label *m_scoreLabel = nullptr;
    // A toolbar shows and hides its widgets through their actions.
    QAction *m_scoreLabelItem = nullptr;
    AccuracyRing *m_accuracyRing = nullptr;
    QPointer<TipView> m_toolbarTip;
    std::optional<Tip> m_shownTip;
};

} // namespace lirra
