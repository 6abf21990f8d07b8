#pragma once

namespace lirra {

// Gives the custom-painted widgets what a screen reader needs: each piano
// key a button named by its label (the note's name when it has none) that
// can be pressed, the accuracy ring a progress bar with its percentage, the
// title bar's title a heading, a tip bubble a dialog, the progress chart a
// chart, an announcer a notification. Safe to call more than once; needs a
// QApplication.
void installAccessibility();

} // namespace lirra
