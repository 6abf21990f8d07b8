#include "tip_view.h"

#include "accessibility.h"
#include "control.h"
#include "palette.h"

#include <QFontMetricsF>
#include <QGraphicsDropShadowEffect>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace lirra {

TipView::TipView(Edge edge, QString title, QString message, TipViewAction action, QWidget *parent)
    : QWidget(parent)
    , m_edge(edge)
    , m_title(std::move(title))
    , m_message(std::move(message))
    , m_action(std::move(action))
    , m_button(Button::primary(m_action.title, this))
{
    installAccessibility();
    QPointer<TipView> self(this);
    m_button->addAction(std::make_shared<Action>([self](Action &) {
                            if (self && self->m_action.perform)
                                self->m_action.perform();
                        }),
                        Control::Event::released);
    auto *shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(QColor(0, 0, 0, 38));
    shadow->setBlurRadius(20);
    shadow->setOffset(0, 3);
    setGraphicsEffect(shadow);
    relayout();
}

void TipView::setSecondaryAction(TipViewAction action)
{
    delete m_secondary;
    m_secondary = nullptr;
    m_secondaryAction = std::move(action);
    if (!m_secondaryAction.title.isEmpty()) {
        m_secondary = Button::secondary(m_secondaryAction.title, this);
        QPointer<TipView> self(this);
        m_secondary->addAction(std::make_shared<Action>([self](Action &) {
                                   if (self && self->m_secondaryAction.perform)
                                       self->m_secondaryAction.perform();
                               }),
                               Control::Event::released);
        m_secondary->show();
    }
    relayout();
}

void TipView::setMaxWidth(double width)
{
    m_maxWidth = width;
    m_labelMaxWidth = TipPresenter::labelLimit(width);
    relayout();
}

TipView::Layout TipView::layout() const
{
    const QFontMetricsF messageMetrics(textFont(TextStyle::tipMessage));
    const QFontMetricsF titleMetrics(textFont(TextStyle::emphasis));
    Layout l{};
    const double natural = std::ceil(messageMetrics.horizontalAdvance(m_message)) + 1;
    l.messageWidth = std::max(32.0, std::min(natural, m_labelMaxWidth));
    l.messageHeight = std::ceil(
        messageMetrics.boundingRect(QRectF(0, 0, l.messageWidth, 1e6), Qt::TextWordWrap, m_message).height());
    l.titleHeight = std::ceil(titleMetrics.height());
    const double titleWidth = std::ceil(titleMetrics.horizontalAdvance(m_title)) + 1;
    const QSizeF buttonSize = m_button->sizeHint();
    const QSizeF secondarySize = m_secondary ? QSizeF(m_secondary->sizeHint()) : QSizeF(-8, 0);
    const double buttonsWidth = buttonSize.width() + 8 + secondarySize.width();

    const double bubbleWidth = std::max({l.messageWidth, titleWidth, buttonsWidth}) + 32;
    double bubbleTop = 0;
    double caretX = 0; // leading edge of the 12 × 12 caret
    switch (m_edge) {
    case Edge::topLeft: caretX = 16; break;
    case Edge::topCenter: caretX = (l.messageWidth + 32) / 2 - 6; break;
    case Edge::topRight: caretX = bubbleWidth - 16 - 12; break;
    case Edge::leftBottom: caretX = -6; break;
    }
    if (m_edge != Edge::leftBottom)
        bubbleTop = 3 + 12 - 6; // caret top + caret height - overlap

    l.title = QRectF(16, bubbleTop + 16, bubbleWidth - 32, l.titleHeight);
    l.message = QRectF(16, l.title.bottom() + 8, l.messageWidth, l.messageHeight);
    l.button = QRectF(QPointF(bubbleWidth - 16 - buttonSize.width(), l.message.bottom() + 8), buttonSize);
    if (m_secondary)
        l.secondary = QRectF(QPointF(16, l.button.top() + (buttonSize.height() - secondarySize.height()) / 2), secondarySize);
    l.bubble = QRectF(0, bubbleTop, bubbleWidth, l.button.bottom() + 8 - bubbleTop);
    l.caret = m_edge == Edge::leftBottom ? QPointF(caretX + 6, l.bubble.bottom() - 16 - 6) : QPointF(caretX + 6, 3 + 6);
    return l;
}

