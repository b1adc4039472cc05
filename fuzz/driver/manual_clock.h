#pragma once

#include "net/wait_clock.h"

#include <map>
#include <utility>

// A clock that stands still until advanced: the waits due meanwhile are woken
// in the order of their times (and of their starts at one time), each with the
// clock at its own time, so a schedule of waits replays the same way every time.
class ManualClock : public WaitClock
{
public:
    qint64 nowMs() const override { return m_now; }
    int wakeIn(WakeUp &wake, int ms) override;
    void stop(int id) override;

    // Moves the clock `ms` on; a wait started by a woken one is woken too when due.
    void advance(qint64 ms);

private:
    using Due = std::pair<qint64, int>; // its time, its id
    std::map<Due, WakeUp *> m_waits;
    qint64 m_now = 0;
    int m_nextId = 1;
};
