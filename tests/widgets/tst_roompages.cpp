#include "channel/channellayout.h"
#include "channel/channelpresenter.h"
#include "channel/channelwindow.h"
#include "channel/linkpage.h"
#include "controls/sablecoolbutton.h"
#include "dialogs/todaywindow.h"
#include "roomwindowfixture.h"
#include "session/linkpages.h"
#include "util/twips.h"

#include <QLabel>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>
#include <QWebEngineView>

// The room window's layout, its tabs and the web pages behind them.
class TestRoomPages : public QObject, public RoomWindowFixture
{
    Q_OBJECT
private slots:
    void initTestCase() { useScratchSettings(); }
    void init() { startRoom(); }
    void cleanup() { stopRoom(); }
    void layoutAtDesignSize();
    void minimumSizeSnapsBack();
    void tabsShowTheChatControlsOnlyOnChat();
    void everyTabCarriesItsOwnPicture();
    void linkPageRotation();
    void homeLinkLoadsItsPage();
};

void TestRoomPages::layoutAtDesignSize()
{
    const Twips t = m_window->twips();
    QCOMPARE(t.perPixelX, 15.0); // the offscreen screen has 96 dots per inch
    // The rules work on the outer size, frame included.
    const QSize frame = m_window->frameGeometry().size() - m_window->size();
    m_window->resize(QSize(t.toPixelsX(9135), t.toPixelsY(9000)) - frame);
    QCOMPARE(m_window->frameGeometry().size(), QSize(609, 600));
    QCOMPARE(m_window->element("datain")->geometry(), t.toPixels(QRect(120, 405, 6645, 6900)));
    QCOMPARE(m_window->element("lstnicks")->geometry(), t.toPixels(QRect(6835, 405, 2040, 6600)));
    QCOMPARE(m_window->element("dataout")->geometry(), t.toPixels(QRect(120, 7370, 6135, 330)));
    QCOMPARE(m_window->element("cmdsend")->geometry().topLeft(), QPoint(421, 491));
    QVERIFY(qobject_cast<SableCoolButton *>(m_window->element("cmdsend")));
}

void TestRoomPages::minimumSizeSnapsBack()
{
    const QSize frame = m_window->frameGeometry().size() - m_window->size();
    m_window->resize(300, 200);
    QCOMPARE(m_window->frameGeometry().size(), QSize(566, 466));
    m_window->resize(QSize(700, 300) - frame);
    QCOMPARE(m_window->frameGeometry().size(), QSize(700, 466));
}

void TestRoomPages::tabsShowTheChatControlsOnlyOnChat()
{
    const QStringList controls{"shapetop4", "topic",        "rtbtopic", "datain",
                               "dataout",   "shapenicktop", "lstnicks", "lblcolortitle",
                               "chkbold",   "chkunder",     "cmdsend",  "lblusers"};
    auto *tabs = child<QTabWidget>("Tab1");
    QCOMPARE(tabs->tabText(1), u"Chat"_qs);
    QCOMPARE(tabs->currentIndex(), 1);
    m_window->element("datain")->hide(); // whatever the state before, "Chat" shows them all
    for (int tab : {0, 2, 3, 4}) {
        tabs->setCurrentIndex(tab);
        for (const QString &name : controls)
            QVERIFY2(m_window->element(name)->isHidden(), qPrintable(name));
        tabs->setCurrentIndex(1);
        for (const QString &name : controls)
            QVERIFY2(!m_window->element(name)->isHidden(), qPrintable(name));
    }
    QCOMPARE((QStringList{tabs->tabText(0), tabs->tabText(2), tabs->tabText(3), tabs->tabText(4)}),
             (QStringList{"Home", "Google", "Entertainment", "Links"}));
}

void TestRoomPages::everyTabCarriesItsOwnPicture()
{
    auto *tabs = child<QTabWidget>("Tab1");
    QSet<QByteArray> pictures;
    for (int tab = 0; tab < tabs->count(); ++tab) {
        const QImage picture = tabs->tabIcon(tab).pixmap(16, 16).toImage();
        QVERIFY2(!picture.isNull(), qPrintable(tabs->tabText(tab)));
        int drawn = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                drawn += qAlpha(picture.pixel(x, y)) > 0;
        QVERIFY2(drawn > 30, qPrintable(tabs->tabText(tab)));
        pictures.insert(
            QByteArray(reinterpret_cast<const char *>(picture.constBits()), picture.sizeInBytes()));
    }
    QCOMPARE(pictures.size(), tabs->count());
}

void TestRoomPages::linkPageRotation()
{
    LinkPages::setBase(QUrl(QStringLiteral("http://127.0.0.1:9/")));
    QSignalSpy loads(m_window.get(), &ChannelWindow::todayPageLoadRequested);
    QSignalSpy shows(m_window.get(), &ChannelWindow::todayPageShowRequested);
    m_window->setLinkRotationInterval(5);
    QTRY_COMPARE(shows.count(), 1);
    QCOMPARE(loads.count(), 1);
    QCOMPARE(m_window->linkRotationCount(), 7);
    QVERIFY(!m_window->linkRotationActive());
    QTest::qWait(50);
    QCOMPARE(shows.count(), 1); // never again
    const LinkPages::Page pages[] = {LinkPages::Home, LinkPages::Search, LinkPages::Entertainment,
                                     LinkPages::Links};
    // Hidden pages keep their address until they are looked at, and only then start a web view.
    for (int page = 0; page < 4; ++page) {
        QVERIFY(!m_window->linkPage(page)->hasView());
        QCOMPARE(m_window->linkPage(page)->url(), LinkPages::url(pages[page]));
    }
    auto *tabs = m_window->findChild<QTabWidget *>(QStringLiteral("Tab1"));
    tabs->setCurrentWidget(m_window->linkPage(2));
    QVERIFY(m_window->linkPage(2)->hasView());
    QCOMPARE(m_window->linkPage(2)->view()->url(), LinkPages::url(pages[2]));
    QVERIFY(!m_window->linkPage(0)->hasView());
    tabs->setCurrentIndex(1);
    QVERIFY(m_window->todayWindow() && m_window->todayWindow()->isVisible());
    LinkPages::setBase(QUrl());
}

void TestRoomPages::homeLinkLoadsItsPage()
{
    LinkPages::setBase(QUrl(QStringLiteral("http://127.0.0.1:9/")));
    ChannelWindow window(*m_session);
    auto *home = window.findChild<QLabel *>(QStringLiteral("imghome3"));
    QVERIFY(home);
    window.show();
    window.findChild<QTabWidget *>(QStringLiteral("Tab1"))->setCurrentWidget(window.linkPage(2));
    emit home->linkActivated(QStringLiteral("home"));
    QVERIFY(window.linkPage(2)->hasView());
    QCOMPARE(window.linkPage(2)->view()->url(), LinkPages::url(LinkPages::Entertainment));
    QVERIFY(!window.linkPage(0)->hasView());
    // Browser buttons of a page that never loaded do nothing.
    QTest::mouseClick(window.findChild<QToolButton *>(QStringLiteral("imgweb13")), Qt::LeftButton);
    QVERIFY(!window.linkPage(0)->hasView());
    LinkPages::setBase(QUrl());
    m_session->setPresenter(&m_window->presenter());
}

QTEST_MAIN(TestRoomPages)
#include "tst_roompages.moc"
