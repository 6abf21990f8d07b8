#include "key_label.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace lirra {

namespace {

constexpr int smallestPixels = 8;

QStringList splitLines(const QString &text, bool stackAlternatives)
{
    QStringList lines;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (stackAlternatives)
            lines += line.split(QStringLiteral(" / "), Qt::SkipEmptyParts);
        else
            lines += line;
    }
    for (QString &line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    return lines;
}

double widest(const QStringList &lines, const QFontMetricsF &metrics)
{
    double result = 0;
    for (const QString &line : lines)
        result = std::max(result, metrics.horizontalAdvance(line));
    return result;
}

} // namespace

KeyLabelLayout layoutKeyLabel(const QString &text, QSizeF box, QFont font, bool stackAlternatives)
{
    KeyLabelLayout layout;
    layout.lines = splitLines(text, stackAlternatives);
    const int start = std::max(font.pixelSize(), smallestPixels);
    const auto fits = [&](const QStringList &lines, int pixels) {
        font.setPixelSize(pixels);
        const QFontMetricsF metrics(font);
        return widest(lines, metrics) <= box.width() && metrics.height() * double(lines.size()) <= box.height();
    };
    int pixels = start;
    while (pixels > smallestPixels && !fits(layout.lines, pixels))
        --pixels;
    if (!fits(layout.lines, pixels)) {
        // Too long for the key even small: the lines too wide go one word
        // to a line, at the size that fits them all.
        font.setPixelSize(smallestPixels);
        const QFontMetricsF metrics(font);
        QStringList broken;
        for (const QString &line : std::as_const(layout.lines)) {
            if (metrics.horizontalAdvance(line) > box.width())
                broken += line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            else
                broken += line;
        }
        layout.lines = broken;
        pixels = start;
        while (pixels > smallestPixels && !fits(layout.lines, pixels))
            --pixels;
    }
    font.setPixelSize(pixels);
    layout.font = font;
    layout.lineHeight = QFontMetricsF(font).height();
    return layout;
}

double drawKeyLabel(QPainter &painter, const QRectF &box, const KeyLabelLayout &layout)
{
    if (layout.lines.isEmpty())
        return box.bottom();
    painter.setFont(layout.font);
    double top = box.bottom() - layout.height();
    const double textTop = top;
    for (const QString &line : layout.lines) {
        painter.drawText(QRectF(box.left(), top, box.width(), layout.lineHeight),
                         int(Qt::AlignHCenter | Qt::AlignVCenter) | Qt::TextDontClip, line);
        top += layout.lineHeight;
    }
    return textTop;
}

int keyLabelPixels(double keySize, double perPixel, int smallest, int largest)
{
    return std::clamp(int(std::lround(keySize * perPixel)), smallest, largest);
}

} // namespace lirra
