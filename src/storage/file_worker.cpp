#include "file_worker.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace lirra {

struct FileWorker::State {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::function<void()>> jobs;
    bool stopping = false;
    bool stopped = false;
};

FileWorker::FileWorker()
    : m_state(std::make_shared<State>())
{
    // The thread holds its own share of the state: it may outlive the worker
    // when a job never ends.
    std::thread([state = m_state]() {
        std::unique_lock lock(state->mutex);
        for (;;) {
            state->changed.wait(lock, [&] { return state->stopping || !state->jobs.empty(); });
            if (state->jobs.empty())
                break;
            std::function<void()> job = std::move(state->jobs.front());
            state->jobs.pop_front();
            lock.unlock();
            job();
            lock.lock();
        }
        state->stopped = true;
        state->changed.notify_all();
    }).detach();
}

FileWorker::~FileWorker()
{
    std::unique_lock lock(m_state->mutex);
    m_state->stopping = true;
    m_state->changed.notify_all();
    m_state->changed.wait_for(lock, std::chrono::milliseconds(drainTimeoutMs), [this] { return m_state->stopped; });
}

void FileWorker::post(std::function<void()> job)
{
    std::lock_guard lock(m_state->mutex);
    m_state->jobs.push_back(std::move(job));
    m_state->changed.notify_all();
}

void FileWorker::resumeOnEventLoop(std::coroutine_handle<> handle)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application)
        return; // the process is ending: nothing is left to resume
    QMetaObject::invokeMethod(application, [handle]() { handle.resume(); }, Qt::QueuedConnection);
}

} // namespace lirra
