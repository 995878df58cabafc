#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

class QTemporaryDir;
class TestCertificates;

// A real IRC network on loopback for tests: one InspIRCd 3 server and, on request, Anope 2.0
// services (NickServ, ChanServ) linked to it. Each start() generates fresh configuration files
// from the templates in tests/support/ircd/ into a temporary directory, picks free ports and
// runs the daemons in the foreground as children of the test; stop() or the destructor ends
// them and removes the directory.
//
// The server is "irc.velmora.test" on 127.0.0.1, with channel ranks ~ & @ % + (PREFIX
// (qaohv)~&@%+), no host name lookups, no flood or clone limits and a MOTD. An operator
// block accepts OPER operName() operPassword() from 127.0.0.1. On request it also takes TLS
// connections on tlsPort(), with a certificate signed by an authority made for this start
// alone (tlsAuthorityFile()), so clients can verify it the way they verify any server. The
// server always answers CAP; with services it can also offer SASL PLAIN.
//
// Environment: VELMORA_INSPIRCD and VELMORA_ANOPE override the daemon binaries,
// VELMORA_ANOPE_MODULES the Anope module directory, and VELMORA_KEEP_TEST_NETWORK=1 keeps the
// temporary directory (configs and logs) after stop() for a look at what happened.
class IrcNetwork : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        // Also start Anope; start() then returns only once NickServ answers.
        bool withServices = false;
        // Also offer SASL (with services only): the server's "sasl" capability, answered by
        // Anope, so registered nicks can sign in before registration ends.
        bool withSasl = false;
        // Also listen for TLS on tlsPort().
        bool withTls = false;
        // The hosts the TLS certificate names; another name makes clients refuse it.
        QStringList tlsHosts{QStringLiteral("127.0.0.1"), QStringLiteral("localhost")};
    };

    explicit IrcNetwork(QObject *parent = nullptr);
    ~IrcNetwork() override;

    // Starts the network and waits until clients can connect (and NickServ answers, with
    // services). On failure everything started is stopped again and lastError() holds the
    // reason followed by the daemons' own output and logs.
    bool start();
    bool start(const Options &options);
    void stop();
    // Ends InspIRCd alone, as a server that goes down; the ports and files stay for a restart.
    void stopServer();
    // Starts InspIRCd again on the same ports with the same configuration, as a restarted
    // server, and waits until clients can connect. Services, if any, link again by themselves.
    bool restartServer();

    bool isRunning() const { return m_ircd.state() != QProcess::NotRunning; }
    bool hasServices() const { return m_services.state() != QProcess::NotRunning; }

    QString host() const { return QStringLiteral("127.0.0.1"); }
    quint16 port() const { return m_clientPort; }
    // The TLS port and the authority that signed its certificate; 0 and empty without TLS.
    quint16 tlsPort() const { return m_tlsPort; }
    QString tlsAuthorityFile() const;
    QString lastError() const { return m_lastError; }
    // The temporary directory with the generated configs and the daemons' logs; empty when
    // stopped.
    QString workDirectory() const;

    // Registers nick with NickServ (services must run) from a client of its own, which then
    // leaves; true once NickServ has confirmed it.
    bool registerNick(const QString &nick, const QByteArray &password);

    static QString serverName() { return QStringLiteral("irc.velmora.test"); }
    static QString servicesName() { return QStringLiteral("services.velmora.test"); }
    static QString operName() { return QStringLiteral("velmora"); }
    static QString operPassword() { return QStringLiteral("velmora"); }

    static QString inspircdPath();
    static QString anopePath();
    static bool inspircdAvailable();
    static bool anopeAvailable();

private:
    enum class Launch
    {
        Ready,
        PortTaken,
        Failed
    };

    bool prepareDirectory(bool withTls);
    bool makeCertificate(const QStringList &hosts);
    bool writeConfigs(const Options &options);
    Launch launchInspircd();
    bool launchServices();
    bool waitForNickServ();
    void fail(const QString &reason);
    QString diagnostics() const;

    QProcess m_ircd;
    QProcess m_services;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestCertificates> m_certificates;
    QString m_tlsCertificateFile;
    QString m_tlsKeyFile;
    quint16 m_clientPort = 0;
    quint16 m_serverPort = 0;
    quint16 m_tlsPort = 0;
    QString m_lastError;
};
