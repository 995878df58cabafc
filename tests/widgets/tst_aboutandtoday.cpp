#include "channel/channelmenus.h"
#include "channel/channelwindow.h"
#include "controls/sablecoolbutton.h"
#include "dialogs/aboutdialog.h"
#include "dialogs/todaywindow.h"
#include "irc/ircsession.h"
#include "platform/settingsstore.h"
#include "session/linkpages.h"
#include "session/sessionvariables.h"

#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>
#include <QWebEngineView>

#include <memory>

namespace {

// A web server on loopback that serves every *.html path as a page titled after it, refuses
// everything else and remembers the paths asked for.
class LoopbackWebServer : public QTcpServer
{
public:
    LoopbackWebServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                auto head = std::make_shared<QByteArray>();
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket, head] {
                    *head += socket->readAll();
                    if (head->contains("\r\n\r\n"))
                        serve(socket, *head);
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        if (!listen(QHostAddress::LocalHost))
            qFatal("cannot listen on loopback: %s", qPrintable(errorString()));
    }

    QUrl base() const { return QUrl(u"http://127.0.0.1:%1/"_qs.arg(serverPort())); }
    static QString titleOf(const QString &file) { return u"Page "_qs + file; }
    const QStringList &requests() const { return m_requests; }

private:
    void serve(QTcpSocket *socket, const QByteArray &head)
    {
        const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
        const QString path =
            requestLine.size() > 1 ? QString::fromLatin1(requestLine[1]) : QString();
        m_requests.append(path);

        QByteArray status = "200 OK";
        QByteArray body;
        if (requestLine.value(0) == "GET" && path.endsWith(u".html")) {
            const QString title = titleOf(path.mid(1)).toHtmlEscaped();
            body = (u"<!DOCTYPE html><html><head><title>%1</title></head><body>%1</body></html>"_qs)
                       .arg(title)
                       .toUtf8();
        } else {
            status = "404 Not Found";
        }
        // no-store: showing the window again must not be able to hide a reload behind a cache.
        socket->write("HTTP/1.1 " + status +
                      "\r\nContent-Type: text/html; charset=utf-8\r\nCache-Control: no-store"
                      "\r\nConnection: close\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QStringList m_requests;
};

template<typename T> T *named(QWidget *parent, const char *name)
{
    T *child = parent->findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("%s has no %s", qPrintable(parent->objectName()), name);
    return child;
}

bool showAndActivate(QWidget *window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

template<typename T> bool unloaded(const QPointer<T> &window)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return window.isNull();
}

} // namespace

class TestAboutAndToday : public QObject
{
    Q_OBJECT
private slots:
    void aboutBoxTexts_data();
    void aboutBoxTexts();
    void aboutBoxSaysWhetherEncrypted_data();
    void aboutBoxSaysWhetherEncrypted();
    void aboutBoxUnloads_data();
    void aboutBoxUnloads();
    void todayPageLoadsHiddenAndSurvivesEscape();
    void todayMarksMinimizeAndUnload();
    void todayMenuReturnsToTheTodayPage();
};

void TestAboutAndToday::aboutBoxTexts_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("label2");
    QTest::newRow("network's port")
        << u"irc.velmora.chat"_qs << 6667
        << u"Server Description : - irc.velmora.chat , Port : - 6667"_qs;
    QTest::newRow("other port") << u"127.0.0.1"_qs << 16667
                                << u"Server Description : - 127.0.0.1 , Port : - 16667"_qs;
}

void TestAboutAndToday::aboutBoxTexts()
{
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QString, label2);

    AboutDialog about(host, quint16(port));
    QCOMPARE(about.objectName(), u"frmabout"_qs);
    QCOMPARE(about.windowTitle(), u"About Velmora Messenger ® Ver 1.0"_qs);
    QCOMPARE(named<QLabel>(&about, "Label2")->text(), label2);
    QVERIFY(!named<QLabel>(&about, "Label1")->text().isEmpty());
    QVERIFY(!named<QLabel>(&about, "Label3")->text().isEmpty());
    for (const char *image : {"Image1", "Image2"})
        QVERIFY2(!named<QLabel>(&about, image)->pixmap().isNull(), image);
    auto *ok = named<SableCoolButton>(&about, "ok");
    QCOMPARE(ok->text(), u"OK"_qs);
    QCOMPARE(ok->font().family(), u"Comic Sans MS"_qs);
}

void TestAboutAndToday::aboutBoxSaysWhetherEncrypted_data()
{
    QTest::addColumn<QList<bool>>("shows");
    QTest::addColumn<QString>("label4");
    QTest::newRow("plain") << QList<bool>{false} << u"Connection : - not encrypted"_qs;
    QTest::newRow("TLS") << QList<bool>{true} << u"Connection : - encrypted (TLS)"_qs;
    QTest::newRow("open box follows the session")
        << QList<bool>{true, false} << u"Connection : - not encrypted"_qs;
}

void TestAboutAndToday::aboutBoxSaysWhetherEncrypted()
{
    QFETCH(QList<bool>, shows);
    QPointer<AboutDialog> box;
    QPointer<AboutDialog> first;
    for (bool encrypted : shows) {
        AboutDialog::showOnce(box, u"irc.velmora.chat"_qs, 6697, encrypted, nullptr);
        first = first ? first : box;
    }
    QCOMPARE(box, first);
    QTEST(named<QLabel>(box, "Label4")->text(), "label4");
    delete box;
}

