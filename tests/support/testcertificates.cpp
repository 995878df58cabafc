#include "testcertificates.h"

#include <QFile>
#include <QHostAddress>
#include <QProcess>

TestCertificates::TestCertificates()
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary directory");
        return;
    }
    const Pair authority{path(QStringLiteral("authority.pem")),
                         path(QStringLiteral("authority-key.pem"))};
    const QString settings =
        writeTemplate(QStringLiteral("authority.cfg"),
                      {QStringLiteral("cn = \"Velmora test authority\""), QStringLiteral("ca"),
                       QStringLiteral("cert_signing_key"), QStringLiteral("expiration_days = 2")});
    if (makeKey(authority.keyFile) &&
        run({QStringLiteral("--generate-self-signed"), QStringLiteral("--load-privkey"),
             authority.keyFile, QStringLiteral("--template"), settings, QStringLiteral("--outfile"),
             authority.certificateFile}))
        m_authority = authority;
}

TestCertificates::Pair TestCertificates::server(const QString &name, const QStringList &hosts,
                                                Validity validity, Issuer issuer)
{
    if (m_authority.certificateFile.isEmpty())
        return {};
    QStringList lines{u"cn = \""_qs + hosts.value(0) + u'"', QStringLiteral("tls_www_server"),
                      QStringLiteral("signing_key"), QStringLiteral("encryption_key")};
    for (const QString &host : hosts) {
        const bool isAddress = !QHostAddress(host).isNull();
        lines << (isAddress ? u"ip_address = \""_qs : u"dns_name = \""_qs) + host + u'"';
    }
    if (validity == Validity::Expired)
        lines << QStringLiteral("activation_date = \"2001-01-01 00:00:00 UTC\"")
              << QStringLiteral("expiration_date = \"2002-01-01 00:00:00 UTC\"");
    else
        lines << QStringLiteral("expiration_days = 2");
    const Pair pair{path(name + u".pem"_qs), path(name + u"-key.pem"_qs)};
    const QString settings = writeTemplate(name + u".cfg"_qs, lines);
    if (!makeKey(pair.keyFile))
        return {};
    QStringList arguments{QStringLiteral("--load-privkey"), pair.keyFile,
                          QStringLiteral("--template"),     settings,
                          QStringLiteral("--outfile"),      pair.certificateFile};
    if (issuer == Issuer::Self)
        arguments.prepend(QStringLiteral("--generate-self-signed"));
    else
        arguments << QStringLiteral("--generate-certificate")
                  << QStringLiteral("--load-ca-certificate") << m_authority.certificateFile
                  << QStringLiteral("--load-ca-privkey") << m_authority.keyFile;
    return run(arguments) ? pair : Pair{};
}

bool TestCertificates::makeKey(const QString &file)
{
    return run({QStringLiteral("--generate-privkey"), QStringLiteral("--key-type"),
                QStringLiteral("ecdsa"), QStringLiteral("--outfile"), file});
}

QString TestCertificates::writeTemplate(const QString &name, const QStringList &lines)
{
    QFile file(path(name));
    if (file.open(QIODevice::WriteOnly))
        file.write((lines.join(u'\n') + u'\n').toUtf8());
    return file.fileName();
}

bool TestCertificates::run(const QStringList &arguments)
{
    QProcess certtool;
    certtool.start(QStringLiteral("certtool"), arguments);
    if (!certtool.waitForFinished(30000) || certtool.exitStatus() != QProcess::NormalExit ||
        certtool.exitCode() != 0) {
        m_error = u"certtool "_qs + arguments.join(u' ') + u": "_qs + certtool.errorString() +
                  u' ' + QString::fromLocal8Bit(certtool.readAllStandardError());
        return false;
    }
    return true;
}
