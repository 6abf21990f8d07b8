#include "app_delegate.h"

#include "history_exporter.h"
#include "preferences_dialog.h"

#include "app.h"
#include "core/app_loop.h"
#include "main_screen.h"
#include "error_screen.h"
#include "modal_screens.h"
#include "nav_bar.h"
#include "save_level_bar.h"
#include "model/level_labels.h"
#include "focus_keeper.h"
#include "quit_guard.h"
#include "window_placement.h"
#include "model/localization.h"
#include "input/key_labels.h"
#include "widgets/accuracy_ring.h"
#include "widgets/announcer.h"
#include "widgets/control.h"
#include "widgets/keyboard.h"
#include "widgets/progress_chart.h"
#include "widgets/palette.h"
#include "widgets/title_bar.h"

#include <QAccessible>
#include <QApplication>
#include <QDeadlineTimer>
#include <QCoroTimer>
#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>
#include <QTimer>
#include <QStyleFactory>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace lirra {

// Tells the loop when a screen reader begins or stops reading the app.
class AppDelegate::ScreenReaderWatch final : public QAccessible::ActivationObserver {
public:
    explicit ScreenReaderWatch(QPointer<AppDelegate> delegate) : m_delegate(std::move(delegate))
    {
        QAccessible::installActivationObserver(this);
    }
    ~ScreenReaderWatch() override { QAccessible::removeActivationObserver(this); }
    void accessibilityActiveChanged(bool active) override
    {
        if (m_delegate)
            m_delegate->loop()->send(actions::didChangeScreenReader{active});
    }

private:
    QPointer<AppDelegate> m_delegate;
};

namespace {

// Waits, a few milliseconds at a time, until `done` says so. (A signal
// emitted twice in one turn of the event loop would resume a coroutine
// awaiting it through qCoro twice, the second time after it has gone.)
QCoro::Task<> pollUntil(std::function<bool()> done)
{
    while (!done()) {
        QTimer tick;
        tick.setSingleShot(true);
        tick.start(10);
        co_await tick;
    }
}

// Stops a running session as the stop button does, and waits until every
// stop under way has saved its session.
QCoro::Task<> stopForQuit(QPointer<AppDelegate> self)
{
    if (!self)
        co_return;
    const QPointer<AppLoop> loop = self->loop();
    if (loop->state().isPracticing)
        loop->send(actions::didPressStartStopLevelButton{});
    // A named task: GCC 12 can destroy a temporary in an awaited expression
    // twice.
    QCoro::Task<> stopped = pollUntil([loop]() { return !loop || loop->stopsInFlight() == 0; });
    co_await std::move(stopped);
}

// Saves the narrowing on show as a level of the user's own, with its
// sessions, under the name it is offered with; with `tellNextStart` the
// next start says so.
QCoro::Task<> keepNarrowingForQuit(QPointer<AppDelegate> self, bool tellNextStart)
{
    if (!self || !holdsUnsavedPractice(self->loop()->state()))
        co_return;
    const QPointer<AppLoop> loop = self->loop();
    loop->send(actions::didSaveLevel{});
    QCoro::Task<> saved = pollUntil([loop]() {
        return !loop || loop->state().hasError || (loop->state().level && loop->state().level->isSaved());
    });
    co_await std::move(saved);
    if (!self || !loop || !loop->state().level || !loop->state().level->isSaved())
        co_return;
    if (tellNextStart)
        self->environment().preferences->setText(loop->state().level->name, PreferenceKey::keptAtQuit);
}

} // namespace

void applyDarkAppearance()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QColor text(0xf2, 0xf2, 0xf7);
    const QColor muted(0x63, 0x63, 0x66);
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x1c, 0x1c, 0x1e));
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, QColor(0x12, 0x12, 0x14));
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, QColor(0x2c, 0x2c, 0x2e));
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::ToolTipBase, QColor(0x2c, 0x2c, 0x2e));
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::Highlight, color(PaletteColor::amber));
    dark.setColor(QPalette::HighlightedText, color(PaletteColor::dark));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, muted);
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, muted);
    dark.setColor(QPalette::Disabled, QPalette::Text, muted);
    QApplication::setPalette(dark);
}

