#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

// Decides when to connect again after a connection was lost without the user asking: the
// first retry waits 2 s, each further one twice as long, up to 60 s, each a little shorter at
// random so that the clients a server dropped all at once do not return all at once. It is off
// until the user turns it on. It only retries a connection the program was asked to keep (from
// the first connect until the user disconnects or exits), and a sign-in the server accepts
// starts the waits over. Tests replace the random part and shorten the real waits.
class Reconnector : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds FirstDelay = std::chrono::seconds(2);
    static constexpr std::chrono::milliseconds LongestDelay = std::chrono::seconds(60);
    // The most a delay is shortened at random, as a share of it.
    static constexpr double MaxJitter = 0.1;

    using JitterSource = std::function<double()>;
    using WaitFunction = std::function<std::chrono::milliseconds(std::chrono::milliseconds)>;

    explicit Reconnector(QObject *parent = nullptr);

    // The delay before the given retry (1 for the first) without jitter.
    static std::chrono::milliseconds plannedDelay(int attempt);

    // Off by default. Turning it off drops a retry that is waiting and starts the waits over.
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }

    // A number in [0, 1) that picks how much of MaxJitter a delay loses; random by default.
    void setJitterSource(JitterSource source) { m_jitter = std::move(source); }
    // How long the timer really waits for a delay; the delay itself by default.
    void setWaitFunction(WaitFunction wait) { m_wait = std::move(wait); }

    // The program opens a connection it wants kept: a later loss is retried.
    void keep();
    // The connection was lost or an attempt failed: when on and kept, the next retry is
    // scheduled. A loss reported while a retry waits already changes nothing.
    void connectionLost();
    // The server accepted the sign-in: the next loss starts again at the first delay.
    void signedIn();
    // The user ended the session: nothing is retried until keep(). True when retries were under
    // way (one waiting, or an attempt since the last sign-in).
    bool stop();
    // Drops a waiting retry but keeps the connection kept. True when a retry was waiting.
    bool cancelWaiting();

    bool isWaiting() const { return m_timer.isActive(); }
    bool isKept() const { return m_kept; }

signals:
    // A retry will start after delay; attempt counts from 1 since the last sign-in.
    void retryScheduled(int attempt, std::chrono::milliseconds delay);
    // The wait is over: connect again now.
    void retryDue();

private:
    QTimer m_timer;
    JitterSource m_jitter;
    WaitFunction m_wait;
    bool m_enabled = false;
    bool m_kept = false;
    int m_attempt = 0;
};
