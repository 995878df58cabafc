#include "parsedline.h"

#include <limits>

void SplitAtFirst(const QString &source, QChar separator, QString &before, QString &after)
{
    const qsizetype at = source.indexOf(separator);
    if (at < 0) {
        before = source;
        after = source;
        return;
    }
    before = source.left(at);
    after = source.mid(at + 1);
}

void ParseLine(const QString &line, ParsedLine &record)
{
    record = ParsedLine();
    record.ParamCount = 1;
    record.Params.append(QString());

    QString rest = line;
    if (rest.startsWith(u':')) {
        QString prefix;
        SplitAtFirst(rest.mid(1), u' ', prefix, rest);
        record.Prefix = prefix;
        record.Host = prefix;
        if (prefix.contains(u'!')) {
            QString afterBang;
            SplitAtFirst(prefix, u'!', record.Nick, afterBang);
            SplitAtFirst(afterBang, u'@', record.User, record.Host);
        }
    }

    const qsizetype blank = rest.indexOf(u' ');
    if (blank < 0) {
        record.ParamCount = 0;
        record.Command = rest;
        return;
    }
    record.Command = rest.left(blank);
    rest = rest.mid(blank + 1);
    record.Rest = rest;

    // Walk the parameters with an index instead of cutting copies of the remainder, so a line
    // with thousands of parameters stays linear.
    qsizetype pos = 0;
    const qsizetype size = rest.size();
    for (;;) {
        QString &current = record.Params.last();
        if (pos < size && rest[pos] == u':') {
            current = rest.mid(pos + 1);
            return;
        }
        const qsizetype next = rest.indexOf(u' ', pos);
        // Past the 16-bit count the remaining words stay together as the last parameter.
        if (next < 0 || record.ParamCount == std::numeric_limits<qint16>::max()) {
            current = rest.mid(pos);
            return;
        }
        current = rest.mid(pos, next - pos);
        pos = next + 1;
        ++record.ParamCount;
        record.Params.append(QString());
    }
}

QString GetParams(const ParsedLine &record, int first, int last)
{
    if (first < 1 || last > record.ParamCount)
        return QString();
    const int end = last == -1 ? record.ParamCount : last;
    if (first > end || first > record.Params.size())
        return QString();
    QString joined;
    for (int i = first; i <= end && i <= record.Params.size(); ++i) {
        if (i > first)
            joined += u' ';
        joined += record.Params[i - 1];
    }
    joined.remove(u'\r');
    return joined;
}
