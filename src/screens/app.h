#pragma once

#include "core/app_action.h"
#include "core/app_environment.h"
#include "core/app_state.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>
#include <unordered_map>

namespace lirra {

class AccuracyScreen;
class AppLoop;
class KeyboardView;
class ErrorScreen;
class LevelChooser;
class LevelEditorScreen;
class MainScreen;
class PreferencesDialog;
class ConfusionDialog;

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

    // The keyboard of the screen on top: the error screen's, the level
    // editor's, the accuracy screen's, else the main screen's.
    KeyboardView *activeKeyboard();
    // A key pressed or released from a MIDI or a computer keyboard, taken as
    // a click on the key of the screen on top. In a level that does not span
    // several octaves, a note whose key is not part of the level answers as
    // the key of the same name in the keyboard's other octave, when that one
    // is. False when no key took it.
    bool pressNote(Note note);
    bool releaseNote(Note note);

    // The screens, built on first use: the main screen with the view, the
    // others when first shown, so that start-up builds one keyboard, not four.
    MainScreen *main();
    LevelEditorScreen *levelEditor();
    AccuracyScreen *accuracy();
    ErrorScreen *errorScreen();
    // The same, or null while not built yet.
    LevelEditorScreen *builtLevelEditor() const;
    AccuracyScreen *builtAccuracy() const;
    ErrorScreen *builtErrorScreen() const;
    // The list of every level, built when first opened.
    LevelChooser *levelChooser();
    LevelChooser *builtLevelChooser() const;
    PreferencesDialog *preferencesDialog();
    PreferencesDialog *builtPreferencesDialog() const;
    ConfusionDialog *confusionDialog();
    // Writes every level's history where the user says; none by default.
    std::function<void(ExportFormat)> exportHistory;
    ConfusionDialog *builtConfusionDialog() const;

    // Asks the name a level of the user's own is saved under, offering
    // `suggested`; nothing when the user cancels. A standard dialog by default.
    std::function<std::optional<QString>(const QString &suggested)> askLevelName;
    // Asks what becomes of the answers of an unsaved narrowing the user is
    // leaving, offering to save it under `suggested`. A standard dialog by
    // default.
    std::function<KeepNarrowing(const QString &suggested)> askAboutNarrowing;

signals:
    // The level editor's done button was enabled or disabled.
    void doneButtonEnabledChanged();

private:
    void send(auto action);
    // Saves the notes (the level's own when none) under a name asked for.
    void saveNotes(std::vector<Note> notes);
    // Puts a screen into the view's stack, above the screens it covers.
    void stack(QWidget *screen);

    AppEnvironment m_environment;
    QPointer<AppLoop> m_loop;
    QPointer<QWidget> m_view;
    QPointer<MainScreen> m_main;
    QPointer<LevelEditorScreen> m_levelEditor;
    QPointer<AccuracyScreen> m_accuracy;
    QPointer<ErrorScreen> m_errorScreen;
    QPointer<LevelChooser> m_chooser;
    QPointer<PreferencesDialog> m_preferences;
    QPointer<ConfusionDialog> m_confusions;
    std::optional<Level> m_level;
    std::uint64_t m_levelLoads = 0;
    bool m_askingAboutNarrowing = false;
    bool m_levelSpansOctaves = false;
    // Where each note held from outside went: its own key or its twin's.
    std::unordered_map<Note, std::pair<QPointer<KeyboardView>, Note>> m_held;
};

} // namespace lirra
