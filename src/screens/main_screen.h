#pragma once

#include "core/screen_states.h"

#include <QWidget>

#include <functional>
#include <optional>

class QLabel;

namespace lirra {

class KeyboardView;
class MelodySlotsView;
class SaveLevelBar;

struct MainScreenDelegate {
    std::function<void(Note)> didPressNote;
    std::function<void(Note)> didReleaseNote;
    std::function<void()> didDismissTip;
    std::function<void()> didPressSaveLevel = {};
    std::function<void()> didDeclineSavingLevel = {};
};

// The practice screen: a two-octave keyboard showing the level's notes with
// their scale degrees, the highlighted key and the keyboard's tour tip;
// above it, after a session of an unsaved narrowing, the offer to keep it.
class MainScreen final : public QWidget {
    Q_OBJECT
public:
    explicit MainScreen(QWidget *parent = nullptr);

    KeyboardView *keyboardView() const { return m_keyboard; }
    // The offer to keep a stopped narrowing, once it was first made.
    SaveLevelBar *saveLevelBar() const { return m_offer; }
    // What is heard between questions, or what the last session came to;
    // null until first needed.
    QLabel *captionLabel() const { return m_caption; }
    // The slots of the melody asked; null until a melody was first asked.
    MelodySlotsView *melodySlots() const { return m_slots; }
    const std::optional<MainScreenState> &state() const { return m_state; }
    // Applies only what changed since the previous state.
    void setState(const std::optional<MainScreenState> &state);

    std::optional<MainScreenDelegate> delegate;

private:
    KeyboardView *m_keyboard;
    SaveLevelBar *m_offer = nullptr;
    QLabel *m_caption = nullptr;
    MelodySlotsView *m_slots = nullptr;
    std::optional<MainScreenState> m_state;
};

} // namespace lirra
