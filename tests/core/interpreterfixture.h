#pragma once

#include "irc/ircsession.h"
#include "session/sessionvariables.h"
#include "support/scriptedserver.h"
#include "support/sessionrecorder.h"

#include <QtTest>

#include <map>
#include <memory>

// A session signed in as "alice" in "#velmora" on a scripted loopback server, with every window
// call, room line and conversation line recorded. The interpreter tests start one per test.
class InterpreterFixture
{
protected:
    void start()
    {
        m_vars =
            SessionVariables{QStringLiteral("alice"), QString(), QStringLiteral("#velmora"), 0};
        m_presenter = RecordingPresenter();
        m_roomLog.lines.clear();
        m_partnerLogs.clear();
        m_server = std::make_unique<ScriptedServer>();
        m_session = std::make_unique<IrcSession>(m_vars);
        m_session->setPresenter(&m_presenter);
        m_session->setServer(QStringLiteral("127.0.0.1"), m_server->port());
        m_session->conversations().setLogFactory([this](const QString &nick) {
            return std::make_unique<ForwardingLog>(m_partnerLogs[nick]);
        });
        m_session->ConnectToServer();
        QVERIFY(m_server->acceptClient());
        QVERIFY(m_server->receivedUntil("\r\n").endsWith("\r\n"));
        m_server->clearReceived();
        QTRY_COMPARE(m_presenter.calls.last(), u"commands 0 1"_qs);
        m_session->roomView().setLog(&m_roomLog);
        m_presenter.calls.clear();
    }

    void stop()
    {
        m_session.reset();
        m_server.reset();
    }

    // Sends lines from the server and returns what the program sent back meanwhile.
    QByteArray run(const QByteArray &lines) { return m_server->exchange(lines); }
    RecordingLog &partnerLog(const QString &nick) { return m_partnerLogs[nick]; }

    SessionVariables m_vars;
    RecordingPresenter m_presenter;
    RecordingLog m_roomLog;
    std::map<QString, RecordingLog> m_partnerLogs;
    std::unique_ptr<ScriptedServer> m_server;
    std::unique_ptr<IrcSession> m_session;
};
