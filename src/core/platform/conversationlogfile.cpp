#include "conversationlogfile.h"

#include <QRegularExpression>

namespace {

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

} // namespace

QString ConversationLogFile::partnerFileName(const QString &nick)
{
    // Every byte outside a small safe set is written as %XX, so "%" itself never appears
    // unescaped and can mark names that would clash with the room's log or a device name.
    QString name;
    for (const char c : nick.toUtf8()) {
        if (isPlainFileChar(c))
            name += QLatin1Char(c);
        else
            name += QStringLiteral("%%1").arg(uint(static_cast<unsigned char>(c)), 2, 16,
                                              QLatin1Char('0'));
    }
    if (name.isEmpty() || isReservedName(name))
        name.prepend(u'%');
    return name + QStringLiteral(".log");
}

ConversationLogFile::ConversationLogFile(const QString &path) : m_file(path)
{
    m_file.open(QIODevice::WriteOnly | QIODevice::Append);
}

void ConversationLogFile::write(QStringView rawLine)
{
    if (!m_file.isOpen())
        return;
    QByteArray bytes = rawLine.toUtf8();
    // One line each: a line break inside a text must not start a second log line.
    bytes.replace('\r', ' ');
    bytes.replace('\n', ' ');
    bytes.append('\n');
    m_file.write(bytes);
    m_file.flush();
}