AppDelegate::AppDelegate(EnvironmentSetup setup, InputSetup input)
    : m_setup(std::move(setup))
    , m_input(std::move(input))
{
}

AppDelegate::~AppDelegate()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    // What is under way ends before the services go: no new effect starts,
    // every note and wait stops at once, and the effects that hold the
    // services finish (a save still writing is given its time).
    if (m_loop && m_environment && QCoreApplication::instance()) {
        m_loop->shutDown();
        if (m_environment->notePlayer)
            m_environment->notePlayer->stopAll();
        QDeadlineTimer deadline(QuitGuard::saveTimeoutMs);
        while (m_loop->effectsInFlight() > 0 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    m_midi.reset();
    if (m_window && !m_input.windowPlacementFile.isEmpty()) {
        if (auto written = writeWindowPlacement(m_input.windowPlacementFile, placementOf(m_window)); !written) {
            if (Logger *logger = environment().logger.get(); logger && logger->isEnabled(LogLevel::warning))
                logger->write(LogLevel::warning, written.error().description);
        }
    }
    delete m_window;
    m_app.reset();
    m_loop.reset();
}

void AppDelegate::bringToFront()
{
    if (!m_window)
        return;
    if (m_window->isMinimized())
        m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

const AppEnvironment &AppDelegate::environment()
{
    if (!m_environment) {
        // The tour names the typing keys as the keyboard in use prints them.
        if (m_setup.typingKeys.isEmpty())
            m_setup.typingKeys = {whiteKeyLabels(), blackKeyLabels()};
        m_environment = makeEnvironment(m_setup);
    }
    return *m_environment;
}

AppLoop *AppDelegate::loop()
{
    if (!m_loop) {
        m_loop = std::make_unique<AppLoop>(environment(), startingState(environment()));
        QPointer<AppDelegate> self(this);
        m_loop->delegate = AppLoopDelegate{[self](const AppState &state) {
            if (self)
                self->showState(state);
        }};
    }
    return m_loop.get();
}

App *AppDelegate::app()
{
    if (!m_app) {
        const AppEnvironment &env = environment();
        AppLoop *l = loop();
        m_app = std::make_unique<App>(env, l);
        m_app->askAboutNarrowing = m_input.askAboutNarrowing;
    }
    return m_app.get();
}

QWidget *AppDelegate::toolbarItem(const QString &identifier) const
{
    return m_navBar ? m_navBar->item(identifier) : nullptr;
}

Label *AppDelegate::scoreLabel() const
{
    return m_navBar ? m_navBar->scoreLabel() : nullptr;
}

Label *AppDelegate::subtitleLabel() const
{
    return m_navBar ? m_navBar->subtitleLabel() : nullptr;
}

AccuracyRing *AppDelegate::accuracyRing() const
{
    return m_navBar ? m_navBar->accuracyRing() : nullptr;
}

QAction *AppDelegate::shortcut(Command command) const
{
    const auto it = m_shortcuts.find(command);
    return it == m_shortcuts.end() ? nullptr : it->second;
}

QAction *AppDelegate::makeShortcut(Command command, std::function<void()> trigger)
{
    auto *action = new QAction(this);
    action->setShortcuts(shortcuts(command));
    action->setShortcutContext(Qt::WindowShortcut);
    // Like its control, disabled until the first state says otherwise.
    action->setEnabled(false);
    connect(action, &QAction::triggered, this, std::move(trigger));
    m_shortcuts[command] = action;
    return action;
}

NavBar *AppDelegate::makeNavBar()
{
    QPointer<AppDelegate> self(this);
    auto *bar = new NavBar([self](AppAction action) {
        if (self)
            self->loop()->send(std::move(action));
    });
    for (const auto &[identifier, command] : bar->commands()) {
        makeShortcut(command, [self, bar = QPointer<NavBar>(bar), identifier, command]() {
            // In a listening block Space skips the block; the button
            // still stops the session.
            if (self && command == Command::startStop) {
                const AppState &state = self->loop()->state();
                if (state.isPracticing && state.hearing && state.hearing->kind == Hearing::Kind::listening) {
                    self->loop()->send(actions::didSkipListening{});
                    return;
                }
            }
            if (bar)
                bar->trigger(identifier);
        });
    }
    return bar;
}

void AppDelegate::applicationDidFinishLaunching()
{
    // The services first: the live sound output starts on its own thread
    // while the window is built.
    environment();
    m_navBar = makeNavBar();

    // 860 × 340 is the smallest content and the first size; the window
    // grows from there, and the keyboard with it.
    auto *content = new QWidget;
    content->setMinimumSize(860, 340);
    content->setAutoFillBackground(true);
    QPalette black = content->palette();
    black.setColor(QPalette::Window, Qt::black);
    content->setPalette(black);
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(app()->view());

    m_window = new QMainWindow;
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    m_window->addToolBar(Qt::TopToolBarArea, m_navBar);
    m_window->setCentralWidget(content);
    m_window->setWindowTitle(localized("earTraining") + QStringLiteral(" — ") + localized("lirra"));
    m_window->resize(m_window->sizeHint());
    if (!m_input.windowPlacementFile.isEmpty()) {
        if (const auto placement = readWindowPlacement(m_input.windowPlacementFile))
            restorePlacement(m_window, *placement);
    }

    // Return and Escape answer the modal screens and the tour's bubble.
    QPointer<AppDelegate> self(this);
    for (const Command command : {Command::confirm, Command::cancel}) {
        makeShortcut(command, [self, command]() {
            if (!self)
                return;
            if (QPushButton *target = self->modalButton(command))
                target->click();
        });
    }
    for (const auto &[command, action] : m_shortcuts)
        m_window->addAction(action);
    connect(app(), &App::doneButtonEnabledChanged, this, [self]() {
        if (self)
            self->updateModalShortcuts();
    });

    QuitGuard::Hooks quitting;
    quitting.stopSession = [self]() { return stopForQuit(self); };
    quitting.unsavedNarrowing = [self]() -> std::optional<QString> {
        if (!self || !holdsUnsavedPractice(self->loop()->state()))
            return std::nullopt;
        return suggestedName(*self->loop()->state().level);
    };
    quitting.askAboutNarrowing = m_input.askAboutNarrowing;
    quitting.keepNarrowing = [self](bool tellNextStart) { return keepNarrowingForQuit(self, tellNextStart); };
    quitting.saveAll = [practice = environment().practiceManager]() { return practice->saveBeforeQuit(); };
    quitting.confirmLoss = m_input.confirmLoss;
    quitting.exit = m_input.exit;
    m_quitGuard = new QuitGuard(m_window, std::move(quitting), this);
    FocusKeeper::Places places;
    places.window = m_window;
    places.startStop = [self]() { return self ? self->toolbarItem(QStringLiteral("startStopSessionButton")) : nullptr; };
    places.overlayKeyboard = [self]() -> KeyboardView * {
        if (!self)
            return nullptr;
        if (AccuracyScreen *accuracy = self->app()->builtAccuracy(); accuracy && accuracy->isVisible())
            return accuracy->keyboardView();
        if (LevelEditorScreen *editor = self->app()->builtLevelEditor(); editor && editor->isVisible())
            return editor->keyboardView();
        return nullptr;
    };
    places.overlaySummary = [self]() -> QString {
        if (!self)
            return {};
        const auto summary = [](TitledKeyboardScreen *screen, const QString &extra) {
            QStringList parts{screen->titleBar()->title().value_or(QString()), screen->messageLabel()->text(), extra};
            parts.removeAll(QString());
            return parts.join(QStringLiteral(". ")).replace(QStringLiteral(" · "), QStringLiteral(", "));
        };
        if (AccuracyScreen *accuracy = self->app()->builtAccuracy(); accuracy && accuracy->isVisible()) {
            const QWidget *chart = accuracy->progressChart();
            return summary(accuracy, chart->isVisible() ? chart->accessibleName() : QString());
        }
        if (LevelEditorScreen *editor = self->app()->builtLevelEditor(); editor && editor->isVisible())
            return summary(editor, QString());
        return {};
    };
    places.say = [self](const QString &text) {
        if (self)
            self->say(text);
    };
    m_focusKeeper = new FocusKeeper(std::move(places), this);
    // Every tip can end the tour for good; F1 starts it again.
    TipPresenter::setSecondaryAction(TipView::TipViewAction{localized("tip.skip"), [self]() {
        if (self)
            self->loop()->send(actions::didSkipTour{});
    }});
    QAction *tour = makeShortcut(Command::tour, [self]() {
        if (self)
            self->loop()->send(actions::didRequestTour{});
    });
    tour->setEnabled(true);
    m_window->addAction(tour);
    // Ctrl+S saves the notes where saving them is offered: in the level
    // editor, or after a session of an unsaved narrowing.
    m_window->addAction(makeShortcut(Command::saveLevel, [self]() {
        if (!self)
            return;
        if (QPushButton *save = self->saveLevelButton())
            save->click();
    }));
    // C opens the confusion table where its button is, on the accuracy screen.
    m_window->addAction(makeShortcut(Command::confusions, [self]() {
        if (!self)
            return;
        AccuracyScreen *accuracy = self->app()->builtAccuracy();
        if (accuracy && accuracy->isVisible())
            accuracy->titleBar()->cancelButton()->pushButton()->click();
    }));
    QAction *quit = makeShortcut(Command::quit, [self]() {
        if (self && self->m_quitGuard)
            self->m_quitGuard->requestQuit(true);
    });
    quit->setEnabled(true);
    m_window->addAction(quit);

    // A store that cannot keep the preferences says so once, as an error.
    environment().preferences->setFailureHandler([self](const Error &error) {
        if (!self)
            return;
        Error shown = error;
        // A file that could not be read at all is left as it is, and the
        // app runs on its defaults; one that could not be written is behind.
        const bool unread = error.domain == preferencesReadErrorDomain();
        shown.description = localized(unread ? "preferencesNotRead" : "preferencesNotSaved").arg(error.description);
        // Told once the first level is on show, which would otherwise clear it.
        const auto tell = [](QPointer<AppDelegate> self, Error shown) -> QCoro::Task<> {
            QCoro::Task<> shownLevel = pollUntil([self]() {
                return !self || self->loop()->state().level || self->loop()->state().hasError;
            });
            co_await std::move(shownLevel);
            if (self)
                self->reportError(shown);
        };
        tell(self, std::move(shown));
    });
    // The export of every level's history, from the preferences: asked
    // here, written by the loop, told when it ends.
    app()->exportHistory = [self](ExportFormat format) {
        if (!self || self->loop()->state().isExporting)
            return;
        QWidget *parent = self->app()->builtPreferencesDialog();
        if (!parent || !parent->isVisible())
            parent = self->m_window;
        const QString path = self->m_input.askExportPath ? self->m_input.askExportPath(parent, format)
                                                         : askExportPathWithDialog(parent, format);
        if (self && !path.isEmpty())
            self->loop()->send(actions::didChooseExportDestination{format, path});
    };
    QCoreApplication::instance()->installEventFilter(this);
    // The window holds the focus until Tab moves it to a control, so that
    // Space and Return mean what the window's shortcuts say, not what the
    // first control in the Tab order does. A click on no control gives it
    // back to the window.
    m_window->setFocusPolicy(Qt::ClickFocus);
    m_window->setFocus(Qt::OtherFocusReason);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();

    loop()->send(actions::didLoad{});
    // Whether a screen reader reads the app, now and as it changes.
    if (!m_screenReaderWatch)
        m_screenReaderWatch = std::make_unique<ScreenReaderWatch>(self);
    if (QAccessible::isActive())
        loop()->send(actions::didChangeScreenReader{true});
    // An instrument that fails to load beside the first level is told then,
    // not at the first note that would have been silent.
    const auto watchInstrument = [](QPointer<AppDelegate> self, std::shared_ptr<NotePlayer> player) -> QCoro::Task<> {
        const Result<void> ready = co_await player->instrumentReady();
        // After the first level, which would otherwise clear it.
        if (!ready) {
            QCoro::Task<> shown = pollUntil([self]() {
                return !self || self->loop()->state().level || self->loop()->state().hasError;
            });
            co_await std::move(shown);
        }
        if (ready || !self)
            co_return;
        const AppState &now = self->loop()->state();
        if (!(now.hasError && now.error == ready.error()))
            self->reportError(ready.error());
    };
    watchInstrument(self, environment().notePlayer);
    if (m_input.midi) {
        QTimer::singleShot(m_input.midiDelayMs, this, [self]() {
            if (self)
                self->startMidi();
        });
    }
}

void AppDelegate::reportError(const Error &error)
{
    if (Logger *logger = environment().logger.get(); logger && logger->isEnabled(LogLevel::error))
        logger->write(LogLevel::error, error.fullText());
    loop()->send(actions::errorOccurred{error});
}

void AppDelegate::startMidi()
{
    m_midi = std::make_unique<MidiInput>(m_input.midiOptions);
    QPointer<AppDelegate> self(this);
    connect(m_midi.get(), &MidiInput::notePressed, this, [self](Note note) {
        if (self)
            self->app()->pressNote(note);
    });
    connect(m_midi.get(), &MidiInput::noteReleased, this, [self](Note note) {
        if (self)
            self->app()->releaseNote(note);
    });
    Logger *logger = environment().logger.get();
    if (!m_midi->start() && logger && logger->isEnabled(LogLevel::warning))
        logger->write(LogLevel::warning,
                      QStringLiteral("⚠️ No MIDI input: neither an ALSA sequencer nor a JACK server could be reached"));
}

QPushButton *AppDelegate::modalButton(Command command)
{
    LevelEditorScreen *editor = app()->builtLevelEditor();
    AccuracyScreen *accuracy = app()->builtAccuracy();
    ErrorScreen *error = app()->builtErrorScreen();
    QPushButton *target = nullptr;
    if (error && error->isVisible()) {
        target = (command == Command::confirm ? error->tryAgainButton() : error->closeButton())->pushButton();
    } else if (editor && editor->isVisible()) {
        TitleBar *bar = editor->titleBar();
        target = (command == Command::confirm ? bar->doneButton() : bar->cancelButton())->pushButton();
    } else if (accuracy && accuracy->isVisible()) {
        target = accuracy->titleBar()->doneButton()->pushButton();
    } else if (TipView *tip = m_toolbarTip ? m_toolbarTip.data() : app()->main()->keyboardView()->tipView(); tip) {
        Button *button = command == Command::confirm ? tip->button() : tip->secondaryButton();
        target = button ? button->pushButton() : nullptr;
    } else if (SaveLevelBar *offer = app()->main()->saveLevelBar(); offer && command == Command::cancel) {
        // Escape waves the offer to keep a narrowing away.
        target = offer->declineButton();
    }
    return target && target->isEnabled() && target->isVisible() ? target : nullptr;
}

QPushButton *AppDelegate::saveLevelButton()
{
    SaveLevelBar *bar = nullptr;
    if (LevelEditorScreen *editor = app()->builtLevelEditor(); editor && editor->isVisible())
        bar = editor->saveLevelBar();
    else if (SaveLevelBar *offer = app()->main()->saveLevelBar(); offer && offer->isVisible())
        bar = offer;
    QPushButton *save = bar ? bar->saveButton() : nullptr;
    return save && save->isEnabled() ? save : nullptr;
}

void AppDelegate::updateModalShortcuts()
{
    QPushButton *confirm = modalButton(Command::confirm);
    QPushButton *cancel = modalButton(Command::cancel);
    shortcut(Command::confirm)->setEnabled(confirm != nullptr);
    shortcut(Command::cancel)->setEnabled(cancel != nullptr);
    if (QAction *save = shortcut(Command::saveLevel))
        save->setEnabled(saveLevelButton() != nullptr);
    if (QAction *confusions = shortcut(Command::confusions)) {
        AccuracyScreen *accuracy = app()->builtAccuracy();
        QPushButton *button = accuracy ? accuracy->titleBar()->cancelButton()->pushButton() : nullptr;
        confusions->setEnabled(accuracy && accuracy->isVisible() && button->isEnabled());
        if (button)
            button->setToolTip(withShortcut(localized("confusions.openTip"), Command::confusions));
    }
    if (confirm)
        confirm->setToolTip(withShortcut(confirm->text(), Command::confirm));
    if (cancel && cancel != confirm)
        cancel->setToolTip(withShortcut(cancel->text(), Command::cancel));
}

bool AppDelegate::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!m_window || !widget || widget->window() != m_window)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    // By its place on the keyboard, whatever the layout prints on it.
    const std::optional<TypingKey> typed = typingKey(key->nativeScanCode(), key->key());
    const int code = typed ? int(*typed) : -1;
    const bool isTyping = typed.has_value() || m_typedNotes.count(code) > 0;
    if (key->isAutoRepeat() || !isTyping)
        return isTyping; // a held key plays once
    if (event->type() == QEvent::KeyPress) {
        if (m_typing.moveOctave(*typed))
            return true;
        const std::optional<Note> note = m_typing.note(*typed);
        if (!note)
            return true; // beyond the keyboard's octaves
        m_typedNotes[code] = *note;
        app()->pressNote(*note);
        return true;
    }
    // The note the key pressed, whatever octave is typed now.
    if (const auto held = m_typedNotes.find(code); held != m_typedNotes.end()) {
        app()->releaseNote(held->second);
        m_typedNotes.erase(held);
    }
    return true;
}

