#include "waits.h"

#include <QPointer>
#include <QTimer>

#include <vector>

namespace lirra {

std::uint64_t Sleeps::add(std::coroutine_handle<> handle, bool *cancelled)
{
    const std::uint64_t id = m_next++;
    m_sleeping.emplace(id, Sleeper{handle, cancelled});
    return id;
}

bool Sleeps::take(std::uint64_t id, std::coroutine_handle<> *handle)
{
    const auto found = m_sleeping.find(id);
    if (found == m_sleeping.end())
        return false;
    *handle = found->second.handle;
    m_sleeping.erase(found);
    return true;
}

void Sleeps::cancelAll(QObject *context)
{
    const std::map<std::uint64_t, Sleeper> ending = std::exchange(m_sleeping, {});
    for (const auto &[id, sleeper] : ending) {
        *sleeper.cancelled = true;
        QTimer::singleShot(0, context, [handle = sleeper.handle]() { handle.resume(); });
    }
}

namespace {

void armUntil(std::chrono::steady_clock::time_point deadline, std::uint64_t id, std::weak_ptr<Sleeps> sleeps,
              QPointer<QObject> context)
{
    using namespace std::chrono;
    const auto remaining = deadline - steady_clock::now();
    const auto milliseconds = ceil<std::chrono::milliseconds>(remaining);
    QTimer::singleShot(std::max(milliseconds, 0ms), Qt::PreciseTimer, context.data(),
                       [deadline, id, sleeps, context]() {
                           if (steady_clock::now() < deadline) {
                               armUntil(deadline, id, sleeps, context);
                               return;
                           }
                           std::coroutine_handle<> handle;
                           // A cancelled sleep has been resumed already.
                           if (const auto owner = sleeps.lock(); owner && owner->take(id, &handle))
                               handle.resume();
                       });
}

} // namespace

void PreciseSleep::await_suspend(std::coroutine_handle<> handle)
{
    const std::uint64_t id = m_sleeps->add(handle, &m_cancelled);
    armUntil(std::chrono::steady_clock::now() + m_duration, id, m_sleeps, m_context);
}

} // namespace lirra
