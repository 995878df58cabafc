#pragma once

#include "app/sessionvariables.h"
#include "irc/interpreter.h"
#include "irc/memberlist.h"
#include "irc/serverconnection.h"
#include "render/chatbuffer.h"

#include <QObject>

class SessionPresenter;

// The program's one IRC session: the connection, the room's chat view, topic and members,
// and the interpreter that turns each received line into changes of them. It knows nothing
// of the windows that show it.
class IrcSession : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = 6667;
    static inline const QString RealName = QStringLiteral("Velmora Messenger 1.0 (Orvane)");

    IrcSession(SessionVariables &variables, QObject *parent = nullptr);
    ~IrcSession() override;

    void setServer(const QString &host, quint16 port);
    QString serverHost() const { return m_host; }
    quint16 serverPort() const { return m_port; }
    void setPresenter(SessionPresenter *presenter);
    SessionPresenter &presenter() { return *m_presenter; }

    SessionVariables &variables() { return m_variables; }
    ChatBuffer &roomView() { return m_roomView; }
    ChatBuffer &topicView() { return m_topicView; }
    MemberList &members() { return m_members; }
    ServerConnection &connection() { return m_connection; }

    // Shows the greeting lines and opens the connection.
    void ConnectToServer();
    // Sends one protocol line; dropped silently while the connection is closed.
    void SendData(QStringView line);
    // Handles one received line.
    void interpret(QString line);
    // The "&Disconnect" command: says goodbye and lets the server close the connection.
    void disconnectFromServer();
    // The "&Connect" command: connects again to the same server.
    void reconnect();
    // Closes the connection without a goodbye (the program is ending).
    void closeConnection();

    void UpdateUserCount();
    // Empties the member list, the topic and the count when the session leaves the room.
    void resetRoomState();

private:
    void registerUser();
    void lineArrived(const QString &line);
    void socketFailed();

    SessionVariables &m_variables;
    SessionPresenter *m_presenter;
    QString m_host;
    quint16 m_port = DefaultPort;
    ServerConnection m_connection;
    ChatBuffer m_roomView;
    ChatBuffer m_topicView;
    MemberList m_members;
    Interpreter m_interpreter;
};
