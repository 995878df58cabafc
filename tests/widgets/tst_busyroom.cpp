#include "channel/channelwindow.h"
#include "chat/chatview.h"
#include "irc/ircsession.h"
#include "platform/settingsstore.h"
#include "session/sessionvariables.h"
#include "support/scriptedserver.h"
#include "text/appendformatted.h"
#include "text/chatbuffer.h"

#include <QAbstractScrollArea>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

// A busy room: the lines are drawn a frame at a time, not one by one, and the parts of the
// window they do not change are not drawn again.
class TestBusyRoom : public QObject
{
    Q_OBJECT
private slots:
    void linesAreDrawnPerFrameAndNothingElseIs();
    void framesShowWhatAWholeDrawingShows_data();
    void framesShowWhatAWholeDrawingShows();
    void oldestLinesGoUnderTheReader();
    void textTooFastToReadJumpsAScreenfulAtATime_data();
    void textTooFastToReadJumpsAScreenfulAtATime();
};

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Paint;
        return false;
    }
};

// A chat view of a buffer of its own, shown.
struct ShownView
{
    ChatBuffer buffer;
    ChatView view;
    ShownView()
    {
        view.setBuffer(&buffer);
        view.resize(300, 300);
        view.show();
    }
    QImage onScreen() const { return view.screen()->grabWindow(view.winId()).toImage(); }
    // Whether the pixels on screen are what a drawing of the whole view from scratch leaves.
    bool showsAWholeDrawing()
    {
        const QImage drawn = onScreen();
        view.viewport()->repaint();
        return drawn == onScreen();
    }
};

} // namespace

void TestBusyRoom::linesAreDrawnPerFrameAndNothingElseIs()
{
    QTemporaryDir settings;
    SettingsStore::setCurrent(SettingsStore(settings.filePath(QStringLiteral("settings.json"))));
    SessionVariables vars{QStringLiteral("alice"), QString(), QStringLiteral("#velmora"), 0};
    ScriptedServer server;
    IrcSession session(vars);
    session.setServer(QStringLiteral("127.0.0.1"), server.port());
    ChannelWindow window(session);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    session.ConnectToServer();
    QVERIFY(server.acceptClient());
    server.exchange(":alice!a@h JOIN :#velmora\r\n:srv 353 alice = #velmora :@op alice bob\r\n"
                    ":srv 366 alice #velmora :End\r\n:srv 332 alice #velmora :the topic\r\n");
    QTest::qWait(300);

    PaintCounter room(window.roomView()->viewport());
    PaintCounter members(window.findChild<QAbstractScrollArea *>(u"lstnicks"_qs)->viewport());
    PaintCounter topic(window.findChild<QAbstractScrollArea *>(u"rtbtopic"_qs)->viewport());
    PaintCounter count(window.findChild<QLabel *>(u"lblusers"_qs));
    QScrollBar *bar = window.roomView()->verticalScrollBar();
    PaintCounter scrollBar(bar);
    QElapsedTimer clock;
    clock.start();

    // Lines arriving one by one, each handled as it comes, as in a busy room.
    constexpr int lineCount = 300;
    for (int i = 0; i < lineCount; ++i) {
        server.send(":bob!b@h PRIVMSG #velmora :line " + QByteArray::number(i) + "\r\n");
        QTest::qWait(1);
    }
    server.exchange(QByteArray());
    QTest::qWait(400);

    const ChatBuffer &buffer = *window.roomView()->buffer();
    QCOMPARE(buffer.lineText(buffer.lineCount() - 1), u" < bob > line 299"_qs);
    // At most one drawing per frame, however the lines come.
    QVERIFY2(room.count > 0 && room.count <= lineCount / 4,
             qPrintable(QString::number(room.count)));
    QCOMPARE(members.count, 0);
    QCOMPARE(topic.count, 0);
    QCOMPARE(count.count, 0);
    // The scroll bar of a view that follows the lines is drawn about once a second, and its
    // range catches up with every line once they stop.
    QVERIFY2(scrollBar.count <= clock.elapsed() / 1000 + 2,
             qPrintable(QString::number(scrollBar.count)));
    QTRY_COMPARE(bar->maximum() + bar->pageStep(), buffer.lineCount());
    QCOMPARE(bar->value(), bar->maximum());
}

void TestBusyRoom::framesShowWhatAWholeDrawingShows_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("linesPerFrame");
    QTest::newRow("lines that fit from the top") << 4 << 3;
    QTest::newRow("lines that fill the view") << 15 << 3;
    QTest::newRow("more lines a frame than fit") << 3 << 40;
}

