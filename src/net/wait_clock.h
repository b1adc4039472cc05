#pragma once

#include <QtGlobal>

class WakeUp;

// The time that the reads' waits run on: the real timers in the program, a
// clock moved by hand where a schedule must replay the same way every time.
class WaitClock
{
public:
    virtual ~WaitClock() = default;

    // Milliseconds since some fixed point: only differences mean anything.
    virtual qint64 nowMs() const = 0;
    // Wakes `wake` in `ms` (as soon as may be when `ms` is not positive); the id stops it.
    virtual int wakeIn(WakeUp &wake, int ms) = 0;
    virtual void stop(int id) = 0;
};
