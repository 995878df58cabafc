#include "reconnector.h"

#include <QRandomGenerator>

#include <algorithm>

using namespace std::chrono;

Reconnector::Reconnector(QObject *parent)
    : QObject(parent), m_jitter([] { return QRandomGenerator::global()->generateDouble(); }),
      m_wait([](milliseconds delay) { return delay; })
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Reconnector::retryDue);
}

milliseconds Reconnector::plannedDelay(int attempt)
{
    // Doubling stops early, far from overflow: five doublings are already past the longest.
    const int doublings = std::clamp(attempt - 1, 0, 6);
    return std::min(FirstDelay * (1 << doublings), LongestDelay);
}

void Reconnector::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled) {
        m_timer.stop();
        m_attempt = 0;
    }
}

void Reconnector::keep()
{
    m_kept = true;
}

void Reconnector::connectionLost()
{
    if (!m_enabled || !m_kept || m_timer.isActive())
        return;
    ++m_attempt;
    const milliseconds planned = plannedDelay(m_attempt);
    const double share = std::clamp(m_jitter(), 0.0, 1.0) * MaxJitter;
    const milliseconds delay(planned.count() - qint64(double(planned.count()) * share));
    m_timer.start(m_wait(delay));
    emit retryScheduled(m_attempt, delay);
}

void Reconnector::signedIn()
{
    m_attempt = 0;
}

bool Reconnector::stop()
{
    const bool retrying = m_attempt > 0 || m_timer.isActive();
    m_kept = false;
    m_attempt = 0;
    m_timer.stop();
    return retrying;
}

bool Reconnector::cancelWaiting()
{
    const bool waiting = m_timer.isActive();
    m_timer.stop();
    return waiting;
}
