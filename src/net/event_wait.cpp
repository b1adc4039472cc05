#include "net/event_wait.h"

#include <vector>

namespace {

// Everything runs on the one user-interface thread, so plain statics will do.
std::vector<EventWait *> g_waits;
bool g_closing = false;

} // namespace

EventWait::EventWait()
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, &m_loop, &QEventLoop::quit);
    g_waits.push_back(this);
}

EventWait::~EventWait()
{
    std::erase(g_waits, this);
}

bool EventWait::wait(int timeoutMs)
{
    if (m_finished || g_closing)
        return m_finished;
    if (timeoutMs == 0)
        return false;
    if (timeoutMs > 0)
        m_timer.start(timeoutMs);
    m_loop.exec();
    m_timer.stop();
    return m_finished;
}

void EventWait::finish()
{
    m_finished = true;
    m_loop.quit();
}

void EventWait::endAll()
{
    g_closing = true;
    for (EventWait *wait : g_waits)
        wait->m_loop.quit();
}

bool EventWait::closing()
{
    return g_closing;
}
