#include "controls/trayicon.h"
#include "controls/xpbutton.h"
#include "session/sessionvariables.h"
#include "startup/launcherwindow.h"
#include "startup/loginwindow.h"
#include "startuptesting.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QWindow>

using namespace startuptest;

// Stands in for the desktop's browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

// The launcher and the login window on the way into the room: signing in, refusals, the room,
// guests, activation and leaving. What the login window remembers is in tst_loginmemory.
class TestLogin : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void launcherSignIn();
    void launcherExit_data();
    void launcherExit();
    void launcherCredit();
    void placement_data();
    void placement();
    void refusals_data();
    void refusals();
    void connectSetsSession_data();
    void connectSetsSession();
    void roomIsPickedFromTheList();
    void guestNicknames();
    void reactivation_data();
    void reactivation();
    void closingEndsTheProgram_data();
    void closingEndsTheProgram();

private:
    TemporaryHome m_home;
    UrlCatcher m_browser;
};

void TestLogin::initTestCase()
{
    QVERIFY(m_home.setUp());
    for (const QString &scheme : {QStringLiteral("http"), QStringLiteral("https")})
        QDesktopServices::setUrlHandler(scheme, &m_browser, "open");
}

void TestLogin::init()
{
    m_home.startTest();
    m_browser.urls.clear();
}

void TestLogin::cleanupTestCase()
{
    for (const QString &scheme : {QStringLiteral("http"), QStringLiteral("https")})
        QDesktopServices::unsetUrlHandler(scheme);
}

void TestLogin::launcherSignIn()
{
    TrayIcon tray;
    LauncherWindow launcher(tray);
    QSignalSpy signIn(&launcher, &LauncherWindow::signInRequested);
    QSignalSpy exit(&launcher, &LauncherWindow::exitRequested);
    QVERIFY(showActive(&launcher));
    QCOMPARE(tray.phase(), TrayIcon::Phase::Launcher);
    QCOMPARE(named<QLabel>(&launcher, "lbl")->text(), QStringLiteral("Click Me To\nSign In"));

    click(&launcher, "lbl");
    QVERIFY(!launcher.isVisible());
    QCOMPARE(tray.phase(), TrayIcon::Phase::None);
    QCOMPARE(signIn.count(), 1);
    QCOMPARE(exit.count(), 0);
}

void TestLogin::launcherExit_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Exit label") << "Label4";
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("closed by the window system") << "close";
}

void TestLogin::launcherExit()
{
    QFETCH(QString, how);

    TrayIcon tray;
    LauncherWindow launcher(tray);
    QSignalSpy signIn(&launcher, &LauncherWindow::signInRequested);
    QSignalSpy exit(&launcher, &LauncherWindow::exitRequested);
    QVERIFY(showActive(&launcher));

    if (how == u"Esc")
        QTest::keyClick(&launcher, Qt::Key_Escape);
    else if (how == u"close")
        launcher.close();
    else
        click(&launcher, "Label4");
    QCOMPARE(tray.phase(), TrayIcon::Phase::None);
    QCOMPARE(exit.count(), 1);
    QCOMPARE(signIn.count(), 0);
}

void TestLogin::launcherCredit()
{
    TrayIcon tray;
    LauncherWindow launcher(tray);
    QVERIFY(showActive(&launcher));
    auto *credit = named<QLabel>(&launcher, "Label1");
    const auto colour = [credit] { return credit->palette().color(QPalette::WindowText); };

    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(credit, &enter);
    QCOMPARE(colour(), QColor(255, 128, 0));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(credit, &leave);
    QCOMPARE(colour(), QColor(Qt::white));

    // A drag that starts on the credit line moves the window and opens nothing.
    const QPoint middle = credit->rect().center();
    QTest::mousePress(credit, Qt::LeftButton, {}, middle);
    QTest::mouseMove(credit, middle + QPoint(QApplication::startDragDistance() + 5, 0));
    QTest::mouseRelease(credit, Qt::LeftButton, {}, middle);
    QVERIFY(m_browser.urls.isEmpty());

    QTest::mouseClick(credit, Qt::LeftButton);
    QCOMPARE(m_browser.urls, QList<QUrl>{LauncherWindow::siteUrl()});
    QCOMPARE(tray.phase(), TrayIcon::Phase::Launcher);
}

void TestLogin::placement_data()
{
    QTest::addColumn<QPoint>("launcherAt");
    QTest::addColumn<bool>("clamped");
    QTest::newRow("middle of the screen") << QPoint(300, 300) << false;
    QTest::newRow("top-left corner") << QPoint(5, 5) << true;
}

