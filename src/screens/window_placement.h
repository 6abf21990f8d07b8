#pragma once

#include "model/error.h"

#include <QList>
#include <QRect>
#include <QString>

#include <optional>

class QWidget;

namespace lirra {

// Where the window was and how large, kept from one run to the next in a
// small JSON file ({"x": …, "y": …, "width": …, "height": …, "maximized": …}).
struct WindowPlacement {
    QRect geometry; // the normal (not maximised) frame's contents
    bool maximized = false;

    friend bool operator==(const WindowPlacement &, const WindowPlacement &) = default;
};

// The placement in the file; nothing when it is missing, damaged, too large
// or not a regular file (it is never waited for).
std::optional<WindowPlacement> readWindowPlacement(const QString &path);
// Replaces the file, all or nothing; its folder is made if need be.
Result<void> writeWindowPlacement(const QString &path, const WindowPlacement &placement);

// The placement made to fit the screens there are now: at least `minimum`
// and at most the screen's size, wholly on the screen it was mostly on (the
// first one when it is on none).
QRect fittedGeometry(const QRect &saved, const QSize &minimum, const QList<QRect> &screens);

// The window's placement now, and the window put back where one said.
WindowPlacement placementOf(const QWidget *window);
void restorePlacement(QWidget *window, const WindowPlacement &placement);

} // namespace lirra
