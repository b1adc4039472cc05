#pragma once

#include <QEventLoop>
#include <QTimer>

// A wait that keeps the program responsive: a nested event loop that ends when
// finish() is called, when its time runs out, or when the program closes.
// Nothing spins while it waits.
class EventWait
{
public:
    EventWait();
    ~EventWait();
    EventWait(const EventWait &) = delete;
    EventWait &operator=(const EventWait &) = delete;

    // Waits at most `timeoutMs` (a negative value: no limit). Returns true when
    // finish() ended the wait, also when it was called before the wait began.
    bool wait(int timeoutMs);
    void finish();

    // Ends every wait in progress and makes later ones return at once: the
    // program is closing and every loop must unwind.
    static void endAll();
    static bool closing();

private:
    QEventLoop m_loop;
    QTimer m_timer;
    bool m_finished = false;
};
