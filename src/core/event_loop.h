#pragma once

#include <coroutine>

namespace lirra {

// Awaiting this resumes the coroutine on a later turn of the Qt event loop.
struct NextEventLoopTurn {
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> handle) const;
    void await_resume() const noexcept {}
};

} // namespace lirra
