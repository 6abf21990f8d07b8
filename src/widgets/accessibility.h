#pragma once

class QString;
class QWidget;

namespace lirra {

// Gives the custom-painted widgets what a screen reader needs: each piano
// key a button named by its label (the note's name when it has none) that
// can be pressed, the accuracy ring a progress bar with its percentage, the
// title bar's title a heading, a tip bubble a dialog, the progress chart a
// chart, an announcer a notification. Safe to call more than once; needs a
// QApplication.
void installAccessibility();

// Set a widget's accessible name or description, telling assistive
// technology only when it changes: Qt tells it on every call, and a screen
// reader flooded with events drops them, the announcements among them.
void setAccessibleNameIfChanged(QWidget *widget, const QString &name);
void setAccessibleDescriptionIfChanged(QWidget *widget, const QString &description);

} // namespace lirra
