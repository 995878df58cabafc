#pragma once

#include "channel/channelwindow.h"
#include "controls/trayicon.h"
#include "irc/ircsession.h"
#include "platform/settingsstore.h"
#include "session/sessionvariables.h"
#include "support/scriptedserver.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// A room window shown for "alice" in "#velmora", its session connected to a scripted loopback
// server and registered, with a tray icon whose desktop may or may not have a notification
// area. The window tests start one per test.
class RoomWindowFixture
{
protected:
    // The window reads and writes the user's settings; keep them in a scratch store.
    void useScratchSettings()
    {
        SettingsStore::setCurrent(
            SettingsStore(m_settingsDir.filePath(QStringLiteral("settings.json"))));
    }

    void startRoom()
    {
        m_vars =
            SessionVariables{QStringLiteral("alice"), QString(), QStringLiteral("#velmora"), 0};
        m_server = std::make_unique<ScriptedServer>();
        m_session = std::make_unique<IrcSession>(m_vars);
        m_session->setServer(QStringLiteral("127.0.0.1"), m_server->port());
        m_desktopHasTray = true;
        m_tray = std::make_unique<TrayIcon>();
        m_tray->setAvailabilityCheck([this] { return m_desktopHasTray; });
        m_window = std::make_unique<ChannelWindow>(*m_session, m_tray.get());
        m_window->show();
        m_session->ConnectToServer();
        QVERIFY(m_server->acceptClient());
        QVERIFY(m_server->receivedUntil("\r\n").endsWith("\r\n"));
        m_server->clearReceived();
    }

    void stopRoom()
    {
        m_window.reset();
        m_tray.reset();
        m_session.reset();
        m_server.reset();
    }

    template<typename T> T *child(const char *name)
    {
        return m_window->findChild<T *>(QString::fromLatin1(name));
    }

    QTemporaryDir m_settingsDir;
    SessionVariables m_vars;
    std::unique_ptr<ScriptedServer> m_server;
    std::unique_ptr<IrcSession> m_session;
    std::unique_ptr<TrayIcon> m_tray;
    bool m_desktopHasTray = true;
    std::unique_ptr<ChannelWindow> m_window;
};
