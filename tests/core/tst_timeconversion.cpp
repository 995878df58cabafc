#include "text/timeconversion.h"

#include <QtTest>

class TestTimeConversion : public QObject
{
    Q_OBJECT
private slots:
    void toLocal_data();
    void toLocal();
    void invalidZoneFallsBackToLocalTime();
    void generalDate_data();
    void generalDate();
    void timeStamp_data();
    void timeStamp();
};

void TestTimeConversion::toLocal_data()
{
    QTest::addColumn<QByteArray>("zone"); // an IANA name, or empty for a fixed offset
    QTest::addColumn<int>("offset");      // seconds east of UTC when fixed
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QDateTime>("local"); // the wall clock there, as a plain date and time

    auto at = [](int y, int mo, int d, int h, int mi, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
    };
    QTest::newRow("UTC+5:45 at 0")
        << QByteArray() << 20700 << qint64(0) << at(1970, 1, 1, 5, 45, 0);
    QTest::newRow("UTC+5:45 a day on")
        << QByteArray() << 20700 << qint64(86400) << at(1970, 1, 2, 5, 45, 0);
    QTest::newRow("UTC-1 at 0") << QByteArray() << -3600 << qint64(0) << at(1969, 12, 31, 23, 0, 0);
    QTest::newRow("before 1970") << QByteArray() << 0 << qint64(-1) << at(1969, 12, 31, 23, 59, 59);
    QTest::newRow("last 32-bit second")
        << QByteArray() << 0 << qint64(2147483647) << at(2038, 1, 19, 3, 14, 7);
    QTest::newRow("past 32 bits") << QByteArray() << 0 << qint64(4102444800)
                                  << at(2100, 1, 1, 0, 0, 0);

    // Real offsets of the instant, summer time included.
    QTest::newRow("Berlin winter")
        << QByteArray("Europe/Berlin") << 0 << qint64(1705320000) << at(2024, 1, 15, 13, 0, 0);
    QTest::newRow("Berlin summer")
        << QByteArray("Europe/Berlin") << 0 << qint64(1719835200) << at(2024, 7, 1, 14, 0, 0);
    QTest::newRow("Berlin last second of winter time")
        << QByteArray("Europe/Berlin") << 0 << qint64(1711846799) << at(2024, 3, 31, 1, 59, 59);
    QTest::newRow("Berlin first second of summer time")
        << QByteArray("Europe/Berlin") << 0 << qint64(1711846800) << at(2024, 3, 31, 3, 0, 0);
    QTest::newRow("Sydney summer in January")
        << QByteArray("Australia/Sydney") << 0 << qint64(1705320000) << at(2024, 1, 15, 23, 0, 0);
}

void TestTimeConversion::toLocal()
{
    QFETCH(QByteArray, zone);
    QFETCH(int, offset);
    QFETCH(qint64, seconds);
    QFETCH(QDateTime, local);

    const QTimeZone timeZone = zone.isEmpty() ? QTimeZone(offset) : QTimeZone(zone);
    if (!timeZone.isValid())
        QSKIP("this system has no data for the time zone");
    const QDateTime result = UnixTimeToLocal(seconds, timeZone);
    QCOMPARE(result.date(), local.date());
    QCOMPARE(result.time(), local.time());
    QCOMPARE(result.toSecsSinceEpoch(), seconds);
}

void TestTimeConversion::invalidZoneFallsBackToLocalTime()
{
    const QDateTime result = UnixTimeToLocal(1719835200, QTimeZone());
    QVERIFY(result.isValid());
    QCOMPARE(result.toSecsSinceEpoch(), qint64(1719835200));
}

void TestTimeConversion::generalDate_data()
{
    QTest::addColumn<QDateTime>("dateTime");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");

    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    // The year in full, and no time zone.
    QTest::newRow("US, fixed offset")
        << UnixTimeToLocal(0, QTimeZone(20700)) << us << QStringLiteral("1/1/1970 5:45:00 AM");
    QTest::newRow("German, fixed offset") << UnixTimeToLocal(86400, QTimeZone(-3600)) << german
                                          << QStringLiteral("01.01.1970 23:00:00");
    QTest::newRow("zone in front, year already full")
        << UnixTimeToLocal(1719835200, QTimeZone(28800))
        << QLocale(QLocale::Chinese, QLocale::China) << QStringLiteral("2024/7/1 20:00:00");
    QTest::newRow("quoted letters kept")
        << UnixTimeToLocal(1719835200, QTimeZone(10800)) << QLocale(QLocale::Bulgarian)
        << QStringLiteral("1.07.2024 г. 15:00:00 ч.");
    const QTimeZone berlin("Europe/Berlin");
    if (berlin.isValid()) {
        QTest::newRow("summer") << UnixTimeToLocal(1719835200, berlin) << us
                                << QStringLiteral("7/1/2024 2:00:00 PM");
        QTest::newRow("after 2099")
            << UnixTimeToLocal(4102444800, berlin) << us << QStringLiteral("1/1/2100 1:00:00 AM");
    }
    QTest::newRow("invalid") << QDateTime() << us << QString();
}

void TestTimeConversion::generalDate()
{
    QFETCH(QDateTime, dateTime);
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QCOMPARE(formatGeneralDate(dateTime, locale), text);
}

void TestTimeConversion::timeStamp_data()
{
    QTest::addColumn<QDateTime>("dateTime");
    QTest::addColumn<QString>("text");
    auto at = [](int y, int mo, int d, int h, int mi, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
    };
    QTest::newRow("leading zeros") << at(2024, 3, 5, 7, 8, 9) << u"07:08:09 03-05-2024"_qs;
    QTest::newRow("24-hour clock") << at(1999, 12, 31, 23, 59, 59) << u"23:59:59 12-31-1999"_qs;
    QTest::newRow("midnight") << at(2000, 1, 1, 0, 0, 0) << u"00:00:00 01-01-2000"_qs;
    QTest::newRow("invalid") << QDateTime() << QString();
}

void TestTimeConversion::timeStamp()
{
    QFETCH(QDateTime, dateTime);
    QFETCH(QString, text);
    QCOMPARE(formatTimeStamp(dateTime), text);
}

QTEST_GUILESS_MAIN(TestTimeConversion)
#include "tst_timeconversion.moc"
