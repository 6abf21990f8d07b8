#include "control.h"

#include "accessibility.h"
#include "palette.h"

#include <QAbstractButton>

#include <algorithm>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

namespace lirra {

namespace {
constexpr const char *acceptsInteractionProperty = "acceptsInteraction";


class PressKeys final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress && type != QEvent::KeyRelease)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() != Qt::NoModifier)
            return false;
        // The arrows, Home and End are the level's keys (their shortcuts go
        // first where they are on); where they are off (in a session) they
        // do nothing, never move the focus to another button, where the next
        // Space would go.
        if (!isPressKey(key->key())) {
            static const std::initializer_list<int> walking = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,
                                                               Qt::Key_Down, Qt::Key_Home, Qt::Key_End};
            const bool walks = std::find(walking.begin(), walking.end(), key->key()) != walking.end();
            return walks && type == QEvent::KeyPress;
        }
        key->accept();
        if (type == QEvent::ShortcutOverride || key->isAutoRepeat())
            return true;
        if (auto *button = qobject_cast<QAbstractButton *>(watched)) {
            if (type == QEvent::KeyPress)
                button->click();
        } else if (auto *control = qobject_cast<Control *>(watched)) {
            if (type == QEvent::KeyPress)
                control->press();
            else
                control->release();
        }
        return true;
    }
};
} // namespace

bool isPressKey(int key)
{
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

void takeKeyboardFocus(QWidget *control)
{
    static PressKeys *filter = new PressKeys(qApp);
    control->setFocusPolicy(Qt::TabFocus);
    control->installEventFilter(filter);
}

bool acceptsInteraction(const QWidget *widget)
{
    const QVariant value = widget->property(acceptsInteractionProperty);
    return !value.isValid() || value.toBool();
}

void setAcceptsInteraction(QWidget *widget, bool accepts)
{
    widget->setProperty(acceptsInteractionProperty, accepts);
}

Control::Control(QWidget *parent)
    : QWidget(parent)
{
}

void Control::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
}

void Control::addAction(std::shared_ptr<Action> action, Event event)
{
    m_actions[event] = std::move(action);
}

void Control::sendAction(Event event)
{
    const auto it = m_actions.find(event);
    if (it == m_actions.end() || !it->second)
        return;
    // The action may replace itself or end this control's life.
    const std::shared_ptr<Action> action = it->second;
    action->perform();
}

bool Control::press()
{
    if (!isEnabled())
        return false;
    m_pressed = true;
    update();
    sendAction(Event::pressed);
    return true;
}

bool Control::release()
{
    if (!isEnabled() || !m_pressed)
        return false;
    m_pressed = false;
    update();
    sendAction(Event::released);
    return true;
}

bool Control::beginTracking(QMouseEvent *)
{
    return true;
}

void Control::endTracking(QMouseEvent *) {}

void Control::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    if (!beginTracking(event))
        return;
    m_pressed = true;
    update();
    sendAction(Event::pressed);
}

void Control::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    m_pressed = false;
    update();
    endTracking(event);
    sendAction(Event::released);
}

void Control::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled())
            m_pressed = false;
        update();
    }
    QWidget::changeEvent(event);
}

Button::Button(const QString &title, bool primary, QWidget *parent)
    : Control(parent)
    , m_button(new QPushButton(title, this))
{
    const QColor fill = primary ? color(PaletteColor::amber) : QColor(0x48, 0x48, 0x4c);
    const QColor text = primary ? color(PaletteColor::dark) : color(PaletteColor::buttonForeground);
    m_button->setFont(textFont(TextStyle::tipMessage));
    m_button->setCursor(Qt::PointingHandCursor);
    // Keys reach the window's shortcuts, never a button that happens to
    // have been clicked last.
    m_button->setFocusPolicy(Qt::NoFocus);
    // Reached by Tab where a screen makes it a Tab stop: the focus then
    // shows as the outline every focused control has.
    m_button->setStyleSheet(QStringLiteral(
        "QPushButton { background: %1; color: %2; border: 2px solid transparent; border-radius: 6px; padding: 2px 10px; }"
        "QPushButton:pressed { background: %3; }"
        "QPushButton:disabled { background: %4; color: %5; }"
        "QPushButton:focus { border: 2px solid %6; }")
        .arg(fill.name(), text.name(), fill.darker(125).name(), QColor(0x3a, 0x3a, 0x3c).name(),
             QColor(0x8e, 0x8e, 0x93).name(), color(PaletteColor::focus).name()));
    m_button->adjustSize();
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_button);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_button, &QPushButton::clicked, this, &Button::performAction);
}

Button *Button::primary(const QString &title, QWidget *parent)
{
    return new Button(title, true, parent);
}

Button *Button::secondary(const QString &title, QWidget *parent)
{
    return new Button(title, false, parent);
}

void Button::addAction(std::shared_ptr<Action> action, Event)
{
    m_primaryAction = std::move(action);
}

void Button::performAction()
{
    if (const std::shared_ptr<Action> action = m_primaryAction)
        action->perform();
}

QSize Button::sizeHint() const
{
    return m_button->sizeHint();
}

namespace {
void makePlain(QLabel *label)
{
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAutoFillBackground(false);
    label->setFocusPolicy(Qt::NoFocus);
}

QString elidedText(const QLabel *label, bool elided)
{
    if (!elided || label->wordWrap())
        return label->text();
    return label->fontMetrics().elidedText(label->text(), Qt::ElideRight, label->contentsRect().width());
}

// Draws the label as QLabel would, with its text elided.
void paintElided(QLabel *label)
{
    QPainter painter(label);
    label->style()->drawItemText(&painter, label->contentsRect(), int(QStyle::visualAlignment(label->layoutDirection(), label->alignment())),
                                 label->palette(), label->isEnabled(), elidedText(label, true), label->foregroundRole());
}
} // namespace

void ElidingLabel::setElided(bool elided)
{
    m_elided = elided;
    update();
}

QString ElidingLabel::shownText() const
{
    return elidedText(this, m_elided);
}

void ElidingLabel::paintEvent(QPaintEvent *event)
{
    if (m_elided && !wordWrap())
        paintElided(this);
    else
        QLabel::paintEvent(event);
}

Label::Label(QWidget *parent)
    : ElidingLabel(parent)
{
    makePlain(this);
}

Heading::Heading(QWidget *parent)
    : ElidingLabel(parent)
{
    installAccessibility();
    makePlain(this);
}

} // namespace lirra
