#include "ctcpreplylimiter.h"

#include <QDeadlineTimer>

CtcpReplyLimiter::CtcpReplyLimiter() : m_clock([] { return QDeadlineTimer::current().deadline(); })
{}

bool CtcpReplyLimiter::allow()
{
    const qint64 now = m_clock();
    while (!m_sent.empty() && now - m_sent.front() >= WindowMs)
        m_sent.pop_front();
    if (m_sent.size() >= size_t(MaxReplies))
        return false;
    m_sent.push_back(now);
    return true;
}
