#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

// Notices a connection that has died without a close (a pulled cable, a suspended laptop, a
// firewall that drops it): after the idle interval without any line from the server it asks
// for a PING, and when no line at all arrives in the answer interval after that, it reports
// the connection lost. Received lines are only counted, in a plain integer, and a coarse
// periodic timer compares the count, so a flood of lines costs no timer work per line and an
// idle session wakes up a few times a minute.
class KeepAlive : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds DefaultIdleInterval = std::chrono::minutes(4);
    static constexpr std::chrono::milliseconds DefaultAnswerInterval = std::chrono::seconds(90);

    explicit KeepAlive(QObject *parent = nullptr);

    // Takes effect at the next start().
    void setIntervals(std::chrono::milliseconds idle, std::chrono::milliseconds answer);
    void start();
    void stop();
    bool isActive() const { return m_timer.isActive(); }

    // Called for every line received from the server.
    void lineArrived() { ++m_linesArrived; }

signals:
    // The server has said nothing for the idle interval: a PING should go out now.
    void pingDue();
    // Nothing arrived in the answer interval after the PING; the watch has stopped.
    void connectionLost();

private:
    void check();

    QTimer m_timer;
    std::chrono::milliseconds m_idleInterval = DefaultIdleInterval;
    std::chrono::milliseconds m_answerInterval = DefaultAnswerInterval;
    int m_idleTicks = 0;
    int m_answerTicks = 0;
    quint64 m_linesArrived = 0;
    quint64 m_linesAtLastCheck = 0;
    int m_silentTicks = 0;
    bool m_pingSent = false;
};
