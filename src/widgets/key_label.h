#pragma once

#include <QFont>
#include <QRectF>
#include <QStringList>

class QPainter;

namespace lirra {

// A key's label laid out for its box: the lines to draw and the font that
// lets every one of them fit.
struct KeyLabelLayout {
    QFont font;
    QStringList lines;
    double lineHeight = 0;

    double height() const { return lineHeight * double(lines.size()); }
};

// Lays `text` out in `box`: one line per line of the text, and with
// `stackAlternatives` the names around " / " one under the other. The font
// starts at `font`'s pixel size and shrinks, not below 8 pixels, until every
// line fits the box; a line still too wide then breaks at its spaces.
KeyLabelLayout layoutKeyLabel(const QString &text, QSizeF box, QFont font, bool stackAlternatives);

// Draws the lines centred across `box` and against its bottom edge; returns
// the top of the text drawn.
double drawKeyLabel(QPainter &painter, const QRectF &box, const KeyLabelLayout &layout);

// The pixel size a label starts from on a key of size `keySize` (its width,
// or a share of its height when the piano is tall rather than wide): it grows
// with the key, between `smallest` and `largest`.
int keyLabelPixels(double keySize, double perPixel, int smallest, int largest);

} // namespace lirra