// New lines are drawn by moving what is on screen; the pixels must end up as a drawing of the
// whole view from scratch would leave them.
void TestBusyRoom::framesShowWhatAWholeDrawingShows()
{
    QFETCH(int, frames);
    QFETCH(int, linesPerFrame);
    ShownView shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.view));

    int number = 0;
    for (int frame = 0; frame < frames; ++frame) {
        for (int i = 0; i < linesPerFrame; ++i)
            AppendFormatted(shown.buffer, u"\x02line\x02 "_qs + QString::number(number++));
        QTest::qWait(120);
    }
    QTest::qWait(400); // the last frame, however slow the machine
    QVERIFY(shown.showsAWholeDrawing());
}

// A room that talks for days keeps a bounded history; a reader scrolled back keeps the lines
// in front of them, and their selection, while the oldest lines go.
void TestBusyRoom::oldestLinesGoUnderTheReader()
{
    ChatBuffer buffer;
    buffer.setMaxLines(100);
    ChatView reading;
    ChatView following;
    for (ChatView *view : {&reading, &following}) {
        view->setBuffer(&buffer);
        view->resize(300, 200);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
    }
    for (int k = 0; k < 100; ++k)
        AppendFormatted(buffer, u"line %1"_qs.arg(k));
    QTest::qWait(400);
    reading.verticalScrollBar()->setValue(50);
    const int line60 = reading.textIndex().lineStart(60);
    reading.selectOffsets(line60, line60 + 7);
    QCOMPARE(reading.selectedText(), u"line 60"_qs);

    for (int k = 100; k < 120; ++k)
        AppendFormatted(buffer, u"line %1"_qs.arg(k));
    QTest::qWait(400);
    QCOMPARE(buffer.lineCount(), 98); // 11 went each time the 101st line came, twice
    QCOMPARE(buffer.lineText(reading.verticalScrollBar()->value()), u"line 50"_qs);
    QCOMPARE(reading.selectedText(), u"line 60"_qs);
    QVERIFY(following.isAtBottom());
    QVERIFY(following.viewport()->rect().contains(following.lineRect(97)));
}

void TestBusyRoom::textTooFastToReadJumpsAScreenfulAtATime_data()
{
    QTest::addColumn<int>("linesPerBatch");
    QTest::addColumn<int>("batchMs");
    QTest::addColumn<int>("batches");
    QTest::addColumn<int>("fewestFrames");
    QTest::addColumn<int>("mostFrames");
    // A line every 100 ms crosses the view in seconds: each is drawn as it comes, where jump
    // scrolling would draw at most 16 frames.
    QTest::newRow("readable") << 1 << 100 << 30 << 20 << 30;
    // 500 lines a second cross it many times a second: at most five whole screens a second.
    QTest::newRow("too fast to read") << 5 << 10 << 200 << 3 << 2000 / 200 + 3;
}

// Jump scrolling: text that scrolls faster than anyone can read is drawn a screenful at a time
// a few times a second, and the newest lines are still on screen when it stops.
void TestBusyRoom::textTooFastToReadJumpsAScreenfulAtATime()
{
    QFETCH(int, linesPerBatch);
    QFETCH(int, batchMs);
    QFETCH(int, batches);
    QFETCH(int, fewestFrames);
    QFETCH(int, mostFrames);
    ShownView shown;
    ChatBuffer &buffer = shown.buffer;
    ChatView &view = shown.view;
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    AppendFormatted(buffer, u"first"_qs);
    QTest::qWait(200);

    PaintCounter frames(view.viewport());
    QElapsedTimer clock;
    clock.start();
    int number = 0;
    for (int batch = 0; batch < batches; ++batch) {
        for (int i = 0; i < linesPerBatch; ++i)
            AppendFormatted(buffer, u"line "_qs + QString::number(number++));
        // Keeps the pace however long the drawing takes.
        QTest::qWait(int(std::max<qint64>(1, qint64(batch + 1) * batchMs - clock.elapsed())));
    }
    const int framesDuringLines = frames.count;
    QTest::qWait(400);

    QVERIFY2(framesDuringLines >= fewestFrames && framesDuringLines <= mostFrames,
             qPrintable(QString::number(framesDuringLines)));
    QVERIFY(view.isAtBottom());
    QVERIFY(view.viewport()->rect().contains(view.lineRect(buffer.lineCount() - 1)));
    QVERIFY(shown.showsAWholeDrawing());

    // After a pause, lines are drawn as they come again: three lines 80 ms apart would share
    // one frame if the view still jumped.
    frames.count = 0;
    for (int i = 0; i < 3; ++i) {
        AppendFormatted(buffer, u"after the pause "_qs + QString::number(i));
        QTest::qWait(80);
    }
    QTest::qWait(300);
    QVERIFY2(frames.count >= 2, qPrintable(QString::number(frames.count)));
}

QTEST_MAIN(TestBusyRoom)
#include "tst_busyroom.moc"
