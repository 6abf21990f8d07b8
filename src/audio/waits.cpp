#include "waits.h"

#include <QPointer>
#include <QTimer>

namespace lirra {

namespace {

void armUntil(std::chrono::steady_clock::time_point deadline, std::coroutine_handle<> handle,
              QPointer<QObject> context)
{
    using namespace std::chrono;
    const auto remaining = deadline - steady_clock::now();
    const auto milliseconds = ceil<std::chrono::milliseconds>(remaining);
    QTimer::singleShot(std::max(milliseconds, 0ms), Qt::PreciseTimer, context.data(),
                       [deadline, handle, context]() {
                           if (steady_clock::now() < deadline)
                               armUntil(deadline, handle, context);
                           else
                               handle.resume();
                       });
}

} // namespace

void PreciseSleep::await_suspend(std::coroutine_handle<> handle)
{
    armUntil(std::chrono::steady_clock::now() + m_duration, handle, m_context);
}

} // namespace lirra
