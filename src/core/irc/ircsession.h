#pragma once

#include "capnegotiation.h"
#include "ctcpreplylimiter.h"
#include "keepalive.h"
#include "linesender.h"
#include "reconnector.h"
#include "serverconnection.h"
#include "session/blockednicks.h"
#include "session/conversationtable.h"
#include "session/memberlist.h"
#include "session/nickcompletion.h"
#include "session/sessionvariables.h"
#include "text/chatbuffer.h"

#include <QObject>
#include <QTimeZone>

#include <memory>

class ConversationLogs;
class Interpreter;

class SessionPresenter;

// The program's one IRC session: the connection, the room's chat view, topic and members,
// and the interpreter that turns each received line into changes of them. It knows nothing
// of the windows that show it.
class IrcSession : public QObject, public LineSender
{
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = 6667;
    static constexpr quint16 DefaultTlsPort = 6697;
    static inline const QString RealName = QStringLiteral("Velmora Messenger 1.0 (Orvane)");

    IrcSession(SessionVariables &variables, QObject *parent = nullptr);
    ~IrcSession() override;

    void setServer(const QString &host, quint16 port);
    QString serverHost() const { return m_host; }
    quint16 serverPort() const { return m_port; }
    // Connect over TLS (verified) instead of plain text, from the next connection on.
    void setTls(bool tls) { m_tls = tls; }
    bool usesTls() const { return m_tls; }
    // True while the connection is open over verified TLS.
    bool isEncrypted() const { return m_connection.isEncrypted(); }
    void setPresenter(SessionPresenter *presenter);
    SessionPresenter &presenter() { return *m_presenter; }

    SessionVariables &variables() { return m_variables; }
    ChatBuffer &roomView() { return m_roomView; }
    ChatBuffer &topicView() { return m_topicView; }
    MemberList &members() { return m_members; }
    ServerConnection &connection() { return m_connection; }
    ConversationTable &conversations() { return m_conversations; }
    BlockedNicks &blockedNicks() { return m_blockedNicks; }
    CtcpReplyLimiter &ctcpReplyLimiter() { return m_ctcpReplyLimiter; }
    NickCompletion &nickCompletion() { return m_nickCompletion; }
    // Watches for a connection that died without a close; runs while connected.
    KeepAlive &keepAlive() { return m_keepAlive; }
    // Connects again after a loss the user did not ask for, when the user has turned it on.
    Reconnector &reconnector() { return m_reconnector; }
    // "&Reconnect Automatically": turning it off while a retry waits ends the retries.
    void setReconnectAutomatically(bool on);
    // Signs in with SASL before registration ends, when a password is known; runs from the
    // connection until the server's verdict.
    CapNegotiation &capNegotiation() { return m_capNegotiation; }

    // "&Block Incoming Privates": new private conversations are refused while it is on.
    bool refusesNewPrivates() const { return m_refuseNewPrivates; }
    void setRefuseNewPrivates(bool refuse) { m_refuseNewPrivates = refuse; }

    // The zone server time stamps are shown in (the system's unless a test says otherwise).
    QTimeZone timeZone() const { return m_timeZone; }
    void setTimeZone(const QTimeZone &zone) { m_timeZone = zone; }

    // Shows the greeting lines and opens the connection.
    void ConnectToServer();
    // Sends one protocol line; dropped silently while the connection is closed.
    void SendData(QStringView line);
    // The same, for dialogs that know the session only as a LineSender.
    // Refused, with the line in the room view that says so, while not connected.
    bool sendLine(QStringView line) override;
    // Handles one received line.
    void interpret(QString line);
    // The "&Disconnect" command: says goodbye and lets the server close the connection.
    void disconnectFromServer();
    // The "&Connect" command: connects again to the same server.
    void reconnect();
    // Closes the connection without a goodbye (the program is ending).
    void closeConnection();

    // Logs the room and every private conversation there; a log that cannot be written says so
    // once in the room view.
    void keepLogsIn(ConversationLogs &logs);

    // A private conversation window closes: its slot is freed.
    void clearform(const QString &caption);

    void UpdateUserCount();
    // Empties the member list, the topic and the count when the session leaves the room.
    void resetRoomState();
    // The session is over without the user asking (a socket error, the server's ERROR, KILL or
    // close): the room state is emptied and the menus offer "&Connect" again.
    void endSession();
    // True from the server accepting the connection until the session ends or the user
    // disconnects.
    bool isConnected() const { return m_connected; }
    // For what the user asks to send: false while not connected, after a line in view (where the
    // user tried) saying it was not sent, so that nothing is shown as sent that never went out.
    bool readyToSend(ChatBuffer &view);

private:
    void registerUser();
    void lineArrived(const QString &line);
    void socketFailed();
    void serverClosed();
    void sendQueueOverflowed();
    void noAnswerFromServer();
    void secureSetupFailed(const QString &reason);
    void attemptTimedOut();
    void openConnection();
    void retryScheduled(int attempt, std::chrono::milliseconds delay);
    void retryNow();
    // Not signed in any more: what runs only while connected stops.
    void markDisconnected();
    void showReconnectStopped();
    void capNegotiationFinished(CapNegotiation::Outcome outcome);

    SessionVariables &m_variables;
    SessionPresenter *m_presenter;
    QString m_host;
    quint16 m_port = DefaultPort;
    bool m_tls = false;
    ServerConnection m_connection;
    ChatBuffer m_roomView;
    ChatBuffer m_topicView;
    MemberList m_members;
    ConversationTable m_conversations;
    BlockedNicks m_blockedNicks;
    CtcpReplyLimiter m_ctcpReplyLimiter;
    NickCompletion m_nickCompletion;
    KeepAlive m_keepAlive;
    Reconnector m_reconnector;
    // The password of the first sign-in, given again to every automatic retry.
    QString m_signInPassword;
    CapNegotiation m_capNegotiation;
    bool m_refuseNewPrivates = false;
    bool m_connected = false;
    QTimeZone m_timeZone = QTimeZone::systemTimeZone();
    std::unique_ptr<Interpreter> m_interpreter;
};
