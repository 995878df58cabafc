#include "ircnetwork.h"

#include "ircclient.h"
#include "testcertificates.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <initializer_list>
#include <unistd.h>
#include <vector>
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

#ifndef VELMORA_TEST_SUPPORT_DIR
#define VELMORA_TEST_SUPPORT_DIR ""
#endif

namespace {

const QString kLinkPassword = QStringLiteral("velmora-link");
const int kIrcdTimeoutMs = 10000;
const int kServicesTimeoutMs = 20000;
const int kPortAttempts = 3;

QString templateDirectory()
{
    QString dir = QStringLiteral(VELMORA_TEST_SUPPORT_DIR);
    if (dir.isEmpty())
        dir = QFileInfo(QStringLiteral(__FILE__)).absolutePath();
    return dir + QStringLiteral("/ircd");
}

QString envOr(const char *name, const QString &fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? fallback : value;
}

// Distinct ports that nothing listens on right now. Another process may still take one before
// the daemon binds it; launchInspircd() notices and start() tries again.
bool pickFreePorts(std::initializer_list<quint16 *> ports)
{
    std::vector<std::unique_ptr<QTcpServer>> held; // kept listening until all are picked
    for (quint16 *port : ports) {
        auto server = std::make_unique<QTcpServer>();
        if (!server->listen(QHostAddress::LocalHost, 0))
            return false;
        *port = server->serverPort();
        held.push_back(std::move(server));
    }
    return true;
}

QString readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString tail(const QString &text, qsizetype maxChars = 6000)
{
    if (text.size() <= maxChars)
        return text;
    return QStringLiteral("[...]") + text.right(maxChars);
}

// Lets the event loop run for a while, so sockets and processes keep being served.
void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void endProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(2000);
    }
}

// Runs in the forked child before exec. Anope sleeps three seconds at start-up when both its
// user and group are root; running it with group nogroup skips that while root's user id keeps
// its access to the temporary directory. Then the daemon is set to get SIGTERM if the test
// process dies without stopping it, so a crashed test leaves nothing running; this has to come
// after the group change, which clears it.
void prepareChild(bool leaveRootGroup)
{
    if (leaveRootGroup && ::getuid() == 0 && ::getgid() == 0) {
        [[maybe_unused]] const int ignored = ::setgid(65534);
    }
#ifdef Q_OS_LINUX
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
#endif
}

} // namespace

IrcNetwork::IrcNetwork(QObject *parent) : QObject(parent) {}

IrcNetwork::~IrcNetwork()
{
    stop();
}

QString IrcNetwork::inspircdPath()
{
    return envOr("VELMORA_INSPIRCD", QStringLiteral("/usr/sbin/inspircd"));
}

QString IrcNetwork::anopePath()
{
    return envOr("VELMORA_ANOPE", QStringLiteral("/usr/sbin/anope"));
}

bool IrcNetwork::inspircdAvailable()
{
    return QFileInfo(inspircdPath()).isExecutable();
}

bool IrcNetwork::anopeAvailable()
{
    return QFileInfo(anopePath()).isExecutable();
}

QString IrcNetwork::workDirectory() const
{
    return m_dir ? m_dir->path() : QString();
}

QString IrcNetwork::tlsAuthorityFile() const
{
    return m_certificates ? m_certificates->authorityFile() : QString();
}

bool IrcNetwork::registerNick(const QString &nick, const QByteArray &password)
{
    IrcClient owner;
    if (!owner.connectAndRegister(host(), port(), nick))
        return false;
    owner.send("PRIVMSG NickServ :REGISTER " + password);
    const bool registered =
        owner.waitForLine(QRegularExpression(u"NOTICE "_qs + nick + u" :.*registered"_qs));
    owner.quit();
    return registered;
}

bool IrcNetwork::start()
{
    return start(Options{});
}

