#include "focus_keeper.h"

#include "core/app_state.h"
#include "widgets/key_access.h"
#include "widgets/keyboard.h"

#include <QApplication>
#include <QWidget>

namespace lirra {

namespace {

bool usable(const QWidget *widget)
{
    return widget && widget->isEnabled() && widget->isVisible();
}

void focusOn(QWidget *widget)
{
    if (usable(widget))
        widget->setFocus(Qt::OtherFocusReason);
}

} // namespace

FocusKeeper::FocusKeeper(Places places, QObject *parent)
    : QObject(parent)
    , m_places(std::move(places))
{
}

void FocusKeeper::beforeToolbar(const AppState &, bool startStopEnabled)
{
    QWidget *startStop = m_places.startStop ? m_places.startStop() : nullptr;
    // Qt would pass the focus on to the next control (Preferences), where
    // the next Space would go.
    if (startStop && startStop->hasFocus() && !startStopEnabled) {
        m_startStopHadFocus = true;
        if (m_places.window)
            m_places.window->setFocus(Qt::OtherFocusReason);
    }
}

void FocusKeeper::after(const AppState &state)
{
    QWidget *startStop = m_places.startStop ? m_places.startStop() : nullptr;
    QWidget *focus = QApplication::focusWidget();
    const bool onWindow = !focus || focus == m_places.window;
    const bool tip = state.currentTip.has_value();
    const bool overlay = state.isAccuracyScreenVisible || state.isLevelEditorVisible;

    // Into a screen over the keys: its keys at once, so that the arrows
    // walk them; back where it was when it closes.
    if (overlay && !m_overlay) {
        m_beforeOverlay = focus;
        if (KeyboardView *keyboard = m_places.overlayKeyboard ? m_places.overlayKeyboard() : nullptr) {
            keyboard->keyFocus()->refresh();
            focusOn(keyboard->keyFocus()->tabStop());
        }
        if (m_places.overlaySummary && m_places.say) {
            if (const QString summary = m_places.overlaySummary(); !summary.isEmpty())
                m_places.say(summary);
        }
    } else if (!overlay && m_overlay) {
        if (usable(m_beforeOverlay) && m_beforeOverlay != m_places.window)
            focusOn(m_beforeOverlay);
        else
            focusOn(startStop);
        m_beforeOverlay.clear();
    }
    m_overlay = overlay;

    // On Start a session once there is a level to practise and no tip
    // waits: at the start, and when the tour ends.
    const bool ready = state.level.has_value() && !tip && !overlay;
    if (ready && (!m_started || m_tipShown) && onWindow)
        focusOn(startStop);
    if (ready)
        m_started = true;
    m_tipShown = tip;

    // Back on Start/Stop once a stop that disabled it is done (the save
    // said tells that it is Start again).
    if (m_startStopHadFocus && usable(startStop)) {
        m_startStopHadFocus = false;
        if (QApplication::focusWidget() == m_places.window || !QApplication::focusWidget())
            focusOn(startStop);
    }

    // Start turned into Stop (or back) under the focus: its new name said.
    if (startStop) {
        const QString name = startStop->accessibleName();
        if (!m_startStopName.isEmpty() && name != m_startStopName && startStop->hasFocus() && m_places.say)
            m_places.say(name);
        m_startStopName = name;
    }
}

} // namespace lirra
