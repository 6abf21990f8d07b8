#pragma once

#include "support/fakes.h"

#include <QCoroTask>

#include <optional>

namespace lirra::test {

// Runs a task on the event loop until it finishes and gives its result.
template <typename T>
T awaitTask(QCoro::Task<T> task, int timeoutMs = 60000)
{
    std::optional<T> result;
    auto run = [](QCoro::Task<T> t, std::optional<T> &out) -> QCoro::Task<> { out.emplace(co_await t); };
    run(std::move(task), result);
    if (!spinUntil([&] { return result.has_value(); }, timeoutMs))
        qFatal("a task did not finish in time");
    return std::move(*result);
}

} // namespace lirra::test
