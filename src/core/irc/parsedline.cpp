#include "parsedline.h"

#include <limits>
#include <utility>

namespace {

// SplitAtFirst's cut as views into the source, so that parsing copies each field only once.
std::pair<QStringView, QStringView> splitAtFirst(QStringView source, QChar separator)
{
    const qsizetype at = source.indexOf(separator);
    if (at < 0)
        return {source, source};
    return {source.left(at), source.mid(at + 1)};
}

} // namespace

void SplitAtFirst(const QString &source, QChar separator, QString &before, QString &after)
{
    const auto [left, right] = splitAtFirst(source, separator);
    before = left.toString();
    after = right.toString();
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
        const auto [prefix, remainder] = splitAtFirst(rest.mid(1), u' ');
        rest = remainder;
        record.Prefix = prefix.toString();
        record.Host = record.Prefix;
        if (prefix.contains(u'!')) {
            const auto [nick, afterBang] = splitAtFirst(prefix, u'!');
            const auto [user, host] = splitAtFirst(afterBang, u'@');
            record.Nick = nick.toString();
            record.User = user.toString();
            record.Host = host.toString();
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
