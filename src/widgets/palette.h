#pragma once

#include "core/palette_color.h"

#include <QColor>
#include <QFont>

namespace lirra {

// The five text styles every label uses.
enum class TextStyle {
    whiteKeyLabel, // 17, medium
    body,          // 15, regular: title bar title, score label
    tipMessage,    // 13, regular
    emphasis,      // 13, semibold: accuracy ring percentage, tip title
    blackKeyLabel, // 11, bold
};

// Resolves a palette name to its colour in the app's dark palette.
QColor color(PaletteColor name);

// The application's default family at the style's size and weight; sizes are
// in device-independent pixels.
QFont textFont(TextStyle style);

// Each of red, green and blue moved by `amount` (darken: negative), clamped.
QColor shifted(const QColor &color, double amount);

// WCAG 2.1: the relative luminance of the colour, and the contrast ratio
// of two colours, from 1 to 21.
double relativeLuminance(const QColor &color);
double contrastRatio(const QColor &a, const QColor &b);
// Text that reads on the background: at least 4.5:1 when any can.
QColor readableOn(const QColor &background);

} // namespace lirra
