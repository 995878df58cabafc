#include "channel/channelmenus.h"
#include "chat/chatview.h"
#include "chat/findbar.h"
#include "roomwindowfixture.h"
#include "text/chatbuffer.h"

#include <QAction>
#include <QLineEdit>
#include <QtTest>

#include <algorithm>

namespace {

bool activate(QWidget *window)
{
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

} // namespace

// Finding text and the unread marker in the room window and a private window, as the user
// meets them: the keys, and lines from the server.
class TestRoomFind : public QObject, public RoomWindowFixture
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void ctrlFSharedWithConnect_data();
    void ctrlFSharedWithConnect();
    void privateWindowFinds();
    void roomMarksLinesThatCameWhileAway();
};

void TestRoomFind::initTestCase()
{
    useScratchSettings();
}

void TestRoomFind::init()
{
    startRoom();
    QVERIFY(activate(m_window.get()));
}

void TestRoomFind::cleanup()
{
    stopRoom();
}

void TestRoomFind::ctrlFSharedWithConnect_data()
{
    QTest::addColumn<bool>("disconnected");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("barOpens");

    QTest::newRow("connected, room view") << false << "datain" << true;
    QTest::newRow("connected, input box") << false << "dataout" << true;
    QTest::newRow("disconnected, room view") << true << "datain" << true;
    QTest::newRow("disconnected, input box: connects") << true << "dataout" << false;
}

void TestRoomFind::ctrlFSharedWithConnect()
{
    QFETCH(bool, disconnected);
    QFETCH(QString, focus);
    QFETCH(bool, barOpens);
    QAction *connectAction = m_window->menus().connect;
    if (disconnected)
        m_window->menus().disconnect->trigger();
    QCOMPARE(connectAction->isEnabled(), disconnected);
    QSignalSpy connectTriggered(connectAction, &QAction::triggered);
    auto *start = m_window->findChild<QWidget *>(focus);
    start->setFocus();
    QTRY_VERIFY(start->hasFocus());

    QTest::keyClick(start, Qt::Key_F, Qt::ControlModifier);
    auto *bar = child<FindBar>("findbar");
    QCOMPARE(bar->isVisible(), barOpens);
    QCOMPARE(connectTriggered.size(), barOpens ? 0 : 1);
    if (barOpens) {
        QVERIFY(child<QLineEdit>("txtfind")->hasFocus());
        QTest::keyClick(child<QLineEdit>("txtfind"), Qt::Key_Escape);
        QVERIFY(start->hasFocus());
    }
}

void TestRoomFind::privateWindowFinds()
{
    m_server->exchange(":bob!b@h PRIVMSG alice :hello there\r\n");
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto opened = std::find_if(windows.begin(), windows.end(), [](const QWidget *window) {
        return window->objectName() == u"frmprvmsg" && window->isVisible();
    });
    QVERIFY(opened != windows.end());
    QWidget *conversation = *opened;
    QVERIFY(activate(conversation));
    auto *input = conversation->findChild<QLineEdit *>(QStringLiteral("txtprvtosnd"));
    input->setFocus();
    QTRY_VERIFY(input->hasFocus());

    QTest::keyClick(input, Qt::Key_F, Qt::ControlModifier);
    auto *box = conversation->findChild<QLineEdit *>(QStringLiteral("txtfind"));
    QVERIFY(box && box->isVisible() && box->hasFocus());
    QTest::keyClicks(box, QStringLiteral("THERE"));
    auto *view = conversation->findChild<ChatView *>(QStringLiteral("txtprvmsg"));
    QCOMPARE(view->currentSearchMatch(), (ChatMatch{1, 15, 5})); // " < bob > hello there"
    QVERIFY(!child<FindBar>("findbar")->isVisible());            // the room's own bar stays shut
}

void TestRoomFind::roomMarksLinesThatCameWhileAway()
{
    auto *room = child<ChatView>("datain");
    QWidget elsewhere;
    elsewhere.show();
    QVERIFY(activate(&elsewhere));
    const int seen = room->buffer()->lineCount();
    m_server->exchange(":bob!b@h PRIVMSG #velmora :one\r\n:carol!c@h PRIVMSG #velmora :two\r\n");
    QCOMPARE(room->buffer()->lineCount(), seen + 2);

    QVERIFY(activate(m_window.get()));
    QCOMPARE(room->unreadMarkerLine(), seen);
    QVERIFY(activate(&elsewhere));
    QCOMPARE(room->unreadMarkerLine(), -1);
}

QTEST_MAIN(TestRoomFind)
#include "tst_roomfind.moc"
