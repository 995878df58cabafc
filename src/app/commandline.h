#pragma once

#include <QList>
#include <QProcessEnvironment>
#include <QSslCertificate>
#include <QString>
#include <QStringList>

// Where the program connects when nothing else is said.
namespace NetworkDefaults {
inline const QString ServerHost = QStringLiteral("irc.velmora.chat");
inline constexpr quint16 ServerPort = 6667;
inline constexpr quint16 TlsServerPort = 6697;
inline const QString Room = QStringLiteral("#velmora");
} // namespace NetworkDefaults

// What the command line asks for.
struct LaunchOptions
{
    enum class Action
    {
        Run,
        ShowHelp,
        ShowVersion,
        Fail
    };

    // The longest values sent to the server, in UTF-8 bytes.
    static constexpr qsizetype LongestNick = 64;
    static constexpr qsizetype LongestRoom = 200;
    static constexpr qsizetype LongestHost = 253;

    Action action = Action::Run;
    QString message; // help or version text, or the reason for failing
    QString host = NetworkDefaults::ServerHost;
    quint16 port = NetworkDefaults::ServerPort;
    // The port is no one's choice but the default of plain text or TLS, so it may follow the
    // login window's choice of TLS.
    bool portIsDefault = false;
    bool tls = false;                        // ircs:// or --tls
    QList<QSslCertificate> extraAuthorities; // from --ca-file, trusted besides the system's
    QString nick;                            // signs in directly when set
    QString room;                            // empty: the default room
    QString password;                        // from VELMORA_PASSWORD, never from the arguments
    QString logDir;                          // keep conversation logs here when set
    QString pagesBase;                       // serve the network's web pages from here instead

    // --check-start: name the windows shown at start on stdout, then exit.
    bool checkStart = false;
};

// Reads the arguments (without the program name in front: pass arguments().mid(1)).
LaunchOptions parseCommandLine(const QStringList &arguments,
                               const QProcessEnvironment &environment);

// Once the password is read, child processes (the web engine among them) must not inherit it.
void removePasswordFromEnvironment();
