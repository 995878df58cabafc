#pragma once

#include <QtGlobal>

#include <deque>
#include <functional>

// Lets at most a few CTCP answers out in a sliding window, so nobody can make the program flood
// the server (and be disconnected for it) by sending requests in a loop.
class CtcpReplyLimiter
{
public:
    using Clock = std::function<qint64()>; // milliseconds, never going back

    static constexpr int MaxReplies = 4;
    static constexpr qint64 WindowMs = 10'000;

    CtcpReplyLimiter();
    explicit CtcpReplyLimiter(Clock clock) : m_clock(std::move(clock)) {}

    // True when an answer may go out now; it is then counted.
    bool allow();

private:
    Clock m_clock;
    std::deque<qint64> m_sent;
};