void TipView::relayout()
{
    const Layout l = layout();
    const QRectF local = l.bubble.united(QRectF(l.caret - QPointF(9, 9), QSizeF(18, 18)));
    const QRect geometry = QRectF(m_origin + local.topLeft() - QPointF(margin, margin),
                                  local.size() + QSizeF(2 * margin, 2 * margin))
                               .toAlignedRect();
    setGeometry(geometry);
    const QPointF frameInWidget = m_origin - QPointF(geometry.topLeft());
    m_button->setGeometry(l.button.translated(frameInWidget).toRect());
    if (m_secondary)
        m_secondary->setGeometry(l.secondary.translated(frameInWidget).toRect());
    update();
}

QSizeF TipView::intrinsicSize() const
{
    const Layout l = layout();
    return {l.messageWidth + 32, l.messageHeight + 41};
}

void TipView::setFrameOrigin(QPointF origin)
{
    m_origin = origin;
    relayout();
}

QRectF TipView::frame() const
{
    return QRectF(m_origin, intrinsicSize());
}

QRectF TipView::bubbleRect() const
{
    return layout().bubble.translated(m_origin);
}

void TipView::paintEvent(QPaintEvent *)
{
    const Layout l = layout();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(m_origin - QPointF(geometry().topLeft()));
    const QColor fill = color(PaletteColor::tooltip);

    painter.save();
    painter.translate(l.caret);
    painter.rotate(45);
    QPainterPath caret;
    if (m_edge == Edge::leftBottom)
        caret.addRoundedRect(QRectF(-6, -6, 12, 12), 4, 4);
    else
        caret.addRect(QRectF(-6, -6, 12, 12));
    painter.fillPath(caret, fill);
    painter.restore();

    QPainterPath bubble;
    bubble.addRoundedRect(l.bubble, 8, 8);
    painter.fillPath(bubble, fill);

    painter.setPen(color(PaletteColor::tooltipText));
    painter.setFont(textFont(TextStyle::emphasis));
    painter.drawText(l.title, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     QFontMetricsF(textFont(TextStyle::emphasis)).elidedText(m_title, Qt::ElideRight, l.title.width()));
    painter.setFont(textFont(TextStyle::tipMessage));
    painter.drawText(l.message, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_message);
}

void TipPresenter::remove(QPointer<TipView> &view)
{
    if (view) {
        view->hide();
        view->deleteLater();
    }
    view = nullptr;
}

double TipPresenter::availableWidth(TipView::Edge edge, const QRectF &anchor, const QRectF &content)
{
    const double centre = anchor.center().x();
    switch (edge) {
    case TipView::Edge::topLeft:
        return content.width() - centre;
    case TipView::Edge::topRight:
        return content.width() - (content.right() - centre);
    case TipView::Edge::topCenter:
    case TipView::Edge::leftBottom:
        break;
    }
    const double d = centre <= content.center().x() ? centre : content.right() - centre;
    return 2 * (d - 16);
}

double TipPresenter::labelLimit(double availableWidth)
{
    return availableWidth > 256 ? 224 : std::max(32.0, availableWidth - 32);
}

namespace {

TipView::TipViewAction &secondaryAction()
{
    static TipView::TipViewAction action;
    return action;
}

} // namespace

void TipPresenter::setSecondaryAction(TipView::TipViewAction action)
{
    secondaryAction() = std::move(action);
}

TipView *TipPresenter::present(TipView::Edge edge, const QString &title, const QString &message,
                               TipView::TipViewAction action, QWidget *anchor, const QRectF &area)
{
    QWidget *content = anchor ? anchor->window() : nullptr;
    if (!content || content == anchor)
        return nullptr;
    const QRectF local = area.isNull() ? QRectF(anchor->rect()) : area;
    const QRectF r = local.translated(QPointF(anchor->mapTo(content, QPoint(0, 0))));

    auto *tip = new TipView(edge, title, message, std::move(action), content);
    if (!secondaryAction().title.isEmpty())
        tip->setSecondaryAction(secondaryAction());
    tip->setMaxWidth(availableWidth(edge, r, QRectF(content->rect())));
    setAcceptsInteraction(tip, true);

    const QSizeF size = tip->intrinsicSize();
    QPointF origin;
    switch (edge) {
    case TipView::Edge::topLeft: origin = {r.center().x() - 22, r.bottom() + 8}; break;
    case TipView::Edge::topCenter: origin = {r.center().x() - size.width() / 2, r.bottom() + 8}; break;
    case TipView::Edge::topRight: origin = {r.center().x() - size.width() + 22, r.bottom() + 8}; break;
    case TipView::Edge::leftBottom: origin = {r.right() + 16, r.bottom() - (size.height() + 64)}; break;
    }
    tip->setFrameOrigin(origin);
    tip->raise();
    tip->show();
    return tip;
}

} // namespace lirra
