#include "channel/channelpresenter.h"
#include "roomwindowfixture.h"

#include <QAction>
#include <QMenu>

using namespace std::chrono_literals;

// The "&Reconnect Automatically" switch of the room window: off at first, remembered, and with
// it on, the menus while a retry waits.
class TestReconnectSetting : public QObject, public RoomWindowFixture
{
    Q_OBJECT
private slots:
    void initTestCase() { useScratchSettings(); }
    void init() { startRoom(); }
    void cleanup() { stopRoom(); }
    void switchIsRemembered();
    void disconnectStopsAWaitingRetry();
};

void TestReconnectSetting::switchIsRemembered()
{
    QAction *toggle = m_window->menus().reconnect;
    QCOMPARE(toggle->objectName(), u"mnureconnect"_qs);
    QCOMPARE(toggle->text(), u"&Reconnect Automatically"_qs);
    QVERIFY(m_window->menus().settings->actions().contains(toggle));
    QVERIFY(toggle->isCheckable());
    QVERIFY(!toggle->isChecked());
    QVERIFY(!m_session->reconnector().isEnabled());

    toggle->trigger();
    QVERIFY(m_session->reconnector().isEnabled());
    m_session->reconnector().setEnabled(false); // the next window sets it again from the store
    {
        ChannelWindow another(*m_session);
        QVERIFY(another.menus().reconnect->isChecked());
        QVERIFY(m_session->reconnector().isEnabled());
    }
    toggle->trigger();
    QVERIFY(!m_session->reconnector().isEnabled());
    {
        ChannelWindow later(*m_session);
        QVERIFY(!later.menus().reconnect->isChecked());
        QVERIFY(!m_session->reconnector().isEnabled());
    }
    m_session->setPresenter(&m_window->presenter()); // the other windows took it and let it go
}

void TestReconnectSetting::disconnectStopsAWaitingRetry()
{
    QAction *connectItem = m_window->menus().connect;
    QAction *disconnectItem = m_window->menus().disconnect;
    m_window->menus().reconnect->trigger();
    m_session->reconnector().setWaitFunction([](std::chrono::milliseconds) { return 1h; });
    m_server->closeClient();
    QTRY_VERIFY(m_session->reconnector().isWaiting());
    QVERIFY(connectItem->isEnabled());
    QVERIFY(disconnectItem->isEnabled());

    disconnectItem->trigger();
    QVERIFY(!m_session->reconnector().isWaiting());
    QVERIFY(connectItem->isEnabled());
    QVERIFY(!disconnectItem->isEnabled());
    const ChatBuffer &room = m_session->roomView();
    QCOMPARE(room.lineText(room.lineCount() - 1), u" *** Automatic reconnect stopped."_qs);
    m_window->menus().reconnect->trigger(); // leave the stored switch off
}

QTEST_MAIN(TestReconnectSetting)
#include "tst_reconnectsetting.moc"
