#include "app_delegate.h"

#include "app.h"
#include "app_hooks.h"
#include "core/app_loop.h"
#include "focus_keeper.h"
#include "input/key_labels.h"
#include "main_screen.h"
#include "modal_screens.h"
#include "model/level_labels.h"
#include "model/localization.h"
#include "nav_bar.h"
#include "quit_guard.h"
#include "widgets/accuracy_ring.h"
#include "widgets/announcer.h"
#include "widgets/control.h"
#include "widgets/title_bar.h"
#include "window_placement.h"

#include <QAccessible>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLayout>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace lirra {

AppDelegate::AppDelegate(EnvironmentSetup setup, InputSetup input)
    : m_setup(std::move(setup))
    , m_input(std::move(input))
{
}

AppDelegate::~AppDelegate()
{
    // No key or MIDI note plays while the app winds down.
    m_musicalInput.reset();
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
    // The services first; the live sound output starts after the first
    // level, on its own thread.
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
            if (QPushButton *target = modalButton(self->app(), self->toolbarTip(), command))
                target->click();
        });
    }
    for (const auto &[command, action] : m_shortcuts)
        m_window->addAction(action);
    connect(app(), &App::doneButtonEnabledChanged, this, [self]() {
        if (self)
            self->updateModalShortcuts();
    });

    m_quitGuard = new QuitGuard(m_window, quitHooks(self, m_input), this);
    m_focusKeeper = new FocusKeeper(focusPlaces(self), this);
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
        if (QPushButton *save = saveLevelButton(self->app()))
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
    // Ctrl+M: the next question length, from one note to melodies of five.
    QAction *length = makeShortcut(Command::questionLength, [self]() {
        if (!self)
            return;
        Settings settings = self->loop()->state().settings;
        settings.melodyLength = settings.melodyLength % Settings::maxMelodyLength + 1;
        self->loop()->send(actions::didChangeSettings{settings});
    });
    length->setEnabled(true);
    m_window->addAction(length);
    // Ctrl+K: notes, then chords, then notes.
    QAction *kind = makeShortcut(Command::questionKind, [self]() {
        if (!self)
            return;
        Settings settings = self->loop()->state().settings;
        settings.questionKind = settings.questionKind == QuestionKind::note ? QuestionKind::chord : QuestionKind::note;
        self->loop()->send(actions::didChangeSettings{settings});
    });
    kind->setEnabled(true);
    m_window->addAction(kind);
    QAction *quit = makeShortcut(Command::quit, [self]() {
        if (self && self->m_quitGuard)
            self->m_quitGuard->requestQuit(true);
    });
    quit->setEnabled(true);
    m_window->addAction(quit);

    // A store that cannot keep the preferences says so once, as an error.
    tellPreferenceFailures(self);
    // The export of every level's history, from the preferences: asked
    // here, written by the loop, told when it ends.
    app()->exportHistory = [self](ExportFormat format) {
        if (self)
            askWhereToExport(self, format, self->m_input.askExportPath);
    };
    m_musicalInput = std::make_unique<MusicalInput>(
        m_window,
        [self](Note note) {
            if (self)
                self->app()->pressNote(note);
        },
        [self](Note note) {
            if (self)
                self->app()->releaseNote(note);
        });
    // Number keys and struck chords answer while chords are asked: the
    // degree's root among the level's keys, or in the middle octave.
    m_musicalInput->answerChords([self](int degree) -> std::optional<Note> {
        if (!self)
            return std::nullopt;
        const AppState &state = self->loop()->state();
        if (!state.level || state.settings.questionKind != QuestionKind::chord)
            return std::nullopt;
        return rootAmong(state.level->notes, degreeRoot(state.level->key, state.level->isMajor, degree));
    });
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
        m_screenReaderWatch = std::make_unique<ScreenReaderWatch>([self](bool active) {
            if (self)
                self->loop()->send(actions::didChangeScreenReader{active});
        });
    if (QAccessible::isActive())
        loop()->send(actions::didChangeScreenReader{true});
    // An instrument that fails to load beside the first level is told then,
    // not at the first note that would have been silent.
    watchInstrument(self, environment().notePlayer);
    if (m_input.midi) {
        QTimer::singleShot(m_input.midiDelayMs, this, [self]() {
            if (self)
                self->m_musicalInput->startMidi(self->m_input.midiOptions, self->environment().logger.get());
        });
    }
}

void AppDelegate::reportError(const Error &error)
{
    if (Logger *logger = environment().logger.get(); logger && logger->isEnabled(LogLevel::error))
        logger->write(LogLevel::error, error.fullText());
    loop()->send(actions::errorOccurred{error});
}




void AppDelegate::updateModalShortcuts()
{
    QPushButton *confirm = modalButton(app(), m_toolbarTip, Command::confirm);
    QPushButton *cancel = modalButton(app(), m_toolbarTip, Command::cancel);
    shortcut(Command::confirm)->setEnabled(confirm != nullptr);
    shortcut(Command::cancel)->setEnabled(cancel != nullptr);
    if (QAction *save = shortcut(Command::saveLevel))
        save->setEnabled(saveLevelButton(app()) != nullptr);
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


Announcer *AppDelegate::announcer() const
{
    return m_announcer;
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
        tellExport(this, *state.exportOutcome, m_input.reportExport);
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

    QPointer<AppDelegate> self(this);
    m_toolbarTip = presentToolbarTip(*tip, self, [self]() {
        if (!self || !self->m_toolbarTip)
            return;
        TipPresenter::remove(self->m_toolbarTip);
        self->loop()->send(actions::didDismissTip{});
    });
}

} // namespace lirra
