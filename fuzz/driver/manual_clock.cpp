#include "manual_clock.h"

#include "net/wake_up.h"

#include <QtGlobal>

int ManualClock::wakeIn(WakeUp &wake, int ms)
{
    const int id = m_nextId++;
    m_waits.emplace(Due(m_now + qMax(ms, 0), id), &wake);
    return id;
}

void ManualClock::stop(int id)
{
    for (auto it = m_waits.begin(); it != m_waits.end(); ++it) {
        if (it->first.second == id) {
            m_waits.erase(it);
            return;
        }
    }
}

void ManualClock::advance(qint64 ms)
{
    const qint64 until = m_now + qMax<qint64>(ms, 0);
    while (!m_waits.empty() && m_waits.begin()->first.first <= until) {
        const auto first = m_waits.begin();
        m_now = qMax(m_now, first->first.first);
        WakeUp *wake = first->second;
        m_waits.erase(first);
        wake->wake();
    }
    m_now = until;
}
