#pragma once

#include "core/screen_states.h"

#include <QWidget>

#include <functional>
#include <optional>

namespace lirra {

class KeyboardView;

struct MainScreenDelegate {
    std::function<void(Note)> didPressNote;
    std::function<void(Note)> didReleaseNote;
    std::function<void()> didDismissTip;
};

// The practice screen: a two-octave keyboard showing the level's notes with
// their scale degrees, the highlighted key and the keyboard's tour tip.
class MainScreen final : public QWidget {
    Q_OBJECT
public:
    explicit MainScreen(QWidget *parent = nullptr);

    KeyboardView *keyboardView() const { return m_keyboard; }
    const std::optional<MainScreenState> &state() const { return m_state; }
    // Applies only what changed since the previous state.
    void setState(const std::optional<MainScreenState> &state);

    std::optional<MainScreenDelegate> delegate;

private:
    KeyboardView *m_keyboard;
    std::optional<MainScreenState> m_state;
};

} // namespace lirra
