#pragma once

#include "core/app_action.h"
#include "core/screen_states.h"
#include "input/computer_keyboard.h"

#include <QPointer>
#include <QToolBar>

#include <functional>
#include <map>

class QToolButton;

namespace lirra {

class AccuracyRing;
class Label;

// "Start session (Space)": a control's text with the first key of its command.
QString withShortcut(const QString &text, Command command);
// "Shortcut: Space", what a screen reader says after a control's name.
QString shortcutDescription(Command command);

// An icon with a greyed disabled mode, so that a disabled button looks
// disabled at any scale.
QIcon toolbarIcon(const QString &name);

// The practice controls above the keyboard: the level's name at the left,
// then level selection and navigation, the session's controls, the score and
// the accuracy ring at the right. No control moves when a session starts,
// when the score appears or grows, or in another language: the score keeps
// a reserved width and every button a fixed size.
class NavBar final : public QToolBar {
    Q_OBJECT
public:
    // Every click becomes the item's action, handed to `send`.
    explicit NavBar(std::function<void(AppAction)> send, QWidget *parent = nullptr);

    // The items by identifier ("firstLevelButton", "scoreLabel", "accuracyButton", …).
    QWidget *item(const QString &identifier) const;
    // What an item's shortcut does: the item's action, as a click would send it.
    void trigger(const QString &identifier);
    const std::map<QString, Command> &commands() const { return m_commands; }
    // The enabled state of each item, as the last state said.
    const std::map<QString, bool> &enabledItems() const { return m_enabled; }

    Label *subtitleLabel() const { return m_subtitleLabel; }
    Label *scoreLabel() const { return m_scoreLabel; }
    AccuracyRing *accuracyRing() const { return m_accuracyRing; }

    void setSubtitle(const QString &subtitle);
    void apply(const NavBarState &bar);

private:
    QToolButton *addButton(const QString &identifier, const char *tooltip, const QString &icon, Command command,
                           AppAction action);

    std::function<void(AppAction)> m_send;
    std::map<QString, QPointer<QWidget>> m_items;
    std::map<QString, Command> m_commands;
    std::map<QString, AppAction> m_actions;
    std::map<QString, bool> m_enabled;
    Label *m_subtitleLabel = nullptr;
    Label *m_scoreLabel = nullptr;
    AccuracyRing *m_accuracyRing = nullptr;
};

} // namespace lirra
