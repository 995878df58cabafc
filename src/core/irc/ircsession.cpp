#include "ircsession.h"

#include "interpreter.h"
#include "platform/conversationlogs.h"
#include "sessionpresenter.h"
#include "text/appendformatted.h"
#include "text/ircstyle.h"

using namespace ircstyle;

namespace {
SessionPresenter g_silentPresenter;

const QString kQuitLine = u"QUIT "_qs + colour(4) + u"Using Velmora Messenger Ver - 1.0"_qs;
} // namespace

IrcSession::IrcSession(SessionVariables &variables, QObject *parent)
    : QObject(parent), m_variables(variables), m_presenter(&g_silentPresenter), m_connection(this),
      m_roomView(this), m_topicView(this), m_members(this), m_conversations(m_roomView),
      m_blockedNicks(this), m_keepAlive(this), m_reconnector(this), m_capNegotiation(this),
      m_interpreter(std::make_unique<Interpreter>(*this))
{
    m_topicView.setSizeSource(&m_roomView);
    connect(&m_connection, &ServerConnection::connected, this, &IrcSession::registerUser);
    connect(&m_connection, &ServerConnection::lineReceived, this, &IrcSession::lineArrived);
    connect(&m_connection, &ServerConnection::failed, this, &IrcSession::socketFailed);
    connect(&m_connection, &ServerConnection::closedByServer, this, &IrcSession::serverClosed);
    connect(&m_connection, &ServerConnection::sendQueueOverflowed, this,
            &IrcSession::sendQueueOverflowed);
    connect(&m_connection, &ServerConnection::secureSetupFailed, this,
            &IrcSession::secureSetupFailed);
    connect(&m_connection, &ServerConnection::attemptTimedOut, this, &IrcSession::attemptTimedOut);
    connect(&m_keepAlive, &KeepAlive::pingDue, this,
            [this] { SendData(QString(u"PING :"_qs + m_host)); });
    connect(&m_keepAlive, &KeepAlive::connectionLost, this, &IrcSession::noAnswerFromServer);
    connect(&m_reconnector, &Reconnector::retryScheduled, this, &IrcSession::retryScheduled);
    connect(&m_reconnector, &Reconnector::retryDue, this, &IrcSession::retryNow);
    connect(&m_capNegotiation, &CapNegotiation::lineToSend, this,
            [this](const QString &line) { SendData(line); });
    connect(&m_capNegotiation, &CapNegotiation::finished, this,
            &IrcSession::capNegotiationFinished);
}

IrcSession::~IrcSession() = default;

void IrcSession::setServer(const QString &host, quint16 port)
{
    m_host = host;
    m_port = port;
}

void IrcSession::setPresenter(SessionPresenter *presenter)
{
    m_presenter = presenter ? presenter : &g_silentPresenter;
}

void IrcSession::ConnectToServer()
{
    markDisconnected();
    m_presenter->setConnectionCommands(false, false);
    m_reconnector.keep();
    m_signInPassword = m_variables.CurrentPassword;
    AppendFormatted(m_roomView, bold + colour(6) + u" * Velmora Messenger Beta \u00ae "_qs);
    // A plain connection keeps its long-standing greeting, port number included.
    const QString port = m_tls ? QString::number(m_port) : u"6667"_qs;
    AppendFormatted(m_roomView, bold + colour(2) +
                                    u"*** Attempting to connect Velmora Server At "_qs + m_host +
                                    u' ' + port);
    if (m_tls)
        AppendFormatted(m_roomView, colour(3) + u"*** The connection is encrypted (TLS); the "_qs
                                                u"server's certificate is verified first."_qs);
    AppendFormatted(m_roomView,
                    u"*** Sending login information..."_qs + colour(15) + u" Please Wait"_qs);
    openConnection();
}

void IrcSession::openConnection()
{
    m_connection.open(m_host, m_port,
                      m_tls ? ServerConnection::Security::Tls : ServerConnection::Security::Plain);
}

void IrcSession::registerUser()
{
    // With a password, the server is first asked whether it signs in with SASL; registration
    // follows at once, so a server that knows no CAP is not kept waiting.
    if (!m_variables.CurrentPassword.isEmpty())
        m_capNegotiation.start(m_variables.CurrentNick, m_variables.CurrentPassword);
    SendData(QString(u"NICK "_qs + m_variables.CurrentNick));
    const QString user =
        u"USER "_qs + m_connection.localIdentifier() + u" local irc :"_qs + RealName + u"\r\n"_qs;
    m_connection.writeRaw(user.toUtf8());
    m_connected = true;
    m_keepAlive.start();
    m_presenter->setConnectionCommands(false, true);
}

void IrcSession::capNegotiationFinished(CapNegotiation::Outcome outcome)
{
    // Signed in: NickServ has nothing left to ask, as after identifying with the password.
    // Otherwise the password stays for NickServ to ask for it as usual.
    if (outcome == CapNegotiation::Outcome::Authenticated)
        m_variables.CurrentPassword.clear();
    if (outcome == CapNegotiation::Outcome::TimedOut)
        AppendFormatted(m_roomView, colour(4) +
                                        u" *** The server did not finish the SASL sign-in "_qs
                                        u"in time: signing in without it."_qs);
}

void IrcSession::SendData(QStringView line)
{
    m_connection.sendLine(line);
}

bool IrcSession::sendLine(QStringView line)
{
    if (!readyToSend(m_roomView))
        return false;
    SendData(line);
    return true;
}

