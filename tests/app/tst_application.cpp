#include "application.h"
#include "dialogs/aboutdialog.h"
#include "platform/settingsstore.h"
#include "startup/launcherwindow.h"
#include "startup/loginwindow.h"
#include "support/scriptedserver.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// The running program's wiring between the tray icon and the windows it stands for.
class TestApplication : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void launcherTrayOpensTheAboutBox();
    void ircAddressJoinsItsRoom_data();
    void ircAddressJoinsItsRoom();
    void aRoomLogThatIsNotAFileStopsTheStart_data();
    void aRoomLogThatIsNotAFileStopsTheStart();

private:
    QTemporaryDir m_settingsDir;
};

void TestApplication::initTestCase()
{
    SettingsStore::setCurrent(
        SettingsStore(m_settingsDir.filePath(QStringLiteral("settings.json"))));
}

void TestApplication::launcherTrayOpensTheAboutBox()
{
    LaunchOptions options;
    options.host = QStringLiteral("irc.example.net");
    options.port = 6690;
    Application application(options);
    application.start();
    QVERIFY(application.launcher() && application.launcher()->isVisible());
    QCOMPARE(application.tray().phase(), TrayIcon::Phase::Launcher);

    QAction *about = application.tray().launcherMenu()->findChild<QAction *>(u"about"_qs);
    QVERIFY(about);
    about->trigger();
    about->trigger();
    const QList<AboutDialog *> boxes = application.launcher()->findChildren<AboutDialog *>();
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes.first()->isVisible());
    // It names the server the program is set to connect to.
    bool namesTheServer = false;
    for (const QLabel *label : boxes.first()->findChildren<QLabel *>())
        namesTheServer |= label->text().contains(u"irc.example.net , Port : - 6690"_qs);
    QVERIFY(namesTheServer);
}

void TestApplication::ircAddressJoinsItsRoom_data()
{
    QTest::addColumn<QString>("room");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("roomList");
    const QStringList twoRooms{"#velmora", "#fun_club"};
    QTest::newRow("login window, a room of its own")
        << "dev" << QStringList() << QStringList{"#velmora", "#fun_club", "#dev"};
    QTest::newRow("login window, a listed room") << "%23fun_club" << QStringList() << twoRooms;
    QTest::newRow("login window, a listed room in capitals")
        << "FUN_CLUB" << QStringList() << twoRooms;
    QTest::newRow("direct sign-in") << "dev" << QStringList{"--nick", "bob"} << QStringList();
}

// The room of an irc:// address is the one joined after the server's greeting, whether the
// user signs in through the login window, where it is offered selected, or directly.
void TestApplication::ircAddressJoinsItsRoom()
{
    QFETCH(QString, room);
    QFETCH(QStringList, options);
    QFETCH(QStringList, roomList);
    ScriptedServer server;
    QVERIFY(server.isListening());
    const QString address = u"irc://127.0.0.1:%1/%2"_qs.arg(server.port()).arg(room);
    const LaunchOptions launch = parseCommandLine(options << address, QProcessEnvironment());
    QCOMPARE(launch.action, LaunchOptions::Action::Run);
    Application application(launch);
    application.start();

    QString joined = launch.room;
    if (!roomList.isEmpty()) {
        emit application.launcher()->signInRequested();
        LoginWindow *login = application.loginWindow();
        QVERIFY(login);
        auto *rooms = login->findChild<QComboBox *>(u"echa"_qs);
        QStringList entries;
        for (int i = 0; i < rooms->count(); ++i)
            entries << rooms->itemText(i);
        QCOMPARE(entries, roomList);
        joined = rooms->currentText();
        QCOMPARE(joined.toLower(), launch.room.toLower());
        login->findChild<QLineEdit *>(u"txtnick"_qs)->setText(u"bob"_qs);
        QTest::mouseClick(login->findChild<QWidget *>(u"cmdok"_qs), Qt::LeftButton);
    }
    QVERIFY(application.channelWindow());
    QVERIFY(server.acceptClient());
    server.send(":srv 376 bob :End of MOTD\r\n");
    const QByteArray join = "JOIN " + joined.toUtf8() + "\n";
    QVERIFY2(server.receivedUntil(join).contains(join), join.constData());
}

void TestApplication::aRoomLogThatIsNotAFileStopsTheStart_data()
{
    QTest::addColumn<bool>("fifo");
    // Opening a FIFO for writing would wait for a reader for ever.
    QTest::newRow("fifo") << true;
    QTest::newRow("directory") << false;
}

void TestApplication::aRoomLogThatIsNotAFileStopsTheStart()
{
    QFETCH(bool, fifo);
    QTemporaryDir home;
    const QString roomLog = home.filePath(u"logs/room.log"_qs);
    QVERIFY(QDir().mkpath(fifo ? home.filePath(u"logs"_qs) : roomLog));
    if (fifo)
        QCOMPARE(::mkfifo(QFile::encodeName(roomLog).constData(), 0600), 0);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_qs, home.path());
    environment.insert(u"XDG_CONFIG_HOME"_qs, home.path());
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VELMORA_PROGRAM),
                  {u"--server"_qs, u"127.0.0.1:1"_qs, u"--nick"_qs, u"bob"_qs, u"--log-dir"_qs,
                   home.filePath(u"logs"_qs)});
    const bool finished = program.waitForFinished(10000);
    if (!finished)
        program.kill();
    QVERIFY(finished);
    QCOMPARE(program.exitCode(), 2);
    const QString said = QString::fromLocal8Bit(program.readAllStandardError());
    QVERIFY2(said.contains(roomLog) && said.contains(u"not a regular file"_qs), qPrintable(said));
}

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
