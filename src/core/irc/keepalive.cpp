#include "keepalive.h"

#include <algorithm>

namespace {

// Each interval is measured in whole ticks of the check timer; this many ticks make up the
// shorter one, so silence is judged to within a fraction of it.
constexpr int kTicksPerShortInterval = 6;

int ticksIn(std::chrono::milliseconds interval, std::chrono::milliseconds tick)
{
    return int((interval.count() + tick.count() - 1) / tick.count());
}

} // namespace

KeepAlive::KeepAlive(QObject *parent) : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &KeepAlive::check);
}

void KeepAlive::setIntervals(std::chrono::milliseconds idle, std::chrono::milliseconds answer)
{
    m_idleInterval = idle;
    m_answerInterval = answer;
}

void KeepAlive::start()
{
    using namespace std::chrono_literals;
    const std::chrono::milliseconds tick =
        std::max(1ms, std::min(m_idleInterval, m_answerInterval) / kTicksPerShortInterval);
    m_idleTicks = ticksIn(m_idleInterval, tick);
    m_answerTicks = ticksIn(m_answerInterval, tick);
    m_linesAtLastCheck = m_linesArrived;
    m_silentTicks = 0;
    m_pingSent = false;
    // Whole seconds are precise enough for minutes of silence and let the system batch the
    // wake-ups; shorter ticks (tests) need the ordinary timer.
    m_timer.setTimerType(tick >= 1s ? Qt::VeryCoarseTimer : Qt::CoarseTimer);
    m_timer.start(tick);
}

void KeepAlive::stop()
{
    m_timer.stop();
}

void KeepAlive::check()
{
    if (m_linesArrived != m_linesAtLastCheck) {
        m_linesAtLastCheck = m_linesArrived;
        m_silentTicks = 0;
        m_pingSent = false;
        return;
    }
    ++m_silentTicks;
    if (!m_pingSent && m_silentTicks >= m_idleTicks) {
        m_pingSent = true;
        m_silentTicks = 0;
        emit pingDue();
    } else if (m_pingSent && m_silentTicks >= m_answerTicks) {
        stop();
        emit connectionLost();
    }
}
