#include "app.h"

#include "narrowing_question.h"

#include "core/app_loop.h"
#include "core/screen_states.h"
#include "level_chooser.h"
#include "confusion_dialog.h"
#include "preferences_dialog.h"
#include "ask_text.h"
#include "main_screen.h"
#include "model/level_labels.h"
#include "model/localization.h"
#include "error_screen.h"
#include "modal_screens.h"
#include "widgets/keyboard.h"
#include "widgets/title_bar.h"

#include <QGridLayout>
#include <QTimer>

namespace lirra {

App::App(AppEnvironment environment, AppLoop *loop)
    : m_environment(std::move(environment))
    , m_loop(loop)
{
}

App::~App()
{
    delete m_chooser;
    delete m_view;
    // Screens never placed in a view have no parent to delete them.
    delete m_main;
    delete m_levelEditor;
    delete m_accuracy;
    delete m_errorScreen;
}

void App::send(auto action)
{
    if (m_loop)
        m_loop->send(std::move(action));
}

MainScreen *App::main()
{
    if (!m_main) {
        m_main = new MainScreen;
        QPointer<App> self(this);
        m_main->delegate = MainScreenDelegate{
            [self](Note note) {
                if (self)
                    self->send(actions::didPressNote{note});
            },
            [self](Note note) {
                if (self)
                    self->send(actions::didReleaseNote{note});
            },
            [self]() {
                if (self)
                    self->send(actions::didDismissTip{});
            },
            [self]() {
                if (self)
                    self->saveNotes({});
            },
            [self]() {
                if (self)
                    self->send(actions::didDeclineSavingLevel{});
            },
        };
    }
    return m_main;
}

LevelEditorScreen *App::levelEditor()
{
    if (!m_levelEditor) {
        m_levelEditor = new LevelEditorScreen(m_environment.notePlayer);
        connect(m_levelEditor->titleBar(), &TitleBar::doneButtonEnabledChanged, this, &App::doneButtonEnabledChanged);
        QPointer<App> self(this);
        m_levelEditor->delegate = LevelEditorScreenDelegate{
            [self]() {
                if (self)
                    self->send(actions::didDismissLevelEditor{});
            },
            [self](std::vector<Note> notes) {
                if (!self)
                    return;
                self->send(actions::didSelectNotes{std::move(notes)});
                if (self)
                    self->send(actions::didDismissLevelEditor{});
            },
            [self](std::vector<Note> notes) {
                if (self)
                    self->saveNotes(std::move(notes));
            },
        };
        m_levelEditor->hide();
        stack(m_levelEditor);
    }
    return m_levelEditor;
}

AccuracyScreen *App::accuracy()
{
    if (!m_accuracy) {
        m_accuracy = new AccuracyScreen(m_environment.notePlayer);
        QPointer<App> self(this);
        m_accuracy->delegate = AccuracyScreenDelegate{
            [self]() {
                if (self)
                    self->send(actions::didDismissAccuracyScreen{});
            },
            [self]() {
                if (self)
                    self->send(actions::didPressConfusionsButton{});
            },
        };
        m_accuracy->hide();
        stack(m_accuracy);
    }
    return m_accuracy;
}

ErrorScreen *App::errorScreen()
{
    if (!m_errorScreen) {
        m_errorScreen = new ErrorScreen(m_environment.notePlayer);
        connect(m_errorScreen->titleBar(), &TitleBar::doneButtonEnabledChanged, this, &App::doneButtonEnabledChanged);
        QPointer<App> self(this);
        m_errorScreen->delegate = ErrorScreenDelegate{
            [self]() {
                if (self)
                    self->send(actions::didPressTryAgain{});
            },
            [self]() {
                if (self)
                    self->send(actions::didDismissError{});
            },
        };
        m_errorScreen->hide();
        stack(m_errorScreen);
    }
    return m_errorScreen;
}

void App::saveNotes(std::vector<Note> notes)
{
    if (!m_level)
        return;
    Level level = *m_level;
    if (!notes.empty())
        level.notes = notes;
    const QString suggested = suggestedName(level);
    std::optional<QString> name;
    if (askLevelName) {
        name = askLevelName(suggested);
    } else {
        // A name left empty becomes the suggested one when the level is saved.
        name = askText(m_view ? m_view->window() : nullptr, localized("saveLevel.title"), localized("saveLevel.label"),
                       suggested, localized("saveLevel.save"));
    }
    if (name)
        send(actions::didSaveLevel{std::move(notes), *name});
}

LevelChooser *App::levelChooser()
{
    if (!m_chooser) {
        QWidget *parent = m_view ? m_view->window() : nullptr;
        m_chooser = new LevelChooser(
            [practice = m_environment.practiceManager](const Level &level) { return practice->historySummary(level); },
            parent);
        QPointer<App> self(this);
        m_chooser->delegate = LevelChooserDelegate{
            [self](std::int64_t id) {
                if (self)
                    self->send(actions::didChooseLevel{id});
            },
            [self]() {
                if (self)
                    self->send(actions::didDismissLevelChooser{});
            },
            [self](std::int64_t id, QString name) {
                if (self)
                    self->send(actions::didRenameLevel{id, std::move(name)});
            },
            [self](std::int64_t id) {
                if (self)
                    self->send(actions::didDeleteLevel{id});
            },
        };
    }
    return m_chooser;
}

LevelChooser *App::builtLevelChooser() const
{
    return m_chooser;
}

PreferencesDialog *App::preferencesDialog()
{
    if (!m_preferences) {
        m_preferences = new PreferencesDialog(m_view ? m_view->window() : nullptr);
        QPointer<App> self(this);
        m_preferences->didChange = [self](const Settings &settings) {
            if (self)
                self->send(actions::didChangeSettings{settings});
        };
        m_preferences->didClose = [self]() {
            if (self)
                self->send(actions::didDismissPreferences{});
        };
        m_preferences->didRequestExport = [self](ExportFormat format) {
            if (self && self->exportHistory)
                self->exportHistory(format);
        };
    }
    return m_preferences;
}

PreferencesDialog *App::builtPreferencesDialog() const
{
    return m_preferences;
}

ConfusionDialog *App::confusionDialog()
{
    if (!m_confusions) {
        m_confusions = new ConfusionDialog(m_view ? m_view->window() : nullptr);
        QPointer<App> self(this);
        m_confusions->didClose = [self]() {
            if (self)
                self->send(actions::didDismissConfusions{});
        };
    }
    return m_confusions;
}

ConfusionDialog *App::builtConfusionDialog() const
{
    return m_confusions;
}

LevelEditorScreen *App::builtLevelEditor() const
{
    return m_levelEditor;
}

AccuracyScreen *App::builtAccuracy() const
{
    return m_accuracy;
}

ErrorScreen *App::builtErrorScreen() const
{
    return m_errorScreen;
}

QWidget *App::view()
{
    if (!m_view) {
        m_view = new QWidget;
        auto *grid = new QGridLayout(m_view);
        grid->setContentsMargins(0, 0, 0, 0);
        for (QWidget *screen : std::initializer_list<QWidget *>{main(), m_levelEditor, m_accuracy, m_errorScreen}) {
            if (screen)
                stack(screen);
        }
    }
    return m_view;
}

void App::stack(QWidget *screen)
{
    if (!m_view)
        return;
    // All share the whole view; later screens lie above earlier ones.
    static_cast<QGridLayout *>(m_view->layout())->addWidget(screen, 0, 0);
    for (QWidget *each : std::initializer_list<QWidget *>{m_main, m_levelEditor, m_accuracy, m_errorScreen}) {
        if (each)
            each->raise();
    }
}

KeyboardView *App::activeKeyboard()
{
    for (TitledKeyboardScreen *screen : std::initializer_list<TitledKeyboardScreen *>{m_errorScreen, m_levelEditor, m_accuracy}) {
        if (screen && screen->isVisibleTo(view()))
            return screen->keyboardView();
    }
    return main()->keyboardView();
}

bool App::pressNote(Note note)
{
    releaseNote(note); // a second press of a held note starts afresh
    KeyboardView *keyboard = activeKeyboard();
    Note target = note;
    const Key *own = keyboard->key(note);
    if (!m_levelSpansOctaves && (!own || !own->isEnabled())) {
        const Note twin{note.name, std::uint8_t(note.octave == 1 ? 2 : 1)};
        if (const Key *other = keyboard->key(twin); other && other->isEnabled())
            target = twin;
    }
    if (!keyboard->pressKey(target))
        return false;
    m_held[note] = {keyboard, target};
    return true;
}

bool App::releaseNote(Note note)
{
    const auto held = m_held.find(note);
    if (held == m_held.end())
        return false;
    const auto [keyboard, target] = held->second;
    m_held.erase(held);
    return keyboard && keyboard->releaseKey(target);
}

void App::update(const AppState &state)
{
    // Asked on a later turn, out of the state's delivery; the answer is an
    // action like any other.
    if (state.leavingNarrowing && state.level && !m_askingAboutNarrowing) {
        m_askingAboutNarrowing = true;
        QTimer::singleShot(0, this, [this, name = suggestedName(*state.level)]() {
            const KeepNarrowing choice = askAboutNarrowing ? askAboutNarrowing(name)
                                                           : lirra::askAboutNarrowing(view()->window(), name);
            m_askingAboutNarrowing = false;
            send(actions::didAnswerLeavingNarrowing{choice});
        });
    }
    m_levelSpansOctaves = state.level && state.level->spansMultipleOctaves;
    m_level = state.level;
    const bool levelsChanged = std::exchange(m_levelLoads, state.levelLoads) != state.levelLoads;
    if (state.isLevelChooserVisible) {
        LevelChooser *chooser = levelChooser();
        chooser->model()->setNaming(state.settings.noteNames);
        if (!chooser->isVisible()) {
            chooser->present(m_environment.practiceManager->levelsToChoose(), state.level ? state.level->id : 0);
            chooser->open();
        } else if (levelsChanged) {
            chooser->refresh(m_environment.practiceManager->levelsToChoose());
        }
    } else if (m_chooser && m_chooser->isVisible()) {
        m_chooser->dismissQuietly();
    }
    if (state.isPreferencesVisible) {
        PreferencesDialog *dialog = preferencesDialog();
        if (!dialog->isVisible()) {
            dialog->present(state.settings, m_environment.notePlayer->instruments());
            dialog->open();
        } else if (dialog->settings() != state.settings) {
            dialog->showSettings(state.settings);
        }
    } else if (m_preferences && m_preferences->isVisible()) {
        m_preferences->dismissQuietly();
    }
    if (state.isConfusionViewVisible) {
        ConfusionDialog *dialog = confusionDialog();
        const ConfusionViewState shown = confusionViewState(state);
        if (!dialog->isVisible()) {
            dialog->present(shown);
            dialog->open();
        } else if (dialog->state() != shown) {
            dialog->present(shown);
        }
    } else if (m_confusions && m_confusions->isVisible()) {
        m_confusions->dismissQuietly();
    }
    main()->setState(mainScreenState(state));
    if (state.isLevelEditorVisible || state.isAccuracyScreenVisible)
        main()->setVisible(false);
    else
        main()->setVisible(!state.hasError);

    // A screen never shown is not built; once built it follows every state.
    if (state.hasError || m_errorScreen) {
        errorScreen()->setVisible(state.hasError);
        errorScreen()->setError(state.error);
        errorScreen()->setTryAgainEnabled(state.isInteractionEnabled);
        // Back to practice needs a level to practise, and no tip waiting.
        errorScreen()->setCloseEnabled(state.level.has_value() && state.isInteractionEnabled);
    }
    if (state.isAccuracyScreenVisible || m_accuracy) {
        const AccuracyScreenState accuracyState = accuracyScreenState(state);
        accuracy()->setState(accuracyState);
        if (state.isAccuracyScreenVisible) {
            // A visible overlay is drawn afresh on every state.
            accuracy()->setState(std::nullopt);
            accuracy()->setState(accuracyState);
        }
        accuracy()->setVisible(state.isAccuracyScreenVisible);
    }
    if (state.isLevelEditorVisible || m_levelEditor) {
        const LevelEditorScreenState editor = levelEditorScreenState(state);
        levelEditor()->setState(editor);
        if (state.isLevelEditorVisible) {
            levelEditor()->setState(std::nullopt);
            levelEditor()->setState(editor);
        }
        levelEditor()->setVisible(state.isLevelEditorVisible);
    }
}

} // namespace lirra