bool IrcNetwork::start(const Options &options)
{
    stop();
    m_lastError.clear();
    if (!inspircdAvailable()) {
        m_lastError = QStringLiteral("InspIRCd not found at %1").arg(inspircdPath());
        return false;
    }
    if (options.withServices && !anopeAvailable()) {
        m_lastError = QStringLiteral("Anope not found at %1").arg(anopePath());
        return false;
    }

    Launch launch = Launch::PortTaken;
    for (int attempt = 0; attempt < kPortAttempts && launch == Launch::PortTaken; ++attempt) {
        stop();
        if (!prepareDirectory(options.withTls) ||
            (options.withTls && !makeCertificate(options.tlsHosts)) || !writeConfigs(options)) {
            stop(); // keeps lastError()
            return false;
        }
        launch = launchInspircd();
    }
    if (launch == Launch::PortTaken)
        fail(QStringLiteral("InspIRCd could not bind its ports in %1 attempts").arg(kPortAttempts));
    if (launch != Launch::Ready)
        return false;

    if (options.withServices && (!launchServices() || !waitForNickServ()))
        return false;
    return true;
}

void IrcNetwork::stop()
{
    // Services first, so they leave the network cleanly instead of losing their uplink.
    endProcess(m_services);
    endProcess(m_ircd);
    m_dir.reset();
    m_certificates.reset();
    m_tlsCertificateFile.clear();
    m_tlsKeyFile.clear();
    m_clientPort = 0;
    m_serverPort = 0;
    m_tlsPort = 0;
}

bool IrcNetwork::prepareDirectory(bool withTls)
{
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                            QStringLiteral("/velmora-ircnet-XXXXXX"));
    if (!m_dir->isValid()) {
        m_lastError =
            QStringLiteral("cannot create a temporary directory: %1").arg(m_dir->errorString());
        m_dir.reset();
        return false;
    }
    if (qEnvironmentVariableIntValue("VELMORA_KEEP_TEST_NETWORK") != 0)
        m_dir->setAutoRemove(false);
    QDir dir(m_dir->path());
    if (!dir.mkpath(QStringLiteral("anope/data")) || !dir.mkpath(QStringLiteral("anope/logs"))) {
        m_lastError = QStringLiteral("cannot create directories in %1").arg(m_dir->path());
        return false;
    }
    quint16 tlsPort = 0;
    if (!pickFreePorts({&m_clientPort, &m_serverPort, &tlsPort})) {
        m_lastError = QStringLiteral("cannot find free ports on 127.0.0.1");
        return false;
    }
    m_tlsPort = withTls ? tlsPort : 0;
    return true;
}

// A fresh authority and a server certificate from it for each start, so no test ever trusts
// anything another one made.
bool IrcNetwork::makeCertificate(const QStringList &hosts)
{
    m_certificates = std::make_unique<TestCertificates>();
    const TestCertificates::Pair pair = m_certificates->server(QStringLiteral("server"), hosts);
    if (pair.certificateFile.isEmpty()) {
        m_lastError =
            QStringLiteral("cannot make the TLS certificate: %1").arg(m_certificates->error());
        return false;
    }
    m_tlsCertificateFile = pair.certificateFile;
    m_tlsKeyFile = pair.keyFile;
    return true;
}

// Copies each template into the work directory, replacing @NAME@ tokens. A token left over
// means a template and this code disagree, which is reported rather than left to the daemon.
bool IrcNetwork::writeConfigs(const Options &options)
{
    const QString dir = m_dir->path();
    const QString include = QStringLiteral("<include file=\"%1/%2\">\n");
    QString extra;
    if (options.withServices)
        extra += include.arg(dir, QStringLiteral("inspircd-services.conf"));
    if (options.withTls)
        extra += include.arg(dir, QStringLiteral("inspircd-tls.conf"));
    const bool withSasl = options.withServices && options.withSasl;
    if (withSasl)
        extra += include.arg(dir, QStringLiteral("inspircd-sasl.conf"));
    const QHash<QString, QString> values{
        {QStringLiteral("DIR"), dir},
        {QStringLiteral("CLIENT_PORT"), QString::number(m_clientPort)},
        {QStringLiteral("SERVER_PORT"), QString::number(m_serverPort)},
        {QStringLiteral("LINK_PASSWORD"), kLinkPassword},
        {QStringLiteral("TLS_PORT"), QString::number(m_tlsPort)},
        {QStringLiteral("TLS_CERTIFICATE"), m_tlsCertificateFile},
        {QStringLiteral("TLS_KEY"), m_tlsKeyFile},
        {QStringLiteral("EXTRA"), extra},
        {QStringLiteral("SERVICES_MODULES"),
         withSasl ? QStringLiteral("module { name = \"m_sasl\" }") : QString()},
    };
    struct Output
    {
        const char *source;
        const char *target;
        bool wanted;
    };
    const Output outputs[] = {
        {"inspircd.conf.in", "inspircd.conf", true},
        {"motd.txt", "motd.txt", true},
        {"inspircd-services.conf.in", "inspircd-services.conf", options.withServices},
        {"inspircd-tls.conf.in", "inspircd-tls.conf", options.withTls},
        {"inspircd-sasl.conf.in", "inspircd-sasl.conf", withSasl},
        {"anope.conf.in", "anope/anope.conf", options.withServices},
        {"anope-nickserv.conf", "anope/anope-nickserv.conf", options.withServices},
        {"anope-chanserv.conf", "anope/anope-chanserv.conf", options.withServices},
    };
    static const QRegularExpression token(QStringLiteral("@([A-Z_]+)@"));

    for (const Output &output : outputs) {
        if (!output.wanted)
            continue;
        const QString source = templateDirectory() + u'/' + QLatin1String(output.source);
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly)) {
            m_lastError = QStringLiteral("cannot read template %1").arg(source);
            return false;
        }
        QString text = QString::fromUtf8(in.readAll());
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            text.replace(u'@' + it.key() + u'@', it.value());
        const QRegularExpressionMatch leftover = token.match(text);
        if (leftover.hasMatch()) {
            m_lastError = QStringLiteral("template %1 uses unknown token %2")
                              .arg(source, leftover.captured(0));
            return false;
        }
        QFile out(dir + u'/' + QLatin1String(output.target));
        if (!out.open(QIODevice::WriteOnly) || out.write(text.toUtf8()) < 0) {
            m_lastError = QStringLiteral("cannot write %1").arg(out.fileName());
            return false;
        }
    }
    return true;
}

