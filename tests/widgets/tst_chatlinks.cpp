#include "chat/chatview.h"
#include "irc/ircsession.h"
#include "private/conversationwindow.h"
#include "private/conversationwindows.h"
#include "roomwindowfixture.h"
#include "text/appendformatted.h"
#include "text/chatbuffer.h"
#include "util/ircbackground.h"
#include "util/linkopener.h"

#include <QHelpEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

// Addresses in conversation views: drawn as links, a hand and the address over them, opened by
// a click (a drag selects instead), and what the room and private windows do with a click.
class TestLinks : public QObject, public RoomWindowFixture
{
    Q_OBJECT
private slots:
    void initTestCase() { useScratchSettings(); }
    void clickOpensTheAddressUnderTheMouse_data();
    void clickOpensTheAddressUnderTheMouse();
    void hoverShowsHandAndAddress();
    void dragFromLinkSelectsAndOpensNothing();
    void linksAreUnderlinedInTheLinkColour();
    void lightLinkColourIsDarkenedOnWhite();
    void colourIsMadeReadableOnItsBackground_data();
    void colourIsMadeReadableOnItsBackground();
    void roomWindowOpensJoinsOrStarts_data();
    void roomWindowOpensJoinsOrStarts();
    void privateWindowOpensLinks();
};

namespace {

// A shown view with one line in it.
struct LinkView
{
    ChatBuffer buffer;
    ChatView view;

    explicit LinkView(const QString &line)
    {
        view.setBuffer(&buffer);
        view.resize(420, 120);
        view.show();
        AppendFormatted(buffer, line);
        QTest::qWait(50); // lines are taken in once per display frame
    }
};

// The middle of the character at offset in line, in viewport coordinates.
QPoint pointOf(const ChatView &view, int line, int offset)
{
    return view.characterRect(view.textIndex().lineStart(line) + offset).center();
}

// Where the first occurrence of part is drawn in the view's last line.
QPoint pointOfText(const ChatView &view, const QString &part)
{
    const int line = view.textIndex().lineCount() - 1;
    const int offset = int(view.buffer()->lineText(line).indexOf(part));
    return pointOf(view, line, offset);
}

} // namespace

void TestLinks::clickOpensTheAddressUnderTheMouse_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("clicked"); // text clicked on; empty: past the end of the line
    QTest::addColumn<QString>("opened");  // empty: nothing

    const QString sentence = u"\x02<bob>\x02 see \x03"
                             "4http://a.example/p?q=1. now"_qs;
    QTest::newRow("formatted link") << sentence << u"example"_qs << u"http://a.example/p?q=1"_qs;
    QTest::newRow("trailing full stop") << sentence << u". now"_qs << QString();
    QTest::newRow("text beside") << sentence << u"see"_qs << QString();
    QTest::newRow("www in brackets") << u"(www.b.example)"_qs << u"b.ex"_qs << u"www.b.example"_qs;
    QTest::newRow("unopened bracket") << u"(www.b.example)"_qs << u")"_qs << QString();
    QTest::newRow("past the end of a line ending in a link")
        << u"go ftp://c.example"_qs << QString() << QString();
}

void TestLinks::clickOpensTheAddressUnderTheMouse()
{
    QFETCH(QString, line);
    QFETCH(QString, clicked);
    QFETCH(QString, opened);
    LinkView v(line);
    QVERIFY(QTest::qWaitForWindowExposed(&v.view));
    QSignalSpy activated(&v.view, &ChatView::linkActivated);
    const QPoint at = clicked.isEmpty() ? QPoint(v.view.viewport()->width() - 5,
                                                 pointOfText(v.view, u"go"_qs).y())
                                        : pointOfText(v.view, clicked);
    QTest::mouseClick(v.view.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(activated.size() == 1 ? activated.first().first().toString() : QString(), opened);
    QVERIFY(activated.size() <= 1);
    QVERIFY(!v.view.hasSelection());
}

void TestLinks::hoverShowsHandAndAddress()
{
    LinkView v(u"read www.d.example/x or not"_qs);
    QVERIFY(QTest::qWaitForWindowExposed(&v.view));
    QWidget *viewport = v.view.viewport();
    const struct
    {
        QString over;
        Qt::CursorShape cursor;
        QString tip;
    } cases[] = {{u"d.ex"_qs, Qt::PointingHandCursor, u"http://www.d.example/x"_qs},
                 {u"read"_qs, Qt::IBeamCursor, QString()},
                 {u"/x"_qs, Qt::PointingHandCursor, u"http://www.d.example/x"_qs},
                 {u"or"_qs, Qt::IBeamCursor, QString()}};
    for (const auto &c : cases) {
        const QPoint at = pointOfText(v.view, c.over);
        QTest::mouseMove(viewport, at);
        QCOMPARE(viewport->cursor().shape(), c.cursor);
        QHelpEvent help(QEvent::ToolTip, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &help);
        QTRY_COMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), c.tip);
    }
}