void TestLogin::placement()
{
    QFETCH(QPoint, launcherAt);
    QFETCH(bool, clamped);

    TrayIcon tray;
    LauncherWindow launcher(tray);
    launcher.move(launcherAt);
    SessionVariables vars;
    LoginWindow login(vars);
    login.setLauncher(&launcher);

    const QScreen *screen = launcher.screen();
    const QPoint twipsAway(qRound(300 * screen->logicalDotsPerInchX() / 1440),
                           qRound(800 * screen->logicalDotsPerInchY() / 1440));
    QVERIFY(twipsAway.x() > 0 && twipsAway.y() > 0);
    const QPoint expected =
        clamped ? screen->availableGeometry().topLeft() : launcherAt - twipsAway;
    QVERIFY(screen->availableGeometry().contains(QRect(expected, login.size())));
    QCOMPARE(login.pos(), expected);
}

void TestLogin::refusals_data()
{
    QTest::addColumn<QString>("nick");
    QTest::addColumn<QString>("message"); // empty: accepted
    const QString spaces = QStringLiteral("Nickname shouldn't contain spaces.");
    QTest::newRow("empty") << ""
                           << "Please enter the nick first.";
    QTest::newRow("a single blank") << " " << spaces;
    QTest::newRow("blank inside") << "bo b" << spaces;
    QTest::newRow("trailing blank") << "bob " << spaces;
    QTest::newRow("tab") << "bo\tb"
                         << "";
    QTest::newRow("plain") << "bob"
                           << "";
}

void TestLogin::refusals()
{
    QFETCH(QString, nick);
    QFETCH(QString, message);

    SessionVariables vars;
    LoginWindow login(vars);
    QSignalSpy connected(&login, &LoginWindow::connectRequested);
    QVERIFY(showActive(&login));
    retype(box(&login, "txtnick"), nick);
    QCOMPARE(box(&login, "txtnick")->text(), nick);
    retype(box(&login, "txtpwd"), QStringLiteral("pw"));
    QTest::mouseClick(named<XPButton>(&login, "cmdok"), Qt::LeftButton);
    QCOMPARE(vars.CurrentRoom, QStringLiteral("#velmora"));

    if (message.isEmpty()) {
        QVERIFY(!shownMessage(&login));
        QCOMPARE(connected.count(), 1);
        QCOMPARE(vars.CurrentNick, nick);
        return;
    }
    QMessageBox *shown = shownMessage(&login);
    QVERIFY(shown);
    QCOMPARE(shown->text(), message);
    QCOMPARE(shown->windowTitle(), QStringLiteral("Nick Error"));
    QCOMPARE(shown->icon(), QMessageBox::Information);
    QCOMPARE(shown->standardButtons(), QMessageBox::Ok);
    QCOMPARE(connected.count(), 0);
    QCOMPARE(stored(QStringLiteral("number")), Missing);
    QCOMPARE(vars.CurrentNick, QString());

    // Back from its own message, the window does not save the password nobody asked it to.
    QTRY_COMPARE(QApplication::activeWindow(), shown);
    QTest::mouseClick(shown->button(QMessageBox::Ok), Qt::LeftButton);
    login.activateWindow(); // as the window system hands activation back
    QTRY_COMPARE(QApplication::activeWindow(), &login);
    QVERIFY(login.isVisible());
    QVERIFY(!check(&login, "rempwd")->isChecked());
    QCOMPARE(stored(QStringLiteral("password")), Missing);
}

void TestLogin::connectSetsSession_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Connect button") << "cmdok";
    QTest::newRow("Enter in the nickname box") << "txtnick";
    QTest::newRow("Enter in the password box") << "txtpwd";
}

void TestLogin::connectSetsSession()
{
    QFETCH(QString, how);

    SessionVariables vars;
    LoginWindow login(vars);
    QSignalSpy connected(&login, &LoginWindow::connectRequested);
    QSignalSpy cancelled(&login, &LoginWindow::cancelRequested);
    QVERIFY(showActive(&login));
    retype(box(&login, "txtnick"), QStringLiteral("bob"));
    retype(box(&login, "txtpwd"), QStringLiteral("hunter2"));
    QCOMPARE(box(&login, "txtpwd")->displayText(), QStringLiteral("*******"));

    if (how == u"cmdok")
        click(&login, "cmdok");
    else
        QTest::keyClick(box(&login, qPrintable(how)), Qt::Key_Return);
    QCOMPARE(connected.count(), 1);
    QCOMPARE(cancelled.count(), 0);
    QVERIFY(!login.isVisible());
    QCOMPARE(vars.CurrentNick, QStringLiteral("bob"));
    QCOMPARE(vars.CurrentPassword, QStringLiteral("hunter2"));
    QCOMPARE(vars.CurrentRoom, QStringLiteral("#velmora"));
}

