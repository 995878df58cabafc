#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Certificates made at test time with GnuTLS's certtool: a throw-away authority and server
// certificates it signs (or that sign themselves), in a temporary directory that goes with
// this object. Nothing here is ever trusted outside the test that made it.
class TestCertificates
{
public:
    enum class Validity
    {
        Current,
        Expired
    };
    enum class Issuer
    {
        Authority,
        Self
    };
    struct Pair
    {
        QString certificateFile;
        QString keyFile;
    };

    // Makes the authority; error() says why when that failed.
    TestCertificates();

    QString authorityFile() const { return m_authority.certificateFile; }
    QString error() const { return m_error; }

    // A server certificate naming hosts (DNS names or IP addresses); empty files and error()
    // set when certtool failed.
    Pair server(const QString &name, const QStringList &hosts,
                Validity validity = Validity::Current, Issuer issuer = Issuer::Authority);

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    bool run(const QStringList &arguments);
    bool makeKey(const QString &file);
    QString writeTemplate(const QString &name, const QStringList &lines);

    QTemporaryDir m_dir;
    Pair m_authority;
    QString m_error;
};
