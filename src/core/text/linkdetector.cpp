#include "linkdetector.h"

#include <QString>

#include <array>
#include <cstring>

namespace {

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

// A character that ends an address wherever it appears.
bool endsAddress(QChar c)
{
    const char16_t u = c.unicode();
    return u <= 0x20 || u == 0x7f || u == u'<' || u == u'>' || u == u'"' || c.isSpace();
}

bool isTrailingPunctuation(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'.' || u == u',' || u == u';' || u == u':' || u == u'!' || u == u'?';
}

// The schemes an address may start with, in lower case.
constexpr std::array<QStringView, 5> kSchemes = {u"http", u"https", u"ftp", u"irc", u"ircs"};

bool isKnownScheme(QStringView scheme)
{
    for (QStringView known : kSchemes) {
        if (scheme.compare(known, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Letters, digits and the characters a host or word is glued with: "www." after one of these
// is not where an address starts.
bool gluesToWord(QChar c)
{
    return c.isLetterOrNumber() || c == u'.' || c == u'-' || c == u'_' || c == u'@' || c == u'/';
}

// How many of each bracket an address opens and closes; a closing bracket at its end belongs to
// it only while the address opens at least as many as it closes.
struct BracketBalance
{
    static constexpr std::array<char16_t, 3> opens = {u'(', u'[', u'{'};
    static constexpr std::array<char16_t, 3> closes = {u')', u']', u'}'};
    std::array<qsizetype, 3> depth{};

    void count(QChar c, int sign)
    {
        for (size_t k = 0; k < opens.size(); ++k) {
            if (c == opens[k])
                depth[k] += sign;
            else if (c == closes[k])
                depth[k] -= sign;
        }
    }
    bool isUnmatchedClose(QChar c) const
    {
        for (size_t k = 0; k < closes.size(); ++k) {
            if (c == closes[k])
                return depth[k] < 0;
        }
        return false;
    }
};

// The end of the address that starts at start, with trailing punctuation left out.
qsizetype addressEnd(QStringView text, qsizetype start)
{
    BracketBalance balance;
    qsizetype end = start;
    for (; end < text.size() && !endsAddress(text[end]); ++end)
        balance.count(text[end], 1);
    while (end > start) {
        const QChar last = text[end - 1];
        if (!isTrailingPunctuation(last) && !balance.isUnmatchedClose(last))
            break;
        balance.count(last, -1);
        --end;
    }
    return end;
}

// Where the scheme before the "://" at colon starts, or -1 when no known scheme is there.
qsizetype schemeStart(QStringView text, qsizetype colon)
{
    qsizetype start = colon;
    while (start > 0 && isAsciiLetter(text[start - 1]) && colon - start < 5)
        --start;
    if (start > 0 && isAsciiLetter(text[start - 1]))
        return -1; // glued to a longer word
    return isKnownScheme(text.sliced(start, colon - start)) ? start : -1;
}

bool startsWww(QStringView text, qsizetype at)
{
    return at + 4 <= text.size() && text.sliced(at, 4).startsWith(u"www.", Qt::CaseInsensitive) &&
           (at == 0 || !gluesToWord(text[at - 1]));
}

} // namespace

std::vector<LinkRange> findLinks(QStringView text)
{
    // Every address holds a ':' (of "://") or a '.' (of "www."); Qt's character search is
    // vectorised, so lines without either cost next to nothing.
    std::vector<LinkRange> links;
    qsizetype colon = text.indexOf(u':');
    qsizetype dot = text.indexOf(u'.');
    qsizetype from = 0;
    while (colon >= 0 || dot >= 0) {
        const bool atColon = dot < 0 || (colon >= 0 && colon < dot);
        const qsizetype at = atColon ? colon : dot;
        qsizetype start = -1;
        qsizetype bodyStart = at + 1; // where the part after "://" or "www." begins
        if (atColon && at + 2 < text.size() && text[at + 1] == u'/' && text[at + 2] == u'/') {
            start = schemeStart(text, at);
            bodyStart = at + 3;
        } else if (!atColon && at >= from + 3 && startsWww(text, at - 3)) {
            start = at - 3;
        }
        if (start >= 0) {
            const qsizetype end = addressEnd(text, start);
            if (end > bodyStart) {
                links.push_back(LinkRange{start, end - start});
                from = end;
            } else {
                from = bodyStart;
            }
        } else {
            from = at + 1;
        }
        if (colon >= 0 && colon < from)
            colon = text.indexOf(u':', from);
        if (dot >= 0 && dot < from)
            dot = text.indexOf(u'.', from);
    }
    return links;
}

bool mayHoldLinks(QByteArrayView utf8)
{
    const char *begin = utf8.data();
    const char *end = begin + utf8.size();
    const auto find = [end](const char *from, char c) {
        return from < end ? static_cast<const char *>(std::memchr(from, c, size_t(end - from)))
                          : nullptr;
    };
    for (const char *c = find(begin, ':'); c; c = find(c + 1, ':')) {
        if (end - c >= 3 && c[1] == '/' && c[2] == '/')
            return true;
    }
    // ASCII letters only differ in the 0x20 bit between cases.
    for (const char *c = find(begin, '.'); c; c = find(c + 1, '.')) {
        if (c - begin >= 3 && (c[-1] | 0x20) == 'w' && (c[-2] | 0x20) == 'w' &&
            (c[-3] | 0x20) == 'w')
            return true;
    }
    return false;
}

QString linkAddress(QStringView linkText)
{
    if (linkText.startsWith(u"www.", Qt::CaseInsensitive))
        return QStringLiteral("http://") + linkText.toString();
    return linkText.toString();
}