// Runs InspIRCd in the foreground and waits until it has bound its ports and accepts a
// connection. It keeps running when a port is already taken, only printing a warning, so the
// warning is what tells a port clash apart from a server that is up.
void IrcNetwork::stopServer()
{
    endProcess(m_ircd);
}

bool IrcNetwork::restartServer()
{
    if (!m_dir) {
        m_lastError = QStringLiteral("the network was never started");
        return false;
    }
    // The ports were just given up; another program may hold one for a moment.
    Launch launch = Launch::PortTaken;
    for (int attempt = 0; attempt < kPortAttempts && launch == Launch::PortTaken; ++attempt) {
        stopServer();
        if (attempt > 0)
            pause(500);
        launch = launchInspircd();
    }
    if (launch == Launch::PortTaken)
        fail(QStringLiteral("InspIRCd could not bind its ports again"));
    return launch == Launch::Ready;
}

IrcNetwork::Launch IrcNetwork::launchInspircd()
{
    const QString dir = m_dir->path();
    const QString outputPath = dir + QStringLiteral("/inspircd.out");
    QStringList args{QStringLiteral("--config"), dir + QStringLiteral("/inspircd.conf"),
                     QStringLiteral("--nofork"), QStringLiteral("--nopid")};
    if (::geteuid() == 0)
        args << QStringLiteral("--runasroot");

    m_ircd.setProgram(inspircdPath());
    m_ircd.setArguments(args);
    m_ircd.setWorkingDirectory(dir);
    m_ircd.setProcessChannelMode(QProcess::MergedChannels);
    m_ircd.setStandardOutputFile(outputPath);
    m_ircd.setChildProcessModifier([] { prepareChild(false); });
    m_ircd.start();
    if (!m_ircd.waitForStarted(kIrcdTimeoutMs)) {
        fail(QStringLiteral("cannot run %1: %2").arg(inspircdPath(), m_ircd.errorString()));
        return Launch::Failed;
    }

    QDeadlineTimer deadline(kIrcdTimeoutMs);
    bool running = false;
    while (!deadline.hasExpired()) {
        const QString output = readFile(outputPath);
        if (output.contains(QLatin1String("failed to bind")))
            return Launch::PortTaken;
        if (!running)
            running = output.contains(QLatin1String("is now running as"));
        if (running) {
            QTcpSocket probe;
            probe.connectToHost(host(), m_clientPort);
            if (probe.waitForConnected(500)) {
                probe.abort();
                return Launch::Ready;
            }
        }
        // Doubles as the poll interval and notices a daemon that gave up.
        if (m_ircd.state() == QProcess::NotRunning || m_ircd.waitForFinished(25)) {
            fail(QStringLiteral("InspIRCd exited during start-up (exit code %1)")
                     .arg(m_ircd.exitCode()));
            return Launch::Failed;
        }
    }
    fail(QStringLiteral("InspIRCd did not accept connections on port %1 within %2 ms")
             .arg(m_clientPort)
             .arg(kIrcdTimeoutMs));
    return Launch::Failed;
}

