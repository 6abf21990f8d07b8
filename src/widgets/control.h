#pragma once

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>

class QMouseEvent;

namespace lirra {

// One callback, shared by whoever registered it. Owners are captured weakly.
class Action {
public:
    using Handler = std::function<void(Action &)>;
    explicit Action(Handler handler) : m_handler(std::move(handler)) {}
    void perform() { if (m_handler) m_handler(*this); }

private:
    Handler m_handler;
};

// Whether a widget takes part in hit testing; a widget that never had it set
// counts as taking part. Only the keyboard acts on its own flag.
bool acceptsInteraction(const QWidget *widget);
void setAcceptsInteraction(QWidget *widget, bool accepts);

// Space, Return and Enter: the keys that press whatever has the focus.
bool isPressKey(int key);

// Lets Tab reach the button or control and Space or Return press it, taking
// those keys before the window's shortcuts while it has the focus. A click
// still gives it no focus.
void takeKeyboardFocus(QWidget *control);

// The base of every clickable widget: turns a mouse press and its release
// into the `pressed` and `released` events and runs the action registered for
// each. A disabled control ignores both.
class Control : public QWidget {
    Q_OBJECT
public:
    enum class Event : quint64 { released = 1, pressed = 2, tipDismissed = 3 };

    explicit Control(QWidget *parent = nullptr);

    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected);
    // Between a press that tracking accepted and its release.
    bool isPressed() const { return m_pressed; }

    // Replaces any action registered for the same event.
    virtual void addAction(std::shared_ptr<Action> action, Event event);
    // Runs the action registered for exactly this event, if any.
    void sendAction(Event event);

    // A press and a release from elsewhere than the mouse (a MIDI or a
    // computer keyboard), with the press feedback of a click. A disabled
    // control ignores both; false when ignored.
    bool press();
    bool release();

protected:
    // Asked on every press of an enabled control; `pressed` runs only when it
    // answers true. Subclasses give their press feedback here.
    virtual bool beginTracking(QMouseEvent *event);
    // Called on every release of an enabled control, before `released` runs.
    virtual void endTracking(QMouseEvent *event);

    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool m_selected = false;
    bool m_pressed = false;
    std::map<Event, std::shared_ptr<Action>> m_actions;
};

// A push button with a title, in the primary (filled) or secondary emphasis.
class Button final : public Control {
    Q_OBJECT
public:
    static Button *primary(const QString &title, QWidget *parent = nullptr);
    static Button *secondary(const QString &title, QWidget *parent = nullptr);

    // Whatever the event, the action becomes the one a click runs.
    void addAction(std::shared_ptr<Action> action, Event event) override;
    void performAction();

    QPushButton *pushButton() const { return m_button; }
    QSize sizeHint() const override;

private:
    Button(const QString &title, bool primary, QWidget *parent);

    QPushButton *m_button;
    std::shared_ptr<Action> m_primaryAction;
};

// A label that may show a line too long for it cut with "…"; `text()` stays
// whole.
class ElidingLabel : public QLabel {
    Q_OBJECT
public:
    void setElided(bool elided);
    // The text as drawn at the label's present width.
    QString shownText() const;

protected:
    explicit ElidingLabel(QWidget *parent) : QLabel(parent) {}
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_elided = false;
};

// Text that cannot be edited or selected, on a transparent background.
class Label final : public ElidingLabel {
    Q_OBJECT
public:
    explicit Label(QWidget *parent = nullptr);
};

// A label that titles what is under it: a heading to a screen reader.
class Heading final : public ElidingLabel {
    Q_OBJECT
public:
    explicit Heading(QWidget *parent = nullptr);
};

} // namespace lirra