void TestAboutAndToday::aboutBoxUnloads_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("OK") << false;
    QTest::newRow("Esc") << true;
}

void TestAboutAndToday::aboutBoxUnloads()
{
    QFETCH(bool, escape);

    QPointer<AboutDialog> about = new AboutDialog(u"irc.velmora.chat"_qs);
    QVERIFY(showAndActivate(about));
    if (escape)
        QTest::keyClick(about, Qt::Key_Escape);
    else
        QTest::mouseClick(named<SableCoolButton>(about, "ok"), Qt::LeftButton);
    QVERIFY(unloaded(about));
}

void TestAboutAndToday::todayPageLoadsHiddenAndSurvivesEscape()
{
    LoopbackWebServer server;
    LinkPages::setBase(server.base());
    const QUrl today = LinkPages::url(LinkPages::Today);
    const QString todayPath = u"/"_qs + LinkPages::fileName(LinkPages::Today);
    QCOMPARE(today.path(), todayPath);

    QPointer<TodayWindow> window = new TodayWindow;
    QCOMPARE(window->objectName(), u"webtoday"_qs);
    QCOMPARE(window->windowTitle(), u"Velmora Today"_qs);
    auto *browser = named<QWebEngineView>(window, "webtoday");
    QSignalSpy loads(browser, &QWebEngineView::loadFinished);

    // The room window loads the page before it shows the window.
    window->navigate(today);
    QVERIFY(loads.wait(60000));
    QCOMPARE(loads.takeFirst().value(0).toBool(), true);
    QCOMPARE(browser->url(), today);
    QCOMPARE(browser->title(), LoopbackWebServer::titleOf(LinkPages::fileName(LinkPages::Today)));
    QCOMPARE(server.requests().count(todayPath), 1);

    QVERIFY(showAndActivate(window));
    // Esc reaches the window while the page has the keyboard.
    browser->setFocus();
    QTest::keyClick(browser->focusProxy() ? browser->focusProxy() : browser, Qt::Key_Escape);
    QTRY_VERIFY(!window->isVisible());
    QVERIFY(!unloaded(window));

    QVERIFY(showAndActivate(window));
    QTest::qWait(500); // room for a reload to reach the server, if one were started
    QCOMPARE(server.requests().count(todayPath), 1);
    QCOMPARE(loads.count(), 0);
    QCOMPARE(browser->url(), today);
    QCOMPARE(browser->title(), LoopbackWebServer::titleOf(LinkPages::fileName(LinkPages::Today)));

    delete window;
    LinkPages::setBase(QUrl());
}

void TestAboutAndToday::todayMarksMinimizeAndUnload()
{
    QPointer<TodayWindow> window = new TodayWindow;
    QVERIFY(showAndActivate(window));
    auto *minimize = named<QLabel>(window, "Label2");
    auto *close = named<QLabel>(window, "Label1");
    QCOMPARE(minimize->toolTip(), u"Minimize"_qs);
    QCOMPARE(close->toolTip(), u"Close"_qs);

    QTest::mouseClick(minimize, Qt::LeftButton);
    QTRY_VERIFY(window->isMinimized());
    QVERIFY(!unloaded(window));

    window->showNormal();
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(unloaded(window));
}

void TestAboutAndToday::todayMenuReturnsToTheTodayPage()
{
    QTemporaryDir settingsDir;
    SettingsStore::setCurrent(SettingsStore(settingsDir.filePath(u"settings.json"_qs)));
    LoopbackWebServer server;
    LinkPages::setBase(server.base());
    const QUrl today = LinkPages::url(LinkPages::Today);
    const QString todayFile = LinkPages::fileName(LinkPages::Today);
    const QString elsewhere = u"elsewhere.html"_qs;
    SessionVariables vars{u"alice"_qs, QString(), u"#velmora"_qs, 0};
    IrcSession session(vars);
    ChannelWindow channel(session);
    channel.setLinkRotationInterval(24 * 3600 * 1000); // no timed loads of the page meanwhile

    // However far the user browsed from it, the menu brings the page back, every time.
    for (int choice = 1; choice <= 3; ++choice) {
        channel.menus().today->trigger();
        TodayWindow *window = channel.todayWindow();
        QVERIFY(window && window->isVisible());
        auto *browser = named<QWebEngineView>(window, "webtoday");
        QTRY_COMPARE_WITH_TIMEOUT(browser->title(), LoopbackWebServer::titleOf(todayFile), 60000);
        QCOMPARE(browser->url(), today);
        QCOMPARE(server.requests().count(u"/"_qs + todayFile), choice);

        browser->setUrl(server.base().resolved(QUrl(elsewhere)));
        QTRY_COMPARE_WITH_TIMEOUT(browser->title(), LoopbackWebServer::titleOf(elsewhere), 60000);
        window->hide();
    }
    LinkPages::setBase(QUrl());
}

int main(int argc, char **argv)
{
    // Chromium will not start sandboxed as root, and a test must not reach beyond loopback.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") +
                " --disable-gpu --disable-background-networking --disable-component-update"
                " --no-proxy-server");
    QApplication app(argc, argv);
    TestAboutAndToday test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_aboutandtoday.moc"
