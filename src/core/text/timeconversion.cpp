#include "timeconversion.h"

QDateTime UnixTimeToLocal(qint64 seconds, const QTimeZone &zone)
{
    if (!zone.isValid())
        return QDateTime::fromSecsSinceEpoch(seconds, Qt::LocalTime);
    return QDateTime::fromSecsSinceEpoch(seconds, zone);
}

QString formatTimeStamp(const QDateTime &dateTime)
{
    return dateTime.toString(u"HH:mm:ss MM-dd-yyyy");
}

namespace {

// Rewrites each run of the pattern letter outside quoted text through rewrite; quoted text
// ('...') is literal in a format and stays as it is.
template<typename Rewrite> QString rewriteRuns(const QString &format, QChar letter, Rewrite rewrite)
{
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == u'\'') {
            quoted = !quoted;
            result += c;
            ++i;
        } else if (!quoted && c == letter) {
            qsizetype end = i;
            while (end < format.size() && format[end] == letter)
                ++end;
            result += rewrite(end - i);
            i = end;
        } else {
            result += c;
            ++i;
        }
    }
    return result;
}

QString fullYearDate(const QLocale &locale)
{
    return rewriteRuns(locale.dateFormat(QLocale::ShortFormat), u'y',
                       [](qsizetype) { return QStringLiteral("yyyy"); });
}

QString timeWithoutZone(const QLocale &locale)
{
    const QString format = rewriteRuns(locale.timeFormat(QLocale::LongFormat), u't',
                                       [](qsizetype) { return QString(); });
    return format.simplified();
}

} // namespace

QString formatGeneralDate(const QDateTime &dateTime, const QLocale &locale)
{
    if (!dateTime.isValid())
        return {};
    return locale.toString(dateTime.date(), fullYearDate(locale)) + u' ' +
           locale.toString(dateTime.time(), timeWithoutZone(locale));
}
