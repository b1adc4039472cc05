#pragma once

#include <QCoro/QCoroTask>
#include <QTest>

#include <memory>
#include <optional>

namespace await_task_detail {
template<class T>
QCoro::Task<> keepResult(QCoro::Task<T> task, std::shared_ptr<std::optional<T>> result)
{
    *result = co_await std::move(task);
}
} // namespace await_task_detail

// Runs the main loop until `task` ends, at most `boundMs`: its result, or none
// when it had not ended by then (it then goes on alone).
template<class T>
std::optional<T> awaitTask(QCoro::Task<T> task, int boundMs = 10000)
{
    auto result = std::make_shared<std::optional<T>>();
    QCoro::Task<> keeper = await_task_detail::keepResult(std::move(task), result);
    (void)QTest::qWaitFor([&] { return result->has_value(); }, boundMs);
    return *result;
}
