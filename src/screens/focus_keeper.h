#pragma once

// Where the keyboard focus is as the app changes under it: on Start a
// session when the app starts and when the tour ends; into a screen that
// opens over the keys and back where it was when it closes; on Start/Stop
// through the moment a stop disables it. A screen reader says where it is
// each time, and Space does what the focused control says.

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

namespace lirra {

class Announcer;
class KeyboardView;
struct AppState;

class FocusKeeper final : public QObject {
    Q_OBJECT
public:
    struct Places {
        QWidget *window = nullptr;
        std::function<QWidget *()> startStop;
        // The keyboard of a screen over the keys, when one is up.
        std::function<KeyboardView *()> overlayKeyboard;
        // What a screen over the keys is, said as it opens: its title, what
        // it shows.
        std::function<QString()> overlaySummary;
        // Says a sentence: Start turned into Stop under the focus (which Qt
        // 6.4 tells a screen reader without the new name), a screen opened.
        std::function<void(const QString &)> say;
    };

    explicit FocusKeeper(Places places, QObject *parent = nullptr);

    // Before the toolbar takes the state: Start/Stop, about to be disabled
    // with the focus on it, gives the focus to the window meanwhile.
    void beforeToolbar(const AppState &state, bool startStopEnabled);
    // After the screens and the toolbar show the state.
    void after(const AppState &state);

private:
    Places m_places;
    bool m_started = false;
    bool m_tipShown = false;
    bool m_overlay = false;
    bool m_startStopHadFocus = false;
    QString m_startStopName;
    QPointer<QWidget> m_beforeOverlay;
};

} // namespace lirra
