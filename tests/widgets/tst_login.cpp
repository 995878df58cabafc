#include "controls/trayicon.h"
#include "controls/xpbutton.h"
#include "platform/autostart.h"
#include "platform/settingsstore.h"
#include "session/sessionvariables.h"
#include "startup/launcherwindow.h"
#include "startup/loginwindow.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <QWindow>

namespace {

const QString StoreKey = QStringLiteral("Software/Orvane/Store");
const QString Missing = QStringLiteral("<missing>");

template<typename T> T *named(QWidget *window, const char *name)
{
    T *widget = window->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("%s has no %s", qPrintable(window->objectName()), name);
    return widget;
}

QLineEdit *box(QWidget *window, const char *name)
{
    return named<QLineEdit>(window, name);
}

QCheckBox *check(QWidget *window, const char *name)
{
    return named<QCheckBox>(window, name);
}

void click(QWidget *window, const char *name)
{
    QTest::mouseClick(named<QWidget>(window, name), Qt::LeftButton);
}

// Replaces the box's text as a person would; a tab cannot be typed into a box, only pasted.
void retype(QLineEdit *field, const QString &text)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    if (text.contains(u'\t')) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    } else {
        QTest::keyClicks(field, text);
    }
}

// An invalid value stands for one that is not there: nothing is written.
bool store(const QString &name, const QVariant &value)
{
    return !value.isValid() || SettingsStore::current().write(StoreKey, name, value);
}

QString stored(const QString &name)
{
    const QVariant slot = LoadSetting(QStringLiteral("Store"), name);
    return slot.isValid() ? slot.toString() : Missing;
}

QString autostartCommand()
{
    QString command = Missing;
    ReadAutostart(command);
    return command;
}

bool showActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

QMessageBox *shownMessage(QWidget *window)
{
    for (QMessageBox *message : window->findChildren<QMessageBox *>())
        if (message->isVisible())
            return message;
    return nullptr;
}

} // namespace

// Stands in for the desktop's browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

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
    void storedValuesKeepToThemselves_data();
    void storedValuesKeepToThemselves();
    void counter_data();
    void counter();
    void refusals_data();
    void refusals();
    void connectSetsSession_data();
    void connectSetsSession();
    void roomIsPickedFromTheList();
    void remembered_data();
    void remembered();
    void guestNicknames();
    void typingANickForgetsTheSavedPassword();
    void reactivation_data();
    void reactivation();
    void loadAtStartup();
    void activationFindsAutostart_data();
    void activationFindsAutostart();
    void closingEndsTheProgram_data();
    void closingEndsTheProgram();

private:
    QTemporaryDir m_home;
    int m_run = 0;
    UrlCatcher m_browser;
};

void TestLogin::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    for (const QString &scheme : {QStringLiteral("http"), QStringLiteral("https")})
        QDesktopServices::setUrlHandler(scheme, &m_browser, "open");
}

