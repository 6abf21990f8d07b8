#include "accuracy_ring.h"

#include "accessibility.h"

#include "palette.h"

#include <QLocale>
#include <QPainter>

#include <cmath>

namespace lirra {

PaletteColor accuracyColor(double accuracy)
{
    if (accuracy < 0.3)
        return PaletteColor::red;
    if (accuracy < 0.5)
        return PaletteColor::orange;
    if (accuracy < 0.8)
        return PaletteColor::amber;
    if (accuracy < 0.9)
        return PaletteColor::darkAmber;
    return PaletteColor::green;
}

QString percentText(float accuracy)
{
    // Halves round to even, as number formatters do.
    const double percent = std::nearbyint(double(accuracy) * 100.0);
    const QLocale locale;
    // French sets the sign off by a narrow no-break space, German by a
    // no-break space (the locales' own percent patterns).
    QString space;
    if (locale.language() == QLocale::French)
        space = QChar(0x202F);
    else if (locale.language() == QLocale::German)
        space = QChar(0x00A0);
    return locale.toString(qint64(percent)) + space + locale.percent();
}

AccuracyRing::AccuracyRing(QWidget *parent)
    : Control(parent)
{
    installAccessibility();
    setAccuracy(0);
}

void AccuracyRing::setAccuracy(float accuracy)
{
    m_accuracy = accuracy;
    m_hasAccuracy = true;
    m_text = percentText(accuracy);
    m_color = accuracyColor(accuracy);
    update();
}

void AccuracyRing::clearAccuracy()
{
    m_accuracy = 0;
    m_hasAccuracy = false;
    m_text = QStringLiteral("–");
    m_color = PaletteColor::lightGray;
    update();
}

void AccuracyRing::setStrokeWidth(double width)
{
    m_strokeWidth = width;
    update();
}

QSize AccuracyRing::sizeHint() const
{
    return {92, 32};
}

void AccuracyRing::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isPressed()) {
        const QPointF centre = QRectF(rect()).center();
        painter.translate(centre);
        painter.scale(0.9, 0.9);
        painter.translate(-centre);
    }
    const QColor drawing = isEnabled() ? color(m_color) : color(PaletteColor::lightGray);

    // The ring is a square at the left end; its stroke stays inside it.
    const double side = height();
    const double inset = m_strokeWidth / 2;
    const QRectF circle(inset, inset, side - 2 * inset, side - 2 * inset);
    QColor track = drawing;
    track.setAlphaF(0.5f);
    QPen pen(track, m_strokeWidth, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    painter.drawEllipse(circle);
    if (m_accuracy > 0) {
        pen.setColor(drawing);
        painter.setPen(pen);
        // From twelve o'clock, clockwise.
        const int sweep = int(std::lround(-double(m_accuracy) * 360.0 * 16.0));
        painter.drawArc(circle, 90 * 16, sweep);
    }

    painter.setPen(drawing);
    painter.setFont(textFont(TextStyle::emphasis));
    painter.drawText(QRectF(side + 8, 0, width() - side - 8, height()), Qt::AlignLeft | Qt::AlignVCenter, m_text);
    if (hasFocus()) {
        painter.setPen(QPen(color(PaletteColor::focus), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
    }
}

} // namespace lirra
