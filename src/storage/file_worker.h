#pragma once

#include <QCoroTask>

#include <coroutine>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

namespace lirra {

// A thread of its own for the stores' file work, which it does one job at a
// time in the order the jobs were given: a sync to disk can take a while, and
// the window must not wait for it. An awaiting coroutine resumes on the
// thread of the application's event loop.
class FileWorker {
public:
    FileWorker();
    // Finishes the jobs already given, waiting for them at most
    // `drainTimeoutMs`; a job still running then is left to end with the
    // process.
    ~FileWorker();
    FileWorker(const FileWorker &) = delete;
    FileWorker &operator=(const FileWorker &) = delete;

    // Runs `job` on the worker; an exception it throws comes out of the await.
    template <typename T>
    QCoro::Task<T> run(std::function<T()> job);

    static constexpr int drainTimeoutMs = 5000;

private:
    struct State;

    template <typename T>
    struct Awaiter {
        FileWorker *worker;
        std::function<T()> job;
        std::optional<T> result;
        std::exception_ptr failure;

        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> handle)
        {
            worker->post([this, handle]() {
                try {
                    result.emplace(job());
                } catch (...) {
                    failure = std::current_exception();
                }
                resumeOnEventLoop(handle);
            });
        }
        T await_resume()
        {
            if (failure)
                std::rethrow_exception(failure);
            return std::move(*result);
        }
    };

    void post(std::function<void()> job);
    static void resumeOnEventLoop(std::coroutine_handle<> handle);

    std::shared_ptr<State> m_state;
};

template <typename T>
QCoro::Task<T> FileWorker::run(std::function<T()> job)
{
    // A named awaiter: GCC 12 can destroy a temporary one twice.
    Awaiter<T> awaiter{this, std::move(job), std::nullopt, nullptr};
    co_return co_await awaiter;
}

} // namespace lirra
