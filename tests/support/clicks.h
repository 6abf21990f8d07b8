#pragma once

#include <QTest>
#include <QWidget>
#include <QWindow>

namespace lirra::test {

// Mouse events through the window, so that Qt picks the widget under the
// point as it would for a user.
inline QPoint inWindow(QWidget *widget, QPointF point)
{
    return widget->mapTo(widget->window(), point.toPoint());
}

inline void press(QWidget *widget, QPointF point)
{
    QTest::mousePress(widget->window()->windowHandle(), Qt::LeftButton, {}, inWindow(widget, point));
}

inline void release(QWidget *widget, QPointF point)
{
    QTest::mouseRelease(widget->window()->windowHandle(), Qt::LeftButton, {}, inWindow(widget, point));
}

inline void click(QWidget *widget, QPointF point)
{
    press(widget, point);
    release(widget, point);
}

inline void click(QWidget *widget)
{
    click(widget, QRectF(widget->rect()).center());
}

} // namespace lirra::test