Announcer *AppDelegate::announcer() const
{
    return m_announcer;
}

void AppDelegate::tellExport(const ExportOutcome &outcome)
{
    // After the state is shown: a message box waits for the user, and the
    // loop must not be inside that wait.
    QPointer<AppDelegate> self(this);
    QTimer::singleShot(0, this, [self, outcome]() {
        if (!self)
            return;
        QWidget *parent = self->app()->builtPreferencesDialog();
        if (!parent || !parent->isVisible())
            parent = self->m_window;
        const bool written = outcome.failure.isEmpty();
        if (self->m_input.reportExport)
            self->m_input.reportExport(parent, written, exportText(outcome));
        else
            reportExportWithMessageBox(parent, written, exportText(outcome));
    });
}

void AppDelegate::showState(const AppState &state)
{
    app()->update(state);
    if (m_window) {
        const QString subtitle = state.level ? levelHeading(*state.level) : localized("earTraining");
        m_window->setWindowTitle(subtitle + QStringLiteral(" — ") + localized("lirra"));
        // Read with commas, not "middle dot" and "em dash".
        m_window->setAccessibleName(QString(subtitle).replace(QStringLiteral(" · "), QStringLiteral(", "))
                                    + QStringLiteral(", ") + localized("lirra"));
        if (m_navBar)
            m_navBar->setSubtitle(subtitle);
    }
    const MainScreenState main = mainScreenState(state);
    const NavBarState bar = navBarState(main);
    if (m_focusKeeper)
        m_focusKeeper->beforeToolbar(state, bar.isStartStopButtonEnabled);
    if (m_window)
        applyNavBarState(bar);
    showTip(state.currentTip);
    updateModalShortcuts();
    // A tip that appears is said as well as shown, its buttons with it.
    std::optional<QString> said;
    if (state.currentTip && state.currentTip != m_saidTip)
        said = QStringLiteral("%1. %2").arg(state.currentTip->title, state.currentTip->message);
    m_saidTip = state.currentTip;
    if (state.announcement && state.announcement->serial != m_announced) {
        m_announced = state.announcement->serial;
        said = announcementText(*state.announcement);
    }
    if (m_window && said)
        say(*said);
    if (state.exportOutcome && state.exportsEnded != m_exportsTold) {
        m_exportsTold = state.exportsEnded;
        tellExport(*state.exportOutcome);
    }
    if (m_focusKeeper)
        m_focusKeeper->after(state);
    emit stateShown(state);
}

