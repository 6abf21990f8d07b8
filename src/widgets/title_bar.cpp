#include "title_bar.h"

#include "control.h"
#include "model/localization.h"
#include "palette.h"

#include <QPainter>

namespace lirra {

TitleBar::TitleBar(QWidget *parent)
    : QWidget(parent)
    , m_cancel(Button::secondary(localized("cancel"), this))
    , m_label(new Heading(this))
    , m_done(Button::primary(localized("done"), this))
{
    QPointer<TitleBar> self(this);
    m_cancel->addAction(std::make_shared<Action>([self](Action &) {
                            if (self && self->delegate && self->delegate->didPressCancelButton)
                                self->delegate->didPressCancelButton();
                        }),
                        Control::Event::released);
    m_done->addAction(std::make_shared<Action>([self](Action &) {
                          if (self && self->delegate && self->delegate->didPressDoneButton)
                              self->delegate->didPressDoneButton();
                      }),
                      Control::Event::released);
    m_label->setFont(textFont(TextStyle::body));
    QPalette text = m_label->palette();
    text.setColor(QPalette::WindowText, color(PaletteColor::buttonForeground));
    m_label->setPalette(text);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setElided(true);
    // What the flags say is what the buttons show, from the start.
    m_done->pushButton()->setEnabled(m_doneEnabled);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_done->setObjectName(QStringLiteral("doneButton"));
    // Tab reaches both, before the screen's keys; Space or Return presses
    // the one focused.
    takeKeyboardFocus(m_cancel->pushButton());
    takeKeyboardFocus(m_done->pushButton());
    setTabOrder(m_cancel->pushButton(), m_done->pushButton());
}

void TitleBar::setTitle(const std::optional<QString> &title)
{
    if (title == m_title)
        return;
    m_title = title;
    m_label->setText(title.value_or(QString()));
    relayout();
}

void TitleBar::setCancelButtonHidden(bool hidden)
{
    m_cancelHidden = hidden;
    m_cancel->setVisible(!hidden);
}

void TitleBar::setDoneButtonHidden(bool hidden)
{
    m_doneHidden = hidden;
    m_done->setVisible(!hidden);
}

void TitleBar::setDoneButtonEnabled(bool enabled)
{
    if (m_doneEnabled == enabled)
        return;
    m_doneEnabled = enabled;
    m_done->pushButton()->setEnabled(enabled);
    emit doneButtonEnabledChanged(enabled);
}

void TitleBar::setDoneButtonTitle(const QString &title)
{
    retitle(m_done, title);
}

void TitleBar::setCancelButtonTitle(const QString &title)
{
    retitle(m_cancel, title);
}

void TitleBar::retitle(Button *button, const QString &title)
{
    if (button->pushButton()->text() == title)
        return;
    button->pushButton()->setText(title);
    button->pushButton()->adjustSize();
    button->adjustSize();
    relayout();
}

void TitleBar::resizeEvent(QResizeEvent *)
{
    relayout();
}

void TitleBar::relayout()
{
    const QSize cancel = m_cancel->sizeHint();
    const QSize done = m_done->sizeHint();
    m_cancel->setGeometry(24, (height() - cancel.height()) / 2, cancel.width(), cancel.height());
    m_done->setGeometry(width() - 24 - done.width(), (height() - done.height()) / 2, done.width(), done.height());
    // Centred, but never closer than 24 pixels to either button.
    const int room = std::max(0, std::min(width() / 2 - (24 + cancel.width() + 24),
                                          width() / 2 - (24 + done.width() + 24)));
    const int wanted = m_label->sizeHint().width();
    const int labelWidth = std::min(wanted, 2 * room);
    const int labelHeight = m_label->sizeHint().height();
    m_label->setGeometry((width() - labelWidth) / 2, (height() - labelHeight) / 2, labelWidth, labelHeight);
}

void TitleBar::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), Qt::black);
}

} // namespace lirra
