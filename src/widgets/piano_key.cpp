#include "piano_key.h"

#include "key_label.h"
#include "palette.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace lirra {

namespace {

// A rectangle whose two bottom corners are rounded.
QPainterPath roundedBottom(const QRectF &r, double radius)
{
    const double k = std::min({radius, r.width() / 2, r.height() / 2});
    QPainterPath path;
    if (r.width() <= 0 || r.height() <= 0)
        return path;
    path.moveTo(r.topLeft());
    path.lineTo(r.topRight());
    path.lineTo(r.right(), r.bottom() - k);
    path.quadTo(r.bottomRight(), QPointF(r.right() - k, r.bottom()));
    path.lineTo(r.left() + k, r.bottom());
    path.quadTo(r.bottomLeft(), QPointF(r.left(), r.bottom() - k));
    path.closeSubpath();
    return path;
}

} // namespace

Key::Key(NoteName name, QColor defaultLabelColor, QWidget *parent)
    : Control(parent)
    , m_name(name)
    , m_defaultLabelColor(defaultLabelColor)
    , m_labelColor(defaultLabelColor)
{
}

void Key::setText(const std::optional<QString> &text)
{
    if (m_text == text)
        return;
    m_text = text;
    update();
}

void Key::setTint(const std::optional<QColor> &tint)
{
    m_tint = tint;
    if (tint) {
        applyFill(*tint, 1);
        return;
    }
    m_fill.reset();
    m_fraction = 0;
    m_labelColor = m_defaultLabelColor;
    update();
}

void Key::setTint(const QColor &tint, double fraction)
{
    applyFill(tint, fraction);
}

void Key::applyFill(const QColor &tint, double fraction)
{
    m_fill = tint;
    m_fraction = std::clamp(fraction, 0.0, 1.0);
    if (m_fraction >= 0.1)
        m_labelColor = readableOn(tint);
    update();
}

void Key::setMark(KeyMark mark)
{
    if (m_mark == mark)
        return;
    m_mark = mark;
    update();
}

void Key::setSelected(bool selected)
{
    Control::setSelected(selected);
    update();
}

double Key::drawLabel(QPainter &painter, const QRectF &box, const QFont &baseFont, bool stackAlternatives) const
{
    if (!m_text || m_text->isEmpty() || box.width() <= 0 || box.height() <= 0)
        return box.bottom();
    const KeyLabelLayout layout = layoutKeyLabel(*m_text, box.size(), baseFont, stackAlternatives);
    painter.setPen(m_labelColor);
    return drawKeyLabel(painter, box, layout);
}

WhiteKey::WhiteKey(NoteName name, QWidget *parent)
    : Key(name, color(PaletteColor::keyLabel), parent)
{
}

QRectF WhiteKey::labelBox() const
{
    const QRectF surface = keySurface();
    const double top = height() * blackKeyShare + 6;
    return QRectF(surface.left() + 4, top, surface.width() - 8, surface.bottom() - 8 - top);
}

QRectF WhiteKey::keySurface() const
{
    const double inset = isPressed() ? 2 : 1;
    return QRectF(inset, 0, width() - 2 * inset, height() - 2);
}

void WhiteKey::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(roundedBottom(rect(), 12), color(PaletteColor::keyBed));
    const QRectF surface = keySurface();
    const QPainterPath surfacePath = roundedBottom(surface, 12);
    painter.fillPath(surfacePath, isEnabled() ? QColor(Qt::white) : QColor(255, 255, 255, 51));
    if (fillColor() && fillFraction() > 0) {
        const double h = surface.height() * fillFraction();
        QPainterPath fill;
        fill.addRect(QRectF(surface.left(), surface.bottom() - h, surface.width(), h));
        painter.fillPath(surfacePath.intersected(fill), *fillColor());
    }
    QFont font = textFont(TextStyle::whiteKeyLabel);
    font.setPixelSize(keyLabelPixels(std::max(surface.width(), surface.height() * 0.25), 0.17, 13, 26));
    const QRectF box = labelBox();
    const double textTop = drawLabel(painter, box, font, false);
    // Above the label, below where the black keys reach.
    const double markSide = std::min(28.0, surface.width() - 8);
    const double markTop = std::max(box.top(), std::min(textTop, box.bottom() - 30) - 6 - markSide);
    drawKeyMark(painter, QRectF(surface.center().x() - markSide / 2, markTop, markSide, markSide), mark(), labelColor());
    if (hasFocus())
        drawKeyFocus(painter, surface);
}

void WhiteKey::showTip(const Tip &tip)
{
    removeTip();
    QPointer<WhiteKey> self(this);
    m_tipView = TipPresenter::present(TipView::Edge::leftBottom, tip.title, tip.message,
                                      TipView::TipViewAction{tip.actionTitle, [self]() {
                                          if (!self || !self->m_tipView)
                                              return;
                                          self->removeTip();
                                          self->sendAction(Event::tipDismissed);
                                      }},
                                      this);
}

void WhiteKey::removeTip()
{
    TipPresenter::remove(m_tipView);
}

BlackKey::BlackKey(NoteName name, QWidget *parent)
    : Key(name, QColor(Qt::white), parent)
{
}

QRectF BlackKey::keySurface() const
{
    return QRectF(8, 0, width() - 16, height() - (isPressed() ? 16 : 24));
}

bool BlackKey::isBevelFillVisible() const
{
    return fillColor() && fillFraction() > 0;
}

void BlackKey::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor keyBed = color(PaletteColor::keyBed);
    const QColor dark = color(PaletteColor::dark);
    const QPainterPath bevel = roundedBottom(rect(), 12);
    painter.fillPath(bevel, isEnabled() ? shifted(keyBed, -0.3) : shifted(keyBed, 0.1));
    const QRectF surface = keySurface();
    const QPainterPath surfacePath = roundedBottom(surface, 12);
    painter.fillPath(surfacePath, isEnabled() ? dark : shifted(dark, 0.1));
    if (fillColor()) {
        const double h = surface.height() * fillFraction();
        const double top = surface.bottom() - h;
        if (isBevelFillVisible()) {
            QPainterPath below;
            below.addRect(QRectF(0, top, width(), height() - top));
            painter.fillPath(bevel.intersected(below), shifted(*fillColor(), -0.4));
        }
        QPainterPath fill;
        fill.addRect(QRectF(surface.left(), top, surface.width(), h));
        painter.fillPath(surfacePath.intersected(fill), *fillColor());
    }
    const double markSide = std::min(22.0, surface.width() - 4);
    // Level, the names of a black key one above the other; the text may
    // reach over the bevel on narrow keys.
    QFont font = textFont(TextStyle::blackKeyLabel);
    font.setPixelSize(keyLabelPixels(std::max(double(width()), height() * 0.12), 0.3, 11, 22));
    const double top = surface.top() + 10 + markSide + 4;
    drawLabel(painter, QRectF(3, top, width() - 6, surface.bottom() - 8 - top), font, true);
    drawKeyMark(painter, QRectF(surface.center().x() - markSide / 2, surface.top() + 10, markSide, markSide), mark(),
                labelColor());
    if (hasFocus())
        drawKeyFocus(painter, surface);
}

} // namespace lirra
