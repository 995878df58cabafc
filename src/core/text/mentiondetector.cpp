#include "mentiondetector.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <array>

namespace {

constexpr char16_t foldedAscii(char16_t u)
{
    if (u >= u'A' && u <= u'Z')
        return u + (u'a' - u'A');
    switch (u) {
    case u'[':
        return u'{';
    case u']':
        return u'}';
    case u'\\':
        return u'|';
    case u'~':
        return u'^';
    default:
        return u;
    }
}

char16_t folded(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x80 ? foldedAscii(u) : c.toCaseFolded().unicode();
}

// Bytes folded like nicks; bytes of multi-byte characters stay as they are.
constexpr std::array<quint8, 256> kFoldedBytes = [] {
    std::array<quint8, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[size_t(b)] = quint8(b < 0x80 ? foldedAscii(char16_t(b)) : b);
    return table;
}();

bool matchesAt(QStringView text, qsizetype at, QStringView nick)
{
    for (qsizetype i = 0; i < nick.size(); ++i) {
        if (folded(text[at + i]) != folded(nick[i]))
            return false;
    }
    return true;
}

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// The character that ends before, or starts at, a position of UTF-16 text.
char32_t characterBefore(QStringView text, qsizetype end)
{
    if (end >= 2 && text[end - 1].isLowSurrogate() && text[end - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(text[end - 2], text[end - 1]);
    return text[end - 1].unicode();
}

char32_t characterAt(QStringView text, qsizetype at)
{
    if (at + 1 < text.size() && text[at].isHighSurrogate() && text[at + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(text[at], text[at + 1]);
    return text[at].unicode();
}

// The character that ends before, or starts at, a byte of UTF-8 text.
char32_t characterBefore(QByteArrayView utf8, qsizetype end)
{
    qsizetype start = end - 1;
    while (start > 0 && end - start < 4 && (quint8(utf8[start]) & 0xc0) == 0x80)
        --start;
    return QString::fromUtf8(utf8.sliced(start, end - start)).toUcs4().value(0);
}

char32_t characterAt(QByteArrayView utf8, qsizetype at)
{
    return QString::fromUtf8(utf8.sliced(at, std::min<qsizetype>(4, utf8.size() - at)))
        .toUcs4()
        .value(0);
}

bool isWordAt(QByteArrayView utf8, qsizetype at, qsizetype length)
{
    if (at > 0) {
        const quint8 before = quint8(utf8[at - 1]);
        if (mentions::isNickCharacter(before < 0x80 ? before : characterBefore(utf8, at)))
            return false;
    }
    const qsizetype end = at + length;
    if (end < utf8.size()) {
        const quint8 after = quint8(utf8[end]);
        if (mentions::isNickCharacter(after < 0x80 ? after : characterAt(utf8, end)))
            return false;
    }
    return true;
}

} // namespace

namespace mentions {

bool isNickCharacter(char32_t c)
{
    switch (c) {
    case U'[':
    case U']':
    case U'\\':
    case U'`':
    case U'_':
    case U'^':
    case U'{':
    case U'|':
    case U'}':
    case U'-':
        return true;
    default:
        return QChar::isLetterOrNumber(c);
    }
}

bool sameNick(QStringView a, QStringView b)
{
    return a.size() == b.size() && matchesAt(a, 0, b);
}

bool containsNick(QStringView text, QStringView nick, qsizetype from)
{
    if (nick.isEmpty())
        return false;
    const char16_t first = folded(nick.front());
    for (qsizetype at = std::max<qsizetype>(0, from); at + nick.size() <= text.size(); ++at) {
        if (folded(text[at]) != first || !matchesAt(text, at, nick))
            continue;
        const qsizetype end = at + nick.size();
        if ((at == 0 || !isNickCharacter(characterBefore(text, at))) &&
            (end == text.size() || !isNickCharacter(characterAt(text, end))))
            return true;
    }
    return false;
}

bool containsNick(QByteArrayView utf8, QStringView nick, qsizetype from)
{
    if (nick.isEmpty())
        return false;
    // Horspool's search below takes ASCII nicks of ordinary length; others decode the text.
    const qsizetype length = nick.size();
    std::array<quint8, 64> pattern{};
    if (!isAscii(nick) || length > qsizetype(pattern.size())) {
        const QString text = QString::fromUtf8(utf8);
        const qsizetype start = std::clamp<qsizetype>(from, 0, utf8.size());
        return containsNick(text, nick, QString::fromUtf8(utf8.first(start)).size());
    }
    // Most lines are passed over a nick's length at a time.
    std::array<quint8, 256> shift;
    shift.fill(quint8(length));
    for (qsizetype i = 0; i < length; ++i) {
        pattern[size_t(i)] = kFoldedBytes[quint8(nick[i].unicode())];
        if (i < length - 1)
            shift[pattern[size_t(i)]] = quint8(length - 1 - i);
    }
    for (qsizetype at = std::max<qsizetype>(0, from); at + length <= utf8.size();) {
        qsizetype i = length - 1;
        while (i >= 0 && kFoldedBytes[quint8(utf8[at + i])] == pattern[size_t(i)])
            --i;
        if (i < 0 && isWordAt(utf8, at, length))
            return true;
        at += shift[kFoldedBytes[quint8(utf8[at + length - 1])]];
    }
    return false;
}

} // namespace mentions
