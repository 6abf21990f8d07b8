#pragma once

#include "core/app_environment.h"
#include "core/app_state.h"

#include <QPointer>
#include <QWidget>

namespace lirra {

class AccuracyScreen;
class AppLoop;
class ErrorScreen;
class LevelEditorScreen;
class MainScreen;

// Joins the loop to the four screens: stacks them in one view, turns their
// callbacks into actions and hands each its display record on every state.
class App final : public QObject {
    Q_OBJECT
public:
    App(AppEnvironment environment, AppLoop *loop);
    ~App() override;

    // The container of the four screens; built on first use.
    QWidget *view();
    void update(const AppState &state);

    MainScreen *main();
    LevelEditorScreen *levelEditor();
    AccuracyScreen *accuracy();
    ErrorScreen *errorScreen();

private:
    void send(auto action);

    AppEnvironment m_environment;
    QPointer<AppLoop> m_loop;
    QPointer<QWidget> m_view;
    QPointer<MainScreen> m_main;
    QPointer<LevelEditorScreen> m_levelEditor;
    QPointer<AccuracyScreen> m_accuracy;
    QPointer<ErrorScreen> m_errorScreen;
};

} // namespace lirra
