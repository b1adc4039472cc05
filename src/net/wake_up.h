#pragma once

#include "net/wait_clock.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QTimerEvent>
#include <coroutine>
#include <utility>

// A point where one coroutine waits until something wakes it. The waiter is
// resumed in the waker's own call, so a stop that wakes every wait has ended
// them all when it returns: nothing is left pending on an object that goes away.
class WakeUp
{
public:
    WakeUp() = default;
    WakeUp(const WakeUp &) = delete;
    WakeUp &operator=(const WakeUp &) = delete;

    // co_await wake.woken() suspends until wake() (at once when it came before).
    struct Awaiter
    {
        WakeUp &wake;
        bool await_ready() const noexcept { return wake.m_woken; }
        void await_suspend(std::coroutine_handle<> waiter) noexcept { wake.m_waiter = waiter; }
        void await_resume() const noexcept {}
    };
    Awaiter untilWoken() { return {*this}; }

    void wake()
    {
        if (m_woken)
            return;
        m_woken = true;
        if (const std::coroutine_handle<> waiter = std::exchange(m_waiter, nullptr))
            waiter.resume();
    }
    bool woken() const { return m_woken; }

private:
    std::coroutine_handle<> m_waiter;
    bool m_woken = false;
};

// Timers that wake a WakeUp. They belong to a long-lived object, so a wait
// ended by its own timer may stop that timer while it fires.
class WakeTimers : public QObject, public WaitClock
{
public:
    explicit WakeTimers(QObject *parent = nullptr) : QObject(parent) { m_since.start(); }

    qint64 nowMs() const override { return m_since.elapsed(); }
    // Wakes `wake` in `ms` (at once when `ms` is not positive); the id stops it.
    int wakeIn(WakeUp &wake, int ms) override
    {
        const int id = startTimer(qMax(ms, 0), Qt::PreciseTimer);
        m_wakes.insert(id, &wake);
        return id;
    }
    void stop(int id) override
    {
        if (m_wakes.remove(id))
            killTimer(id);
    }

protected:
    void timerEvent(QTimerEvent *event) override
    {
        WakeUp *wake = m_wakes.take(event->timerId());
        killTimer(event->timerId());
        if (wake)
            wake->wake();
    }

private:
    QHash<int, WakeUp *> m_wakes;
    QElapsedTimer m_since;
};