void TestLogin::roomIsPickedFromTheList()
{
    SessionVariables vars;
    LoginWindow login(vars);
    QVERIFY(showActive(&login));
    auto *rooms = named<QComboBox>(&login, "echa");
    QStringList entries;
    for (int i = 0; i < rooms->count(); ++i)
        entries << rooms->itemText(i);
    QCOMPARE(entries, (QStringList{"#velmora", "#fun_club"}));

    QTest::keyClicks(rooms, QStringLiteral("#fun"));
    QCOMPARE(rooms->currentText(), QStringLiteral("#velmora"));
    QTest::keyClick(rooms, Qt::Key_Down);
    QCOMPARE(rooms->currentText(), QStringLiteral("#fun_club"));

    retype(box(&login, "txtnick"), QStringLiteral("bob"));
    click(&login, "cmdok");
    QCOMPARE(vars.CurrentRoom, QStringLiteral("#fun_club"));
}

void TestLogin::guestNicknames()
{
    SessionVariables vars;
    LoginWindow login(vars);
    QVERIFY(showActive(&login));
    QLineEdit *nick = box(&login, "txtnick");
    QLineEdit *pwd = box(&login, "txtpwd");
    const QRegularExpression form(QStringLiteral("^Guest(0|[1-9][0-9]{0,3})$"));
    constexpr int Ticks = 300;
    QSet<QString> drawn;

    for (int i = 0; i < Ticks; ++i) {
        retype(pwd, QStringLiteral("pw"));
        click(&login, "autonick");
        QVERIFY2(form.match(nick->text()).hasMatch(), qPrintable(nick->text()));
        drawn.insert(nick->text());
        QCOMPARE(pwd->text(), QString());
        for (const char *name : {"txtnick", "txtpwd", "rempwd", "remme"})
            QVERIFY2(!named<QWidget>(&login, name)->isEnabled(), name);

        click(&login, "autonick");
        QCOMPARE(nick->text(), QString());
        QVERIFY(nick->isEnabled() && pwd->isEnabled() && check(&login, "remme")->isEnabled());
        QVERIFY(!check(&login, "rempwd")->isEnabled());
    }
    // Some draws may repeat, but each tick draws anew.
    QVERIFY2(drawn.size() > Ticks * 4 / 5, qPrintable(QString::number(drawn.size())));

    retype(pwd, QStringLiteral("pw"));
    QVERIFY(check(&login, "rempwd")->isEnabled());
}

void TestLogin::reactivation_data()
{
    QTest::addColumn<bool>("fromProgram");
    QTest::newRow("from another window of the program") << true;
    QTest::newRow("from another program") << false;
}

// The activation sequence runs again only when the user comes back from another window of the
// program; a switch to another program and back must not save a typed password.
void TestLogin::reactivation()
{
    QFETCH(bool, fromProgram);

    SessionVariables vars;
    LoginWindow login(vars);
    QVERIFY(showActive(&login));
    retype(box(&login, "txtpwd"), QStringLiteral("pw"));
    QVERIFY(!check(&login, "rempwd")->isChecked());

    // A bare window of the platform is no window of the program's: while it is active the
    // program has none, as when the user works in another program.
    QWidget other;
    QWindow foreign;
    if (fromProgram) {
        QVERIFY(showActive(&other));
    } else {
        foreign.show();
        foreign.requestActivate();
    }
    QTRY_VERIFY(!login.isActiveWindow());
    QCOMPARE(QApplication::activeWindow(), fromProgram ? &other : nullptr);
    login.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &login);

    QCOMPARE(check(&login, "rempwd")->isChecked(), fromProgram);
    QCOMPARE(stored(QStringLiteral("password")), fromProgram ? QStringLiteral("pw") : Missing);
}

void TestLogin::closingEndsTheProgram_data()
{
    QTest::addColumn<bool>("cancelButton");
    QTest::newRow("Cancel") << true;
    QTest::newRow("closed by its caption") << false;
}

void TestLogin::closingEndsTheProgram()
{
    QFETCH(bool, cancelButton);

    SessionVariables vars;
    LoginWindow login(vars);
    QSignalSpy connected(&login, &LoginWindow::connectRequested);
    QSignalSpy cancelled(&login, &LoginWindow::cancelRequested);
    QVERIFY(showActive(&login));
    retype(box(&login, "txtnick"), QStringLiteral("bob"));
    if (cancelButton)
        QTest::mouseClick(named<XPButton>(&login, "cancel"), Qt::LeftButton);
    else
        login.close();
    QCOMPARE(cancelled.count(), 1);
    QCOMPARE(connected.count(), 0);
    QCOMPARE(stored(QStringLiteral("number")), Missing);
}

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
