#include "support/ircclient.h"
#include "support/ircnetwork.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The real program against a real InspIRCd: it registers, its room view shows the server's
// greeting, it joins its room, and other users see it there.
class TestEndToEndProgram : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void registersShowsGreetingAndJoins();

private:
    // Starts the program signed in as nick, with its logs in m_logs.
    void startProgram(const QString &nick, const QString &room);
    QStringList roomLog() const;
    bool waitForRoomLogLine(const QString &needle, int timeoutMs = 15000) const;

    IrcNetwork m_network;
    QTemporaryDir m_logs;
    QProcess m_program;
};

void TestEndToEndProgram::initTestCase()
{
    if (!IrcNetwork::inspircdAvailable())
        QSKIP("InspIRCd is not installed (apt-get install inspircd)");
    QVERIFY2(m_network.start(), qPrintable(m_network.lastError()));
}

void TestEndToEndProgram::cleanup()
{
    if (m_program.state() != QProcess::NotRunning) {
        m_program.terminate();
        if (!m_program.waitForFinished(5000))
            m_program.kill();
        m_program.waitForFinished(2000);
    }
}

void TestEndToEndProgram::startProgram(const QString &nick, const QString &room)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_program.setProcessEnvironment(environment);
    m_program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_program.start(QStringLiteral(VELMORA_PROGRAM),
                    {QStringLiteral("--server"),
                     QStringLiteral("%1:%2").arg(m_network.host()).arg(m_network.port()),
                     QStringLiteral("--nick"), nick, QStringLiteral("--room"), room,
                     QStringLiteral("--log-dir"), m_logs.path()});
    QVERIFY2(m_program.waitForStarted(10000), qPrintable(m_program.errorString()));
}

QStringList TestEndToEndProgram::roomLog() const
{
    QFile file(m_logs.filePath(QStringLiteral("room.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

bool TestEndToEndProgram::waitForRoomLogLine(const QString &needle, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        for (const QString &line : roomLog()) {
            if (line.contains(needle))
                return true;
        }
        QTest::qWait(50);
    }
    return false;
}

void TestEndToEndProgram::registersShowsGreetingAndJoins()
{
    IrcClient watcher;
    QVERIFY2(watcher.connectAndRegister(m_network.host(), m_network.port(), "watcher"),
             qPrintable(watcher.lastError()));
    QVERIFY(watcher.join("#velmora"));

    startProgram(QStringLiteral("alice"), QStringLiteral("#velmora"));

    // The program's own join, seen by another user of the room.
    QVERIFY2(
        watcher.waitForLine(QRegularExpression("^:alice!\\S+ JOIN :?#velmora"), nullptr, 20000),
        qPrintable(watcher.receivedLines().join(u'\n')));
    QVERIFY(watcher.names("#velmora").contains(QStringLiteral("alice")));

    // The greeting numerics, shown in colour 10 without the own nick in front.
    QVERIFY(waitForRoomLogLine(QStringLiteral("Welcome to")));
    const QStringList log = roomLog();
    const QString welcomeLine = log.filter(QStringLiteral("Welcome to")).first();
    QVERIFY2(welcomeLine.startsWith(u"\x03"
                                    "10 Welcome to"_qs),
             qPrintable(welcomeLine));
    QVERIFY(log.filter(u"\x03"
                       "10 "_qs)
                .size() >= 5); // 001 to 005 at least
    QVERIFY(log.first().contains(u"Velmora Messenger Beta"_qs));

    // Registration as the server saw it: the user field and the real name.
    watcher.send("WHOIS alice");
    QString whois;
    QVERIFY(watcher.waitForLine(QRegularExpression(" 311 watcher alice "), &whois));
    QVERIFY2(whois.endsWith(QStringLiteral(":Velmora Messenger 1.0 (Orvane)")), qPrintable(whois));

    // A termination signal ends the program as its Exit does: the connection closes, code 0.
    m_program.terminate();
    QVERIFY(m_program.waitForFinished(10000));
    QCOMPARE(m_program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_program.exitCode(), 0);
    QVERIFY(watcher.waitForLine(QRegularExpression("^:alice!\\S+ QUIT "), nullptr, 15000));
}

QTEST_GUILESS_MAIN(TestEndToEndProgram)
#include "tst_e2e_program.moc"
