#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>

#include <functional>

namespace lirra::bench {

// Runs the event loop until the condition holds; false when it did not
// within the time.
inline bool spinUntil(const std::function<bool()> &condition, int timeoutMs = 30000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Installed on the whole app from `clock`'s start: ends the timing when a
// widget the test picks has painted the first time, its paint included.
class FirstPaint final : public QObject {
public:
    explicit FirstPaint(std::function<bool(QWidget *)> isTarget) : m_isTarget(std::move(isTarget)) {}

    QElapsedTimer clock;
    double ms = -1;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (event->type() != QEvent::Paint || ms >= 0 || !widget || !m_isTarget(widget))
            return false;
        QCoreApplication::instance()->removeEventFilter(this);
        QCoreApplication::sendEvent(watched, event); // painted here, then timed
        ms = double(clock.nsecsElapsed()) / 1e6;
        return true;
    }

private:
    std::function<bool(QWidget *)> m_isTarget;
};

} // namespace lirra::bench
