#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTimeZone>

// A server time stamp (seconds since 1970-01-01 00:00 UTC) as the date and time on the clocks of
// zone at that instant, daylight saving included. An invalid zone falls back to the system's
// local time.
QDateTime UnixTimeToLocal(qint64 seconds, const QTimeZone &zone = QTimeZone::systemTimeZone());

// "HH:mm:ss MM-dd-yyyy": how the start of a private chat and the answer to a CTCP TIME request
// write the local time.
QString formatTimeStamp(const QDateTime &dateTime);

// The locale's short date with the year in full, a blank and its long time without a time zone,
// like the "general date" format of Windows.
QString formatGeneralDate(const QDateTime &dateTime, const QLocale &locale = QLocale());
