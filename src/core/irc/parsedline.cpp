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
    // Runs for every line received: the line is walked through views and each field is copied
    // out once.
    record = ParsedLine();
    record.ParamCount = 1;
    record.Params.reserve(4);
    record.Params.append(QString());

    QStringView rest = line;
    if (rest.startsWith(u':')) {
        const QStringView source = rest.mid(1);
        const qsizetype blank = source.indexOf(u' ');
        // Without a blank the whole line is the prefix, and what follows it too.
        const QStringView prefix = blank < 0 ? source : source.left(blank);
        rest = blank < 0 ? source : source.mid(blank + 1);
        record.Prefix = prefix.toString();
        record.Host = record.Prefix;
        const qsizetype bang = prefix.indexOf(u'!');
        if (bang >= 0) {
            record.Nick = prefix.left(bang).toString();
            const QStringView afterBang = prefix.mid(bang + 1);
            const qsizetype at = afterBang.indexOf(u'@');
            if (at < 0) {
                record.User = afterBang.toString();
                record.Host = record.User;
            } else {
                record.User = afterBang.left(at).toString();
                record.Host = afterBang.mid(at + 1).toString();
            }
        }
    }

    const qsizetype blank = rest.indexOf(u' ');
    if (blank < 0) {
        record.ParamCount = 0;
        record.Command = rest.toString();
        return;
    }
    record.Command = rest.left(blank).toString();
    rest = rest.mid(blank + 1);
    record.Rest = rest.toString();

    // Walk the parameters with an index instead of cutting copies of the remainder, so a line
    // with thousands of parameters stays linear.
    qsizetype pos = 0;
    const qsizetype size = rest.size();
    for (;;) {
        QString &current = record.Params.last();
        if (pos < size && rest[pos] == u':') {
            current = rest.mid(pos + 1).toString();
            return;
        }
        const qsizetype next = rest.indexOf(u' ', pos);
        // Past the 16-bit count the remaining words stay together as the last parameter.
        if (next < 0 || record.ParamCount == std::numeric_limits<qint16>::max()) {
            current = rest.mid(pos).toString();
            return;
        }
        current = rest.mid(pos, next - pos).toString();
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
