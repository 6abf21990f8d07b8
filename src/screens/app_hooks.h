#pragma once

// The app delegate's helpers, each wired to it from outside: the quit
// guard's hooks, the focus keeper's places, the buttons Return, Escape and
// Ctrl+S press, the tour's bubble on the toolbar, asking where to export and
// telling how it went, failures told once the first level shows, and the
// screen reader's coming and going.

#include "app_delegate.h"
#include "focus_keeper.h"
#include "history_exporter.h"
#include "quit_guard.h"

#include <QAccessible>
#include <QCoroTask>
#include <QPointer>

#include <functional>
#include <memory>

class QPushButton;

namespace lirra {

class App;
class TipView;

// Waits, a few milliseconds at a time, until `done` says so. (A signal
// emitted twice in one turn of the event loop would resume a coroutine
// awaiting it through qCoro twice, the second time after it has gone.)
QCoro::Task<> pollUntil(std::function<bool()> done);

QuitGuard::Hooks quitHooks(QPointer<AppDelegate> self, const InputSetup &input);
FocusKeeper::Places focusPlaces(QPointer<AppDelegate> self);

// A store that cannot keep the preferences says so, once the first level is
// on show (which would otherwise clear it).
void tellPreferenceFailures(QPointer<AppDelegate> self);
// An instrument that fails to load is told once the first level is on show.
QCoro::Task<> watchInstrument(QPointer<AppDelegate> self, std::shared_ptr<NotePlayer> player);
// Asks where to export every level's history (`ask`, or a file dialog) and
// has the loop write it there.
void askWhereToExport(QPointer<AppDelegate> self, ExportFormat format, const AskExportPath &ask);

// Tells what an export came to, after the state that holds it is shown: a
// message box waits for the user, and the loop must not be inside that wait.
void tellExport(QPointer<AppDelegate> self, const ExportOutcome &outcome, const ReportExport &report);
// The tour's bubble on the toolbar item the tip is about, at the first edge
// where it stays inside the window; `dismiss` is its button's.
QPointer<TipView> presentToolbarTip(const Tip &tip, QPointer<AppDelegate> self, std::function<void()> dismiss);

// Tells when a screen reader begins or stops reading the app.
class ScreenReaderWatch final : public QAccessible::ActivationObserver {
public:
    explicit ScreenReaderWatch(std::function<void(bool active)> changed);
    ~ScreenReaderWatch() override;
    void accessibilityActiveChanged(bool active) override;

private:
    std::function<void(bool)> m_changed;
};

// The button Return or Escape answers now, if any is on show and enabled.
QPushButton *modalButton(App *app, TipView *toolbarTip, Command command);
// "Save as my level…" where it is on show and enabled, if anywhere.
QPushButton *saveLevelButton(App *app);

} // namespace lirra