bool IrcSession::readyToSend(ChatBuffer &view)
{
    if (m_connected)
        return true;
    AppendFormatted(view, colour(4) + u" *** Not sent: you are not connected to the server."_qs);
    return false;
}

void IrcSession::lineArrived(const QString &line)
{
    m_variables.ActivityCounter += 1;
    m_keepAlive.lineArrived();
    interpret(line);
}

void IrcSession::interpret(QString line)
{
    m_interpreter->interpret(std::move(line));
}

void IrcSession::socketFailed()
{
    AppendFormatted(m_roomView,
                    colour(4) + u" ERROR : Valid name, no data record of requested type."_qs);
    m_connection.close();
    endSession();
}

void IrcSession::serverClosed()
{
    m_connection.close();
    // After the user's disconnect, or the server's ERROR or KILL, the session has ended already.
    if (!m_connected)
        return;
    AppendFormatted(m_roomView, colour(4) + u" *** The server closed the connection."_qs);
    endSession();
}

void IrcSession::sendQueueOverflowed()
{
    AppendFormatted(m_roomView, colour(4) + u" *** The server stopped reading what this program "
                                            u"sends: connection closed."_qs);
    endSession();
}

void IrcSession::noAnswerFromServer()
{
    AppendFormatted(m_roomView,
                    colour(4) + u" *** No answer from the server: the connection is lost."_qs);
    socketFailed();
}

void IrcSession::secureSetupFailed(const QString &reason)
{
    AppendFormatted(m_roomView, colour(4) + u" *** Secure connection refused: "_qs + reason);
    endSession();
}

void IrcSession::attemptTimedOut()
{
    AppendFormatted(m_roomView, colour(4) +
                                    u" *** The server did not complete the connection in "_qs
                                    u"time: attempt abandoned."_qs);
    endSession();
}

void IrcSession::endSession()
{
    markDisconnected();
    m_presenter->setConnectionCommands(true, false);
    resetRoomState();
    m_presenter->setModeratorMenuVisible(false);
    m_reconnector.connectionLost();
    // While a retry waits, "&Connect" tries at once and "&Disconnect" ends the retries.
    if (m_reconnector.isWaiting())
        m_presenter->setConnectionCommands(true, true);
}

void IrcSession::markDisconnected()
{
    m_connected = false;
    m_keepAlive.stop();
    m_capNegotiation.stop();
}

void IrcSession::showReconnectStopped()
{
    AppendFormatted(m_roomView, colour(2) + u" *** Automatic reconnect stopped."_qs);
}

void IrcSession::setReconnectAutomatically(bool on)
{
    const bool wasWaiting = m_reconnector.isWaiting();
    m_reconnector.setEnabled(on);
    if (wasWaiting && !on) {
        showReconnectStopped();
        m_presenter->setConnectionCommands(true, false);
    }
}

void IrcSession::retryScheduled(int attempt, std::chrono::milliseconds delay)
{
    const auto seconds = (delay.count() + 500) / 1000;
    AppendFormatted(m_roomView, colour(2) + u" *** Reconnecting in "_qs + QString::number(seconds) +
                                    u" s (attempt "_qs + QString::number(attempt) + u")..."_qs);
}

void IrcSession::retryNow()
{
    // The same sign-in as the first: same server, nick and password, so the room is joined
    // and NickServ answered as then.
    m_variables.CurrentPassword = m_signInPassword;
    markDisconnected();
    openConnection();
    m_presenter->setConnectionCommands(false, true);
}

void IrcSession::disconnectFromServer()
{
    if (m_reconnector.stop())
        showReconnectStopped();
    // Between retries, or while one is under way, there is no session to say goodbye to.
    if (m_connected)
        SendData(kQuitLine);
    else
        m_connection.close();
    markDisconnected();
    m_presenter->setConnectionCommands(true, false);
    m_presenter->setModeratorMenuVisible(false);
    m_members.clear();
    UpdateUserCount();
    m_presenter->setAwaitingIdentification(false);
    m_topicView.clear();
}

void IrcSession::reconnect()
{
    markDisconnected();
    m_connection.close();
    m_reconnector.cancelWaiting();
    m_reconnector.keep();
    AppendFormatted(m_roomView, colour(2) + u" Connecting To "_qs + bold + u"The Server At "_qs +
                                    m_host + bold + colour(15) + u" Please Wait"_qs);
    openConnection();
    m_presenter->setConnectionCommands(false, false);
}

void IrcSession::closeConnection()
{
    m_reconnector.stop();
    markDisconnected();
    m_connection.close();
}

void IrcSession::keepLogsIn(ConversationLogs &logs)
{
    m_roomView.setLog(logs.roomLog());
    m_conversations.setLogFactory([&logs](const QString &nick) { return logs.partnerLog(nick); });
    logs.setProblemReporter([this](const QString &message) {
        AppendFormatted(m_roomView, colour(4) + u" *** "_qs + message);
    });
}

void IrcSession::clearform(const QString &caption)
{
    m_conversations.clearform(caption);
}

void IrcSession::UpdateUserCount()
{
    m_presenter->setUserCountText(u"Total Users = ["_qs + QString::number(m_members.count()) +
                                  u"]"_qs);
}

void IrcSession::resetRoomState()
{
    m_members.clear();
    m_topicView.clear();
    UpdateUserCount();
}
