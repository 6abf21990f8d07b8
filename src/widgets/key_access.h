#pragma once

#include <QObject>
#include <QRectF>

#include <vector>

class QPainter;

namespace lirra {

class Key;
class KeyboardView;

// What a key shows besides its tint, so that right and wrong are not told
// by colour alone.
enum class KeyMark { none, right, wrong };

// Draws the mark centred in `box`, in the key's label colour, which is
// readable on its tint.
void drawKeyMark(QPainter &painter, const QRectF &box, KeyMark mark, const QColor &color);
// The outline of a key that has the keyboard focus, inside `surface`.
void drawKeyFocus(QPainter &painter, const QRectF &surface);

// Brings the keys within reach of the computer keyboard: one key at a time
// is in the Tab order (the last one focused, or the first enabled one);
// with a key focused, ← and → move to the neighbouring enabled
// key and Space or Return presses it as a click would. Those keys are
// taken before the window's shortcuts, so the arrows move the focus rather
// than change the level while a key has it. Clicks never give a key focus.
class KeyFocus final : public QObject {
    Q_OBJECT
public:
    explicit KeyFocus(KeyboardView *keyboard);

    // After keys were enabled or disabled: the Tab stop moves to an
    // enabled key when its own is not.
    void refresh();
    Key *tabStop() const { return m_tabStop; }
    // Whether Return plays the focused key as Space does; not on a screen
    // where Return means done.
    void setReturnPresses(bool presses) { m_returnPresses = presses; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Every key, lowest first.
    std::vector<Key *> keys() const;
    void setTabStop(Key *key);
    void move(Key *from, int step);

    // Whether the key plays the focused key.
    bool pressKey(int key) const;

    KeyboardView *m_keyboard;
    Key *m_tabStop = nullptr;
    bool m_returnPresses = true;
};

} // namespace lirra
