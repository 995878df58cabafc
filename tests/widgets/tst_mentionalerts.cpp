#include "channel/mentionalerts.h"
#include "chat/chatview.h"
#include "roomwindowfixture.h"
#include "startuptesting.h"
#include "text/chatbuffer.h"
#ifdef VELMORA_HAVE_DBUS
#include "util/freedesktopnotifier.h"
#endif

#include <QAction>
#include <QSignalSpy>
#include <QtTest>

namespace {

// Every notification asked of the desktop, as "summary|body".
class RecordingNotifier : public DesktopNotifier
{
public:
    explicit RecordingNotifier(QStringList &sent) : m_sent(sent) {}
    void notify(const QString &summary, const QString &body) override
    {
        m_sent << summary + u'|' + body;
    }

private:
    QStringList &m_sent;
};

const QString PlainTip = TrayIcon::tipField(QStringLiteral("--<<|Velmora Messenger|>>--"));

} // namespace

// Room lines that name the user: highlighted in the view, and while the room window is not
// active, an alert, a count in the tray icon's tip and a desktop notification.
class TestMentionAlerts : public QObject, public RoomWindowFixture
{
    Q_OBJECT
private slots:
    void initTestCase() { useScratchSettings(); }
    void init();
    void cleanup() { stopRoom(); }
    void mentionWhileAway();
    void mentionWhileActive();
    void notificationsSwitchedOffAndRemembered();
    void floodIsBounded();
    void highlightIsDrawn();
#ifdef VELMORA_HAVE_DBUS
    void notificationBodyIsPlainAndBounded_data();
    void notificationBodyIsPlainAndBounded();
#endif

private:
    void leaveWindow();
    QAction *notifySwitch()
    {
        return child<QAction>("mnunotifymentions");
    }

    QWidget m_otherWindow;
    QStringList m_sent;
};

void TestMentionAlerts::init()
{
    startRoom();
    m_sent.clear();
    m_window->mentionAlerts().notifier().setDesktop(std::make_unique<RecordingNotifier>(m_sent));
}

// Another window of the program takes the focus, as when the user works elsewhere.
void TestMentionAlerts::leaveWindow()
{
    QVERIFY(startuptest::showActive(&m_otherWindow));
    QTRY_VERIFY(!m_window->isActiveWindow());
}

void TestMentionAlerts::mentionWhileAway()
{
    leaveWindow();
    QSignalSpy alerts(&m_window->mentionAlerts(), &MentionAlerts::alerted);
    ChatBuffer &room = *m_window->roomView()->buffer();
    const int first = room.lineCount();
    m_server->exchange(":bob!b@h PRIVMSG #velmora :hi Alice!\r\n"
                       ":alice!a@h PRIVMSG #velmora :alice echoed\r\n"
                       ":bob!b@h PRIVMSG #velmora :malice\r\n"
                       ":bob!b@h PRIVMSG alice :alice, in private\r\n");
    QTRY_COMPARE(room.lineCount(), first + 3);
    QCOMPARE(room.isHighlighted(first), true);
    QCOMPARE(room.isHighlighted(first + 1), false);
    QCOMPARE(room.isHighlighted(first + 2), false);
    QCOMPARE(alerts.count(), 1);
    QCOMPARE(m_sent, QStringList{u"bob|hi Alice!"_qs});
    QCOMPARE(m_tray->toolTip(), PlainTip + u" \u2014 1 unseen mention"_qs);

    m_server->exchange(":bob!b@h PRIVMSG #velmora :\x01"
                       "ACTION pokes alice\x01\r\n");
    QTRY_COMPARE(m_tray->toolTip(), PlainTip + u" \u2014 2 unseen mentions"_qs);

    m_window->activateWindow();
    QTRY_VERIFY(m_window->isActiveWindow());
    QCOMPARE(m_window->mentionAlerts().unseen(), 0);
    QCOMPARE(m_tray->toolTip(), PlainTip);
}

void TestMentionAlerts::mentionWhileActive()
{
    QVERIFY(startuptest::showActive(m_window.get()));
    QSignalSpy alerts(&m_window->mentionAlerts(), &MentionAlerts::alerted);
    ChatBuffer &room = *m_window->roomView()->buffer();
    m_server->exchange(":bob!b@h PRIVMSG #velmora :alice: look\r\n");
    QTRY_VERIFY(room.lineCount() > 0 && room.isHighlighted(room.lineCount() - 1));
    QCOMPARE(alerts.count(), 0);
    QCOMPARE(m_sent, QStringList());
    QCOMPARE(m_tray->toolTip(), PlainTip);
}

