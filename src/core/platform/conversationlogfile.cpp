#include "conversationlogfile.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// Longest partner file name before ".log"; longer ones keep a prefix and add a hash.
constexpr qsizetype kLongestName = 64;
constexpr qsizetype kKeptPrefix = 40;

bool isPlainFileChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '[' || c == ']' || c == '{' || c == '}' || c == '^' || c == '`';
}

bool isReservedName(const QString &name)
{
    static const QRegularExpression reserved(
        QStringLiteral("^(room|con|prn|aux|nul|com[0-9]|lpt[0-9])$"),
        QRegularExpression::CaseInsensitiveOption);
    return reserved.match(name).hasMatch();
}

// The first characters of an escaped name, never cutting a %XX in two.
QString prefixOf(const QString &name)
{
    qsizetype end = kKeptPrefix;
    if (name[end - 1] == u'%')
        end -= 1;
    else if (name[end - 2] == u'%')
        end -= 2;
    return name.left(end);
}

} // namespace

QString ConversationLogFile::partnerFileName(const QString &nick)
{
    // Every byte outside a small safe set is written as %XX, so "%" itself never appears
    // unescaped and can mark names that would clash with the room's log or a device name.
    const QByteArray utf8 = nick.toUtf8();
    QString name;
    for (const char c : utf8) {
        if (isPlainFileChar(c))
            name += QLatin1Char(c);
        else
            name += QStringLiteral("%%1").arg(uint(static_cast<unsigned char>(c)), 2, 16,
                                              QLatin1Char('0'));
    }
    if (name.isEmpty() || isReservedName(name))
        name.prepend(u'%');
    // "~" never comes out of the escaping, so a shortened name cannot equal a whole one.
    if (name.size() > kLongestName) {
        const QByteArray hash = QCryptographicHash::hash(utf8, QCryptographicHash::Sha256);
        name = prefixOf(name) + u'~' + QString::fromLatin1(hash.toHex().left(12));
    }
    return name + QStringLiteral(".log");
}

bool ConversationLogFile::open(QString *error)
{
    if (m_file.isOpen())
        return true;
    const QFileInfo info(m_path);
    if (info.exists() && !info.isFile()) {
        *error = QStringLiteral("not a regular file");
        return false;
    }
    m_file.setFileName(m_path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        *error = m_file.errorString();
        return false;
    }
    return true;
}

bool ConversationLogFile::write(QStringView rawLine, QString *error)
{
    if (!open(error))
        return false;
    QByteArray bytes = rawLine.toUtf8();
    // One line each: a line break inside a text must not start a second log line.
    bytes.replace('\r', ' ');
    bytes.replace('\n', ' ');
    bytes.append('\n');
    const qint64 sizeBefore = m_file.size();
    // A short write (the disk filled up on the way) is followed by one more try, which says why.
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 now = m_file.write(bytes.constData() + written, bytes.size() - written);
        if (now <= 0)
            break;
        written += now;
    }
    if (written == bytes.size())
        return true;
    *error = m_file.error() != QFileDevice::NoError ? m_file.errorString()
                                                    : QStringLiteral("the line was cut short");
    // No half line is left behind for the next line to run on from.
    if (written > 0 && m_file.size() == sizeBefore + written)
        m_file.resize(sizeBefore);
    m_file.close();
    return false;
}