void AppDelegate::say(const QString &text)
{
    if (!m_window)
        return;
    if (!m_announcer)
        m_announcer = new Announcer(m_window);
    m_announcer->say(text);
}

void AppDelegate::applyNavBarState(const NavBarState &bar)
{
    m_navBar->apply(bar);
    for (const auto &[identifier, enabled] : m_navBar->enabledItems()) {
        if (const auto command = m_navBar->commands().find(identifier); command != m_navBar->commands().end())
            shortcut(command->second)->setEnabled(enabled);
    }
}

void AppDelegate::showTip(const std::optional<Tip> &tip)
{
    if (tip == m_shownTip && (m_toolbarTip || !tip || tip->target == Tip::Target::keyboard))
        return;
    m_shownTip = tip;
    TipPresenter::remove(m_toolbarTip);
    if (!tip || tip->target == Tip::Target::keyboard || !m_window)
        return;

    static const std::map<Tip::Target, QString> anchors = {
        {Tip::Target::startStopButton, QStringLiteral("startStopSessionButton")},
        {Tip::Target::repeatButton, QStringLiteral("repeatButton")},
        {Tip::Target::previousButton, QStringLiteral("previousLevelButton")},
        {Tip::Target::nextButton, QStringLiteral("nextLevelButton")},
        {Tip::Target::randomButton, QStringLiteral("randomLevelButton")},
        {Tip::Target::homeButton, QStringLiteral("firstLevelButton")},
        {Tip::Target::accuracyRing, QStringLiteral("accuracyButton")},
        {Tip::Target::configureLevelButton, QStringLiteral("configureLevelButton")},
    };
    QWidget *anchor = tip->target == Tip::Target::titleView ? subtitleLabel() : toolbarItem(anchors.at(tip->target));
    if (!anchor)
        return;

    QPointer<AppDelegate> self(this);
    const auto dismiss = [self]() {
        if (!self || !self->m_toolbarTip)
            return;
        TipPresenter::remove(self->m_toolbarTip);
        self->loop()->send(actions::didDismissTip{});
    };
    // The first edge whose bubble stays inside the window.
    const QRectF inside(m_window->rect());
    for (TipView::Edge edge : {TipView::Edge::topLeft, TipView::Edge::topCenter, TipView::Edge::topRight}) {
        TipView *view = TipPresenter::present(edge, tip->title, tip->message,
                                              TipView::TipViewAction{tip->actionTitle, dismiss}, anchor);
        if (!view)
            return;
        m_toolbarTip = view;
        if (inside.contains(view->bubbleRect()) || edge == TipView::Edge::topRight)
            return;
        TipPresenter::remove(m_toolbarTip);
    }
}

} // namespace lirra
