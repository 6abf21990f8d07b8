#include "app_hooks.h"

#include "app.h"
#include "core/app_loop.h"
#include "error_screen.h"
#include "history_exporter.h"
#include "main_screen.h"
#include "modal_screens.h"
#include "preferences_dialog.h"
#include "model/level_labels.h"
#include "model/localization.h"
#include "save_level_bar.h"
#include "widgets/keyboard.h"
#include "widgets/progress_chart.h"
#include "widgets/title_bar.h"

#include <QCoroTimer>
#include <QPushButton>
#include <QTimer>

namespace lirra {

QCoro::Task<> pollUntil(std::function<bool()> done)
{
    while (!done()) {
        QTimer tick;
        tick.setSingleShot(true);
        tick.start(10);
        co_await tick;
    }
}

namespace {

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

QuitGuard::Hooks quitHooks(QPointer<AppDelegate> self, const InputSetup &input)
{
    QuitGuard::Hooks quitting;
    quitting.stopSession = [self]() { return stopForQuit(self); };
    quitting.unsavedNarrowing = [self]() -> std::optional<QString> {
        if (!self || !holdsUnsavedPractice(self->loop()->state()))
            return std::nullopt;
        return suggestedName(*self->loop()->state().level);
    };
    quitting.askAboutNarrowing = input.askAboutNarrowing;
    quitting.keepNarrowing = [self](bool tellNextStart) { return keepNarrowingForQuit(self, tellNextStart); };
    quitting.saveAll = [practice = self->environment().practiceManager]() { return practice->saveBeforeQuit(); };
    quitting.confirmLoss = input.confirmLoss;
    quitting.exit = input.exit;
    return quitting;
}

FocusKeeper::Places focusPlaces(QPointer<AppDelegate> self)
{
    FocusKeeper::Places places;
    places.window = self->window();
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
    return places;
}

QPushButton *modalButton(App *app, TipView *toolbarTip, Command command)
{
    LevelEditorScreen *editor = app->builtLevelEditor();
    AccuracyScreen *accuracy = app->builtAccuracy();
    ErrorScreen *error = app->builtErrorScreen();
    QPushButton *target = nullptr;
    if (error && error->isVisible()) {
        target = (command == Command::confirm ? error->tryAgainButton() : error->closeButton())->pushButton();
    } else if (editor && editor->isVisible()) {
        TitleBar *bar = editor->titleBar();
        target = (command == Command::confirm ? bar->doneButton() : bar->cancelButton())->pushButton();
    } else if (accuracy && accuracy->isVisible()) {
        target = accuracy->titleBar()->doneButton()->pushButton();
    } else if (TipView *tip = toolbarTip ? toolbarTip : app->main()->keyboardView()->tipView(); tip) {
        Button *button = command == Command::confirm ? tip->button() : tip->secondaryButton();
        target = button ? button->pushButton() : nullptr;
    } else if (SaveLevelBar *offer = app->main()->saveLevelBar(); offer && command == Command::cancel) {
        // Escape waves the offer to keep a narrowing away.
        target = offer->declineButton();
    }
    return target && target->isEnabled() && target->isVisible() ? target : nullptr;
}

QPushButton *saveLevelButton(App *app)
{
    SaveLevelBar *bar = nullptr;
    if (LevelEditorScreen *editor = app->builtLevelEditor(); editor && editor->isVisible())
        bar = editor->saveLevelBar();
    else if (SaveLevelBar *offer = app->main()->saveLevelBar(); offer && offer->isVisible())
        bar = offer;
    QPushButton *save = bar ? bar->saveButton() : nullptr;
    return save && save->isEnabled() ? save : nullptr;
}

void tellPreferenceFailures(QPointer<AppDelegate> self)
{
    self->environment().preferences->setFailureHandler([self](const Error &error) {
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
}

QCoro::Task<> watchInstrument(QPointer<AppDelegate> self, std::shared_ptr<NotePlayer> player)
{
    // After the first level: the sound starts then, and the level would
    // clear an error told before it.
    QCoro::Task<> shown = pollUntil([self]() {
        return !self || self->loop()->state().level || self->loop()->state().hasError;
    });
    co_await std::move(shown);
    if (!self)
        co_return;
    const Result<void> ready = co_await player->instrumentReady();
    if (ready || !self)
        co_return;
    const AppState &now = self->loop()->state();
    if (!(now.hasError && now.error == ready.error()))
        self->reportError(ready.error());
}

void askWhereToExport(QPointer<AppDelegate> self, ExportFormat format, const AskExportPath &ask)
{
    if (!self || self->loop()->state().isExporting)
        return;
    QWidget *parent = self->app()->builtPreferencesDialog();
    if (!parent || !parent->isVisible())
        parent = self->window();
    const QString path = ask ? ask(parent, format) : askExportPathWithDialog(parent, format);
    if (self && !path.isEmpty())
        self->loop()->send(actions::didChooseExportDestination{format, path});
}

void tellExport(QPointer<AppDelegate> self, const ExportOutcome &outcome, const ReportExport &report)
{
    // After the state is shown: a message box waits for the user, and the
    // loop must not be inside that wait.
    QTimer::singleShot(0, self, [self, outcome, report]() {
        if (!self)
            return;
        QWidget *parent = self->app()->builtPreferencesDialog();
        if (!parent || !parent->isVisible())
            parent = self->window();
        const bool written = outcome.failure.isEmpty();
        if (report)
            report(parent, written, exportText(outcome));
        else
            reportExportWithMessageBox(parent, written, exportText(outcome));
    });
}

QPointer<TipView> presentToolbarTip(const Tip &tip, QPointer<AppDelegate> self, std::function<void()> dismiss)
{
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
    QWidget *anchor = tip.target == Tip::Target::titleView ? (QWidget *)self->subtitleLabel()
                                                          : self->toolbarItem(anchors.at(tip.target));
    if (!anchor)
        return nullptr;

    // The first edge whose bubble stays inside the window.
    const QRectF inside(self->window()->rect());
    for (TipView::Edge edge : {TipView::Edge::topLeft, TipView::Edge::topCenter, TipView::Edge::topRight}) {
        QPointer<TipView> view = TipPresenter::present(edge, tip.title, tip.message,
                                                       TipView::TipViewAction{tip.actionTitle, dismiss}, anchor);
        if (!view)
            return nullptr;
        if (inside.contains(view->bubbleRect()) || edge == TipView::Edge::topRight)
            return view;
        TipPresenter::remove(view);
    }
    return nullptr;
}

ScreenReaderWatch::ScreenReaderWatch(std::function<void(bool)> changed)
    : m_changed(std::move(changed))
{
    QAccessible::installActivationObserver(this);
}

ScreenReaderWatch::~ScreenReaderWatch()
{
    QAccessible::removeActivationObserver(this);
}

void ScreenReaderWatch::accessibilityActiveChanged(bool active)
{
    m_changed(active);
}

} // namespace lirra
