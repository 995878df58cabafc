#include "session/sessionvariables.h"
#include "startup/loginwindow.h"
#include "startuptesting.h"

using namespace startuptest;

// What the login window keeps between runs: the nickname and password when asked to, the
// activity counter, the choice of a secure connection, and the autostart entry.
class TestLoginMemory : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void storedValuesKeepToThemselves_data();
    void storedValuesKeepToThemselves();
    void counter_data();
    void counter();
    void remembered_data();
    void remembered();
    void typingANickForgetsTheSavedPassword();
    void secureConnectionIsRemembered_data();
    void secureConnectionIsRemembered();
    void guestKeepsTheStoredNameAndPassword_data();
    void guestKeepsTheStoredNameAndPassword();
    void loadAtStartup();
    void activationFindsAutostart_data();
    void activationFindsAutostart();

private:
    TemporaryHome m_home;
};

void TestLoginMemory::initTestCase()
{
    QVERIFY(m_home.setUp());
}

void TestLoginMemory::init()
{
    m_home.startTest();
}

void TestLoginMemory::storedValuesKeepToThemselves_data()
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
void TestLoginMemory::storedValuesKeepToThemselves()
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

void TestLoginMemory::counter_data()
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
void TestLoginMemory::counter()
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

void TestLoginMemory::remembered_data()
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

void TestLoginMemory::remembered()
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

void TestLoginMemory::typingANickForgetsTheSavedPassword()
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

void TestLoginMemory::guestKeepsTheStoredNameAndPassword_data()
{
    QTest::addColumn<QVariant>("username");
    QTest::addColumn<QVariant>("password");
    QTest::newRow("name and password") << QVariant("alice") << QVariant("pw");
    QTest::newRow("name only") << QVariant("alice") << QVariant();
    QTest::newRow("nothing") << QVariant() << QVariant();
}

// Ticking "Enter as Guest" empties the boxes for the guest but forgets nothing: unticking it
// brings the stored name and password back, and a guest's Connect leaves them stored.
void TestLoginMemory::guestKeepsTheStoredNameAndPassword()
{
    QFETCH(QVariant, username);
    QFETCH(QVariant, password);
    QVERIFY(store(QStringLiteral("username"), username));
    QVERIFY(store(QStringLiteral("password"), password));
    const QString name = username.toString();
    const QString pw = password.toString();
    const auto storeUnchanged = [&] {
        return stored(QStringLiteral("username")) == (username.isValid() ? name : Missing) &&
               stored(QStringLiteral("password")) == (password.isValid() ? pw : Missing);
    };

    SessionVariables vars;
    LoginWindow login(vars);
    QVERIFY(showActive(&login));
    QLineEdit *nickBox = box(&login, "txtnick");
    QLineEdit *pwdBox = box(&login, "txtpwd");
    QCheckBox *savePassword = check(&login, "rempwd");
    QCOMPARE(savePassword->isChecked(), !pw.isEmpty());

    click(&login, "autonick");
    QVERIFY(nickBox->text().startsWith(QStringLiteral("Guest")));
    QCOMPARE(pwdBox->text(), QString());
    QVERIFY(storeUnchanged());

    click(&login, "autonick");
    QCOMPARE(nickBox->text(), name);
    QCOMPARE(pwdBox->text(), pw);
    QCOMPARE(savePassword->isChecked(), !pw.isEmpty());
    QCOMPARE(savePassword->isEnabled(), !pw.isEmpty());
    QVERIFY(storeUnchanged());

    click(&login, "autonick");
    click(&login, "cmdok");
    QVERIFY(vars.CurrentNick.startsWith(QStringLiteral("Guest")));
    QCOMPARE(vars.CurrentPassword, QString());
    QVERIFY(storeUnchanged());
}

void TestLoginMemory::loadAtStartup()
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

void TestLoginMemory::activationFindsAutostart_data()
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
void TestLoginMemory::activationFindsAutostart()
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

void TestLoginMemory::secureConnectionIsRemembered_data()
{
    QTest::addColumn<QVariant>("storedBefore");
    QTest::addColumn<bool>("offered");
    QTest::addColumn<bool>("shownChecked");
    QTest::addColumn<bool>("toggle");
    QTest::newRow("nothing stored") << QVariant() << false << false << false;
    QTest::newRow("turned on") << QVariant() << false << false << true;
    QTest::newRow("stored on") << QVariant("1") << false << true << false;
    QTest::newRow("stored on, turned off") << QVariant("1") << false << true << true;
    QTest::newRow("asked for at start") << QVariant("0") << true << true << false;
}

void TestLoginMemory::secureConnectionIsRemembered()
{
    QFETCH(QVariant, storedBefore);
    QFETCH(bool, offered);
    QFETCH(bool, shownChecked);
    QFETCH(bool, toggle);
    if (storedBefore.isValid())
        QVERIFY(store(QStringLiteral("tls"), storedBefore));
    SessionVariables vars;
    LoginWindow login(vars);
    if (offered)
        login.offerSecureConnection();
    QVERIFY(showActive(&login));
    QCOMPARE(check(&login, "chktls")->text(), u"Secure connection (TLS)"_qs);
    QCOMPARE(check(&login, "chktls")->isChecked(), shownChecked);
    if (toggle)
        click(&login, "chktls");
    retype(box(&login, "txtnick"), QStringLiteral("alice"));
    click(&login, "cmdok");
    const bool chosen = shownChecked != toggle;
    QCOMPARE(login.secureConnection(), chosen);
    QCOMPARE(stored(QStringLiteral("tls")), chosen ? u"1"_qs : u"0"_qs);
}

QTEST_MAIN(TestLoginMemory)
#include "tst_loginmemory.moc"