void TestLogin::init()
{
    SettingsStore::setCurrent(
        SettingsStore(m_home.filePath(QStringLiteral("store-%1.json").arg(++m_run))));
    QDir(m_home.filePath(QStringLiteral("config/autostart"))).removeRecursively();
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

void TestLogin::storedValuesKeepToThemselves_data()
{
    QTest::addColumn<QVariant>("username");
    QTest::addColumn<QVariant>("password");
    QTest::addColumn<QString>("nickBox");
    QTest::addColumn<QString>("passwordBox");
    QTest::newRow("password, no username") << QVariant() << QVariant("pw") << ""
                                           << "pw";
    QTest::newRow("username, no password") << QVariant("alice") << QVariant() << "alice"
                                           << "";
    QTest::newRow("both") << QVariant("alice") << QVariant("pw") << "alice"
                          << "pw";
    QTest::newRow("a number as username") << QVariant(42) << QVariant() << "42"
                                          << "";
}

// No stored value shows up in another box, or in the counter.
void TestLogin::storedValuesKeepToThemselves()
{
    QFETCH(QVariant, username);
    QFETCH(QVariant, password);
    QFETCH(QString, nickBox);
    QFETCH(QString, passwordBox);
    QVERIFY(store(QStringLiteral("username"), username));
    QVERIFY(store(QStringLiteral("password"), password));

    SessionVariables vars;
    LoginWindow login(vars);
    QCOMPARE(box(&login, "txtnick")->text(), nickBox);
    QCOMPARE(box(&login, "txtpwd")->text(), passwordBox);
    QCOMPARE(vars.ActivityCounter, 1.0);
}

void TestLogin::counter_data()
{
    QTest::addColumn<QVariant>("number");
    QTest::addColumn<double>("loaded");
    QTest::addColumn<QString>("written");
    // The counter holds 7 before the load.
    QTest::newRow("missing") << QVariant() << 1.0 << "1";
    QTest::newRow("empty text") << QVariant("") << 1.0 << "1";
    QTest::newRow("text") << QVariant("41") << 42.0 << "42";
    QTest::newRow("32-bit number") << QVariant(41) << 42.0 << "42";
    QTest::newRow("fraction") << QVariant("2.5") << 3.5 << "3.5";
    QTest::newRow("seven digits") << QVariant("1234566") << 1234567.0 << "1234567";
    QTest::newRow("a million") << QVariant("999999") << 1000000.0 << "1000000";
    QTest::newRow("not a number") << QVariant("abc") << 7.0 << "7";
    QTest::newRow("nan") << QVariant("nan") << 7.0 << "7";
}

// Each load counts one more than the last Connect stored; the next run's load sees it.
void TestLogin::counter()
{
    QFETCH(QVariant, number);
    QFETCH(double, loaded);
    QFETCH(QString, written);
    QVERIFY(store(QStringLiteral("number"), number));

    SessionVariables vars;
    vars.ActivityCounter = 7;
    {
        LoginWindow login(vars);
        QCOMPARE(vars.ActivityCounter, loaded);
        QVERIFY(showActive(&login));
        retype(box(&login, "txtnick"), QStringLiteral("bob"));
        QTest::keyClick(box(&login, "txtnick"), Qt::Key_Return);
        QCOMPARE(stored(QStringLiteral("number")), written);
    }

    SessionVariables nextRun;
    LoginWindow next(nextRun);
    QCOMPARE(nextRun.ActivityCounter, written.toDouble() + 1);
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

void TestLogin::remembered_data()
{
    QTest::addColumn<bool>("guest");
    QTest::addColumn<bool>("remember");
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("password");
    QTest::newRow("remember, save") << false << true << true << "alice"
                                    << "secret";
    QTest::newRow("remember only") << false << true << false << "alice"
                                   << "";
    QTest::newRow("save only") << false << false << true << ""
                               << "secret";
    QTest::newRow("neither") << false << false << false << ""
                             << "";
    QTest::newRow("guest") << true << false << false << "olduser" << Missing;
}

void TestLogin::remembered()
{
    QFETCH(bool, guest);
    QFETCH(bool, remember);
    QFETCH(bool, save);
    QFETCH(QString, username);
    QFETCH(QString, password);
    QVERIFY(store(QStringLiteral("username"), QStringLiteral("olduser")));

    SessionVariables vars;
    LoginWindow login(vars);
    QVERIFY(showActive(&login));
    if (guest) {
        click(&login, "autonick");
    } else {
        retype(box(&login, "txtnick"), QStringLiteral("alice"));
        retype(box(&login, "txtpwd"), QStringLiteral("secret"));
        if (remember)
            click(&login, "remme");
        if (save) {
            click(&login, "rempwd");
            QCOMPARE(stored(QStringLiteral("password")), QStringLiteral("secret"));
        }
    }
    click(&login, "cmdok");

    QCOMPARE(stored(QStringLiteral("username")), username);
    QCOMPARE(stored(QStringLiteral("password")), password);
    QCOMPARE(stored(QStringLiteral("number")), QStringLiteral("1"));
    QCOMPARE(vars.CurrentNick, box(&login, "txtnick")->text());
    QCOMPARE(vars.CurrentNick.startsWith(QStringLiteral("Guest")), guest);
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

void TestLogin::typingANickForgetsTheSavedPassword()
{
    QVERIFY(store(QStringLiteral("username"), QStringLiteral("alice")));
    QVERIFY(store(QStringLiteral("password"), QStringLiteral("pw")));

    SessionVariables vars;
    LoginWindow login(vars);
    QVERIFY(showActive(&login));
    QLineEdit *pwd = box(&login, "txtpwd");
    QVERIFY(check(&login, "rempwd")->isChecked());
    QVERIFY(pwd->hasFocus());
    QCOMPARE(pwd->selectedText(), QStringLiteral("pw"));
    QCOMPARE(stored(QStringLiteral("password")), QStringLiteral("pw"));

    QTest::keyClick(box(&login, "txtnick"), Qt::Key_X);
    QVERIFY(!check(&login, "rempwd")->isChecked());
    QCOMPARE(stored(QStringLiteral("password")), QString());
    QCOMPARE(pwd->text(), QStringLiteral("pw"));
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

void TestLogin::loadAtStartup()
{
    SessionVariables vars;
    LoginWindow login(vars);
    QVERIFY(showActive(&login));
    QVERIFY(!check(&login, "las")->isChecked());
    QCOMPARE(autostartCommand(), Missing);

    click(&login, "las");
    QCOMPARE(autostartCommand(), QCoreApplication::applicationFilePath());
    click(&login, "las");
    QCOMPARE(autostartCommand(), QString());
}

void TestLogin::activationFindsAutostart_data()
{
    QTest::addColumn<QString>("entry"); // empty: none; "off": switched off
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("afterwards");
    QTest::newRow("no entry") << "" << false << Missing;
    QTest::newRow("switched off") << "off" << false << "";
    QTest::newRow("another path") << "/opt/old/velmora" << true
                                  << QCoreApplication::applicationFilePath();
}

// A live entry ticks the box, which writes the entry again with this program's path.
void TestLogin::activationFindsAutostart()
{
    QFETCH(QString, entry);
    QFETCH(bool, ticked);
    QFETCH(QString, afterwards);
    if (entry == u"off")
        QVERIFY(DisableAutostart());
    else if (!entry.isEmpty())
        QVERIFY(EnableAutostart(entry));

    SessionVariables vars;
    LoginWindow login(vars);
    QVERIFY(!check(&login, "las")->isChecked());
    QVERIFY(showActive(&login));
    QCOMPARE(check(&login, "las")->isChecked(), ticked);
    QCOMPARE(autostartCommand(), afterwards);
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
