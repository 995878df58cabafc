#include "support/ircclient.h"
#include "support/ircnetwork.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The real program against a real InspIRCd, in plain text and over TLS: it registers, its room
// view shows the server's greeting, it joins its room, and other users see it there.
class TestEndToEndProgram : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void registersShowsGreetingAndJoins_data();
    void registersShowsGreetingAndJoins();

private:
    // Starts the program with these arguments, with its logs in m_logs.
    void startProgram(const QStringList &arguments);
    QStringList roomLog() const;
    bool waitForRoomLogLine(const QString &needle, int timeoutMs = 15000) const;

    IrcNetwork m_network;
    std::unique_ptr<QTemporaryDir> m_logs;
    QProcess m_program;
};

void TestEndToEndProgram::initTestCase()
{
    if (!IrcNetwork::inspircdAvailable())
        QSKIP("InspIRCd is not installed (apt-get install inspircd)");
    QVERIFY2(m_network.start({.withTls = true}), qPrintable(m_network.lastError()));
}

void TestEndToEndProgram::init()
{
    m_logs = std::make_unique<QTemporaryDir>();
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

void TestEndToEndProgram::startProgram(const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_program.setProcessEnvironment(environment);
    m_program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_program.start(QStringLiteral(VELMORA_PROGRAM),
                    arguments + QStringList{QStringLiteral("--log-dir"), m_logs->path()});
    QVERIFY2(m_program.waitForStarted(10000), qPrintable(m_program.errorString()));
}

QStringList TestEndToEndProgram::roomLog() const
{
    QFile file(m_logs->filePath(QStringLiteral("room.log")));
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

void TestEndToEndProgram::registersShowsGreetingAndJoins_data()
{
    // The arguments name the server and the room; %1 is the host, %2 the plain port, %3 the TLS
    // port and %4 the file of the authority that signed the TLS port's certificate.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("nick");
    QTest::addColumn<bool>("encrypted");
    QTest::newRow("plain text") << QStringList{u"--server"_qs, u"%1:%2"_qs, u"--room"_qs,
                                               u"#velmora"_qs}
                                << u"alice"_qs << false;
    QTest::newRow("TLS, authority from --ca-file")
        << QStringList{u"ircs://%1:%3/velmora"_qs, u"--ca-file"_qs, u"%4"_qs} << u"tlsalice"_qs
        << true;
}

void TestEndToEndProgram::registersShowsGreetingAndJoins()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, nick);
    QFETCH(bool, encrypted);
    const QStringList values{m_network.host(), QString::number(m_network.port()),
                             QString::number(m_network.tlsPort()), m_network.tlsAuthorityFile()};
    for (QString &argument : arguments) {
        for (qsizetype i = 0; i < values.size(); ++i)
            argument.replace(u'%' + QString::number(i + 1), values[i]);
    }
    IrcClient watcher;
    QVERIFY2(watcher.connectAndRegister(m_network.host(), m_network.port(), u"w"_qs + nick),
             qPrintable(watcher.lastError()));
    QVERIFY(watcher.join("#velmora"));

    startProgram(arguments + QStringList{u"--nick"_qs, nick});

    // The program's own join, seen by another user of the room.
    QVERIFY2(watcher.waitForLine(QRegularExpression(u"^:"_qs + nick + u"!\\S+ JOIN :?#velmora"_qs),
                                 nullptr, 20000),
             qPrintable(watcher.receivedLines().join(u'\n')));
    QVERIFY(watcher.names("#velmora").contains(nick));

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

    // Registration as the server saw it: the user field, the real name and whether the
    // connection is secure (671), all before the end of the WHOIS (318).
    watcher.send("WHOIS " + nick.toUtf8());
    QString whois;
    QVERIFY(watcher.waitForLine(QRegularExpression(u" 311 w%1 %1 "_qs.arg(nick)), &whois));
    QVERIFY2(whois.endsWith(QStringLiteral(":Velmora Messenger 1.0 (Orvane)")), qPrintable(whois));
    QVERIFY(watcher.waitForLine(QRegularExpression(u" 318 w%1 %1 "_qs.arg(nick))));
    const bool secure =
        !watcher.receivedLines().filter(QRegularExpression(u" 671 w%1 %1 "_qs.arg(nick))).isEmpty();
    QCOMPARE(secure, encrypted);

    // A termination signal ends the program as its Exit does: the connection closes, code 0.
    m_program.terminate();
    QVERIFY(m_program.waitForFinished(10000));
    QCOMPARE(m_program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_program.exitCode(), 0);
    QVERIFY(watcher.waitForLine(QRegularExpression(u"^:"_qs + nick + u"!\\S+ QUIT "_qs), nullptr,
                                15000));
}

QTEST_GUILESS_MAIN(TestEndToEndProgram)
#include "tst_e2e_program.moc"