void TestLinks::dragFromLinkSelectsAndOpensNothing()
{
    LinkView v(u"at https://e.example/long/path here"_qs);
    QVERIFY(QTest::qWaitForWindowExposed(&v.view));
    QSignalSpy activated(&v.view, &ChatView::linkActivated);
    const QPoint from = pointOfText(v.view, u"e.example"_qs);
    const QPoint to = pointOfText(v.view, u"here"_qs);
    QTest::mousePress(v.view.viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(v.view.viewport(), (from + to) / 2);
    QTest::mouseMove(v.view.viewport(), to);
    QTest::mouseRelease(v.view.viewport(), Qt::LeftButton, {}, to);
    QCOMPARE(activated.size(), 0);
    QVERIFY2(v.view.selectedText().startsWith(u"e.example/long/path"_qs),
             qPrintable(v.view.selectedText()));

    // Back onto the link and released there: still a drag, not a click.
    QTest::mousePress(v.view.viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(v.view.viewport(), to);
    QTest::mouseMove(v.view.viewport(), from + QPoint(1, 0));
    QTest::mouseRelease(v.view.viewport(), Qt::LeftButton, {}, from + QPoint(1, 0));
    QCOMPARE(activated.size(), 0);
}

void TestLinks::linksAreUnderlinedInTheLinkColour()
{
    LinkView v(u"\x03"
               "4red http://f.example red"_qs);
    QVERIFY(QTest::qWaitForWindowExposed(&v.view));
    const QRgb link = v.view.palette().color(QPalette::Link).rgb();
    const QImage image = v.view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect linkBox = v.view.characterRect(3).united(v.view.characterRect(20));
    QRect linkPixels;
    int redPixels = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y) & RGB_MASK;
            if (pixel == (link & RGB_MASK))
                linkPixels |= QRect(x, y, 1, 1);
            redPixels += pixel == (qRgb(255, 0, 0) & RGB_MASK) && linkBox.contains(x, y);
        }
    }
    QVERIFY(!linkPixels.isEmpty());
    QVERIFY2(linkBox.adjusted(-1, -1, 1, 3).contains(linkPixels), "link colour outside the link");
    // The underline: a row of link colour across the address, below its letters' middle.
    bool underlined = false;
    for (int y = linkBox.center().y(); y <= linkPixels.bottom(); ++y) {
        int run = 0;
        for (int x = linkBox.left(); x <= linkBox.right(); ++x)
            run += (image.pixel(x, y) & RGB_MASK) == (link & RGB_MASK);
        underlined = underlined || run > linkBox.width() * 3 / 4;
    }
    QVERIFY(underlined);
    QCOMPARE(redPixels, 0);
}

void TestLinks::lightLinkColourIsDarkenedOnWhite()
{
    const QColor light(140, 200, 255);
    const QColor readable = readableOnWhite(light);
    QVERIFY(readable.lightness() < light.lightness());
    QVERIFY(qAbs(readable.hslHue() - light.hslHue()) <= 2);
    QVERIFY(contrastRatio(readable, Qt::white) >= 4.5);
    QCOMPARE(readableOnWhite(QColor(0, 0, 255)), QColor(0, 0, 255));

    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Link, light);
    QApplication::setPalette(palette);
    ChatView view;
    QCOMPARE(view.palette().color(QPalette::Link), readable);
    QApplication::setPalette(QPalette());
}