void TestMentionAlerts::notificationsSwitchedOffAndRemembered()
{
    QVERIFY(notifySwitch()->isCheckable());
    QCOMPARE(notifySwitch()->isChecked(), true); // on until the user says otherwise
    notifySwitch()->trigger();
    QCOMPARE(LoadSetting(u"Store"_qs, u"notifymentions"_qs).toString(), u"0"_qs);

    leaveWindow();
    QSignalSpy alerts(&m_window->mentionAlerts(), &MentionAlerts::alerted);
    m_server->exchange(":bob!b@h PRIVMSG #velmora :alice?\r\n");
    QTRY_COMPARE(alerts.count(), 1); // the task bar and the tip still tell
    QCOMPARE(m_sent, QStringList());

    stopRoom();
    startRoom();
    QCOMPARE(notifySwitch()->isChecked(), false);
    notifySwitch()->trigger();
    QCOMPARE(LoadSetting(u"Store"_qs, u"notifymentions"_qs).toString(), u"1"_qs);
}

void TestMentionAlerts::floodIsBounded()
{
    m_window->mentionAlerts().notifier().setInterval(300);
    leaveWindow();
    QByteArray flood;
    for (int i = 0; i < 1000; ++i)
        flood += ":bob!b@h PRIVMSG #velmora :alice " + QByteArray::number(i) + "\r\n";
    m_server->exchange(flood);
    QTRY_COMPARE(m_window->mentionAlerts().unseen(), int(MentionAlerts::CountedMentions));
    QCOMPARE(m_tray->toolTip(), PlainTip + u" \u2014 99+ unseen mentions"_qs);
    QCOMPARE(m_sent, QStringList{u"bob|alice 0"_qs});
    // The rest go out as one, after the interval, and nothing more follows.
    QTRY_COMPARE(m_sent.size(), 2);
    QCOMPARE(m_sent.last(), u"99+ more mentions|bob: alice 999"_qs);
    QTest::qWait(700);
    QCOMPARE(m_sent.size(), 2);

    // A single mention held back goes out as itself.
    m_server->exchange(":ann!b@h PRIVMSG #velmora :alice one\r\n");
    QTRY_COMPARE(m_sent.size(), 3);
    m_server->exchange(":ann!b@h PRIVMSG #velmora :alice two\r\n");
    QTRY_COMPARE(m_sent.size(), 4);
    QCOMPARE(m_sent.mid(2), (QStringList{u"ann|alice one"_qs, u"ann|alice two"_qs}));
}

void TestMentionAlerts::highlightIsDrawn()
{
    ChatView *view = m_window->roomView();
    ChatBuffer &room = *view->buffer();
    m_server->exchange(":bob!b@h PRIVMSG #velmora :plain\r\n:bob!b@h PRIVMSG #velmora :alice!\r\n");
    QTRY_VERIFY(room.lineCount() >= 2 && room.lineText(room.lineCount() - 1).endsWith(u"alice!"));
    const int mention = room.lineCount() - 1;
    QTRY_VERIFY(!view->lineRect(mention).isNull());
    const QImage shot = view->viewport()->grab().toImage();
    const auto colourAt = [&](int line) {
        const QRect rect = view->lineRect(line);
        return shot.pixelColor(rect.right() - 2, rect.center().y());
    };
    QCOMPARE(colourAt(mention - 1), QColor(Qt::white));
    const QColor highlight = colourAt(mention);
    QVERIFY2(highlight != QColor(Qt::white) && highlight.lightness() > 200,
             qPrintable(highlight.name()));
}

#ifdef VELMORA_HAVE_DBUS
void TestMentionAlerts::notificationBodyIsPlainAndBounded_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("sent");
    QTest::newRow("plain") << "hi alice"
                           << "hi alice";
    QTest::newRow("markup escaped") << "<b>alice</b> & co"
                                    << "&lt;b&gt;alice&lt;/b&gt; &amp; co";
    QTest::newRow("cut") << QString(400, u'a') << QString(300, u'a') + QChar(0x2026);
}

void TestMentionAlerts::notificationBodyIsPlainAndBounded()
{
    QFETCH(QString, body);
    QTEST(FreedesktopNotifier::bodyText(body), "sent");
}
#endif

QTEST_MAIN(TestMentionAlerts)
#include "tst_mentionalerts.moc"
