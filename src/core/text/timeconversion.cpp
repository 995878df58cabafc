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

QString formatGeneralDate(const QDateTime &dateTime, const QLocale &locale)
{
    if (!dateTime.isValid())
        return {};
    // The time is formatted as part of the date-time, so that a time zone in the locale's long
    // format is the one of this instant, not the system's at present.
    return locale.toString(dateTime.date(), QLocale::ShortFormat) + u' ' +
           locale.toString(dateTime, locale.timeFormat(QLocale::LongFormat));
}