void TestLinks::colourIsMadeReadableOnItsBackground_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<int>("lightness"); // -1 darker, 0 kept, 1 lighter

    QTest::newRow("readable on white") << QColor(0, 99, 0) << QColor(Qt::white) << 0;
    QTest::newRow("light on white") << QColor(255, 200, 0) << QColor(Qt::white) << -1;
    QTest::newRow("dark green on dark grey") << QColor(0, 99, 0) << QColor(43, 43, 43) << 1;
    QTest::newRow("navy on black") << QColor(0, 0, 127) << QColor(Qt::black) << 1;
    QTest::newRow("light on dark") << QColor(200, 255, 200) << QColor(43, 43, 43) << 0;
    QTest::newRow("grey on mid grey") << QColor(128, 128, 128) << QColor(160, 160, 160) << -1;
    QTest::newRow("white on white") << QColor(Qt::white) << QColor(Qt::white) << -1;
    QTest::newRow("black on black") << QColor(Qt::black) << QColor(Qt::black) << 1;
}

void TestLinks::colourIsMadeReadableOnItsBackground()
{
    QFETCH(QColor, colour);
    QFETCH(QColor, background);
    QFETCH(int, lightness);
    const QColor readable = readableOn(colour, background);
    QVERIFY2(contrastRatio(readable, background) >= 4.5, qPrintable(readable.name()));
    if (lightness == 0)
        QCOMPARE(readable, colour);
    else
        QCOMPARE(readable.lightness() > colour.lightness(), lightness > 0);
    if (colour.hslSaturation() > 0 && lightness != 0)
        QVERIFY(qAbs(readable.hslHue() - colour.hslHue()) <= 2);
}

void TestLinks::roomWindowOpensJoinsOrStarts_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("browser");
    QTest::addColumn<QString>("instance");
    QTest::addColumn<QByteArray>("sent");

    QTest::newRow("web") << u"https://g.example/a"_qs << u"https://g.example/a"_qs << QString()
                         << QByteArray();
    QTest::newRow("this room") << u"irc://127.0.0.1/velmora"_qs << QString() << QString()
                               << QByteArray("JOIN #velmora\n");
    QTest::newRow("other room") << u"irc://127.0.0.1/fun_club"_qs << QString()
                                << u"irc://127.0.0.1/fun_club"_qs << QByteArray();
    QTest::newRow("other network") << u"ircs://irc.example.net:6697/%23velmora"_qs << QString()
                                   << u"ircs://irc.example.net:6697/%23velmora"_qs << QByteArray();
}

void TestLinks::roomWindowOpensJoinsOrStarts()
{
    QFETCH(QString, address);
    QFETCH(QString, browser);
    QFETCH(QString, instance);
    QFETCH(QByteArray, sent);
    startRoom();
    QString opened, started;
    LinkOpener &opener = m_window->linkOpener();
    opener.openInBrowser = [&](const QUrl &url) { opened = url.toString(); };
    opener.startInstance = [&](const QString &argument) { started = argument; };

    m_server->send(":bob!b@h PRIVMSG #velmora :try " + address.toUtf8() + "\r\n");
    ChatView *view = m_window->roomView();
    QTRY_VERIFY(view->buffer()->lineText(view->buffer()->lineCount() - 1).contains(address));
    QTest::qWait(50);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, pointOfText(*view, address.mid(8)));

    QCOMPARE(opened, browser);
    QCOMPARE(started, instance);
    if (!sent.isEmpty())
        QCOMPARE(m_server->receivedUntil(sent), sent);
    stopRoom();
}

void TestLinks::privateWindowOpensLinks()
{
    startRoom();
    QString opened;
    m_window->conversations().linkOpener().openInBrowser = [&](const QUrl &url) {
        opened = url.toString();
    };
    m_server->send(":bob!b@h PRIVMSG alice :look at www.h.example/\r\n");
    QTRY_VERIFY(m_window->conversations().existing(0) &&
                m_window->conversations().existing(0)->isVisible());
    auto *view = m_window->conversations().existing(0)->findChild<ChatView *>(u"txtprvmsg"_qs);
    QVERIFY(view);
    QVERIFY(QTest::qWaitForWindowExposed(view));
    QTRY_VERIFY(!pointOfText(*view, u"h.example"_qs).isNull());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, pointOfText(*view, u"h.example"_qs));
    QCOMPARE(opened, u"http://www.h.example/"_qs);
    stopRoom();
}

QTEST_MAIN(TestLinks)
#include "tst_chatlinks.moc"
