#pragma once

namespace lirra {

// A named entry of the app's palette. The core speaks only in these names;
// the widgets resolve them to real colours.
enum class PaletteColor {
    // asset colours
    amber,
    darkAmber,
    buttonForeground,
    dark,
    keyBed,
    tooltip,
    tooltipText,
    // a label on a white key
    keyLabel,
    // the outline of what has the keyboard focus
    focus,
    // system colours
    green,
    red,
    teal,
    orange,
    yellow,
    cyan,
    blue,
    pink,
    purple,
    mint,
    brown,
    indigo,
    lightGray,
    white,
    black,
};

} // namespace lirra
