#include "event_loop.h"

#include <QTimer>

namespace lirra {

void NextEventLoopTurn::await_suspend(std::coroutine_handle<> handle) const
{
    QTimer::singleShot(0, [handle]() { handle.resume(); });
}

} // namespace lirra