bool IrcNetwork::launchServices()
{
    const QString dir = m_dir->path() + QStringLiteral("/anope");
    QStringList args{QStringLiteral("--nofork"), QStringLiteral("--confdir=") + dir,
                     QStringLiteral("--config=anope.conf"),
                     QStringLiteral("--dbdir=") + dir + QStringLiteral("/data"),
                     QStringLiteral("--logdir=") + dir + QStringLiteral("/logs")};
    // Debian keeps Anope's modules in /usr/lib/anope/modules; a self-built Anope finds its own.
    QString modules = qEnvironmentVariable("VELMORA_ANOPE_MODULES");
    if (modules.isEmpty() && anopePath() == QLatin1String("/usr/sbin/anope"))
        modules = QStringLiteral("/usr/lib/anope");
    if (!modules.isEmpty())
        args << QStringLiteral("--modulesdir=") + modules;

    m_services.setProgram(anopePath());
    m_services.setArguments(args);
    m_services.setWorkingDirectory(dir);
    m_services.setProcessChannelMode(QProcess::MergedChannels);
    m_services.setStandardOutputFile(dir + QStringLiteral("/anope.out"));
    m_services.setChildProcessModifier([] { prepareChild(true); });
    m_services.start();
    if (!m_services.waitForStarted(kServicesTimeoutMs)) {
        fail(QStringLiteral("cannot run %1: %2").arg(anopePath(), m_services.errorString()));
        return false;
    }
    return true;
}

// Services are usable once NickServ answers a HELP; until Anope has linked, the server replies
// 401 (no such nick) instead.
bool IrcNetwork::waitForNickServ()
{
    const QDeadlineTimer deadline(kServicesTimeoutMs);
    IrcClient probe;
    const QString nick = QStringLiteral("VelmoraProbe");
    if (!probe.connectAndRegister(host(), m_clientPort, nick, kIrcdTimeoutMs)) {
        fail(QStringLiteral("the services probe cannot connect: %1").arg(probe.lastError()));
        return false;
    }
    const QRegularExpression answer(
        QStringLiteral("^:(NickServ!\\S+ NOTICE|\\S+ 401) %1 ").arg(nick),
        QRegularExpression::CaseInsensitiveOption);
    while (!deadline.hasExpired()) {
        if (!hasServices()) {
            fail(QStringLiteral("Anope exited during start-up (exit code %1)")
                     .arg(m_services.exitCode()));
            return false;
        }
        probe.clearPending();
        probe.send("PRIVMSG NickServ :HELP");
        QString line;
        if (probe.waitForLine(answer, &line, 2000) && line.contains(QLatin1String(" NOTICE "))) {
            probe.quit();
            return true;
        }
        pause(100);
    }
    fail(QStringLiteral("NickServ did not answer within %1 ms").arg(kServicesTimeoutMs));
    return false;
}

// Records why start() failed together with everything the daemons said, then stops them. The
// text is also logged whole, since test failure messages get cut short.
void IrcNetwork::fail(const QString &reason)
{
    m_lastError = reason + diagnostics();
    if (m_dir && !m_dir->autoRemove())
        m_lastError += QStringLiteral("\nFiles kept in %1").arg(m_dir->path());
    qWarning().noquote() << "IrcNetwork:" << m_lastError;
    stop();
}

QString IrcNetwork::diagnostics() const
{
    if (!m_dir)
        return {};
    const QDir dir(m_dir->path());
    // Services first: when they are running, they are what failed.
    QStringList files{QStringLiteral("anope/anope.out")};
    const QDir logs(dir.filePath(QStringLiteral("anope/logs")));
    for (const QString &log : logs.entryList(QDir::Files, QDir::Name))
        files << QStringLiteral("anope/logs/") + log;
    files << QStringLiteral("inspircd.out") << QStringLiteral("ircd.log");

    QString text;
    for (const QString &file : files) {
        const QString content = readFile(dir.filePath(file));
        if (!content.isEmpty())
            text += QStringLiteral("\n--- %1 ---\n%2").arg(file, tail(content));
    }
    return text;
}
