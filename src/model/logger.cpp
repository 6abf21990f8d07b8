#include "logger.h"

#include <QByteArray>
#include <QLoggingCategory>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace lirra {

struct StandardErrorLogger::Queue {
    std::mutex mutex;
    std::condition_variable changed;
    // A line, or in its place the count of lines dropped there.
    struct Entry {
        LogLevel level;
        QByteArray line;
        std::uint64_t dropped = 0;
    };
    std::deque<Entry> lines;
    // Lines handed in and lines written (or dropped), for flush().
    std::uint64_t queued = 0;
    std::uint64_t done = 0;
    bool stopping = false;
    std::thread writer;

    static void put(LogLevel level, const QByteArray &line)
    {
        switch (level) {
        case LogLevel::standard: qInfo("%s", line.constData()); break;
        case LogLevel::warning: qWarning("%s", line.constData()); break;
        case LogLevel::error: qCritical("%s", line.constData()); break;
        }
    }

    // The writer keeps the queue alive: a writer stuck on standard error at
    // exit is left behind rather than waited for.
    static void run(const std::shared_ptr<Queue> &queue)
    {
        std::unique_lock lock(queue->mutex);
        for (;;) {
            queue->changed.wait(lock, [&] { return queue->stopping || !queue->lines.empty(); });
            if (queue->lines.empty())
                return;
            Entry entry = std::move(queue->lines.front());
            queue->lines.pop_front();
            lock.unlock();
            if (entry.dropped > 0)
                put(LogLevel::warning, QByteArray("⚠️ ") + QByteArray::number(quint64(entry.dropped))
                                           + " log lines were dropped here: standard error could not take them");
            else
                put(entry.level, entry.line);
            lock.lock();
            queue->done += std::max<std::uint64_t>(entry.dropped, 1);
            queue->changed.notify_all();
        }
    }
};

StandardErrorLogger::StandardErrorLogger()
    : m_queue(std::make_shared<Queue>())
{
    m_queue->writer = std::thread(&Queue::run, m_queue);
}

StandardErrorLogger::~StandardErrorLogger()
{
    const bool written = flush(1000);
    {
        std::lock_guard lock(m_queue->mutex);
        m_queue->stopping = true;
    }
    m_queue->changed.notify_all();
    if (written)
        m_queue->writer.join();
    else
        m_queue->writer.detach();
}

bool StandardErrorLogger::isEnabled(LogLevel level) const
{
    const QLoggingCategory *category = QLoggingCategory::defaultCategory();
    switch (level) {
    case LogLevel::standard: return category->isInfoEnabled();
    case LogLevel::warning: return category->isWarningEnabled();
    case LogLevel::error: return category->isCriticalEnabled();
    }
    return false;
}

void StandardErrorLogger::write(LogLevel level, const QString &line)
{
    {
        std::lock_guard lock(m_queue->mutex);
        ++m_queue->queued;
        auto &lines = m_queue->lines;
        if (lines.size() < size_t(maxWaitingLines))
            lines.push_back({level, line.toUtf8()});
        else if (lines.back().dropped > 0)
            ++lines.back().dropped;
        else
            lines.push_back({LogLevel::warning, {}, 1});
    }
    m_queue->changed.notify_all();
}

bool StandardErrorLogger::flush(int timeoutMs)
{
    std::unique_lock lock(m_queue->mutex);
    const std::uint64_t target = m_queue->queued;
    return m_queue->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                     [&] { return m_queue->done >= target; });
}

} // namespace lirra
