// Day numbers that are no calendar day are refused with a German error, and the German date and
// time formats read under any regional settings.

#include "platform/Convert.h"
#include "platform/DayNumber.h"
#include "platform/Regional.h"

#include <QTest>

#include <limits>

using namespace platform;

class TestDayNumberLimits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dayToDate_data();
    void dayToDate();
    void germanFormatsUnderAnySettings_data();
    void germanFormatsUnderAnySettings();
};

void TestDayNumberLimits::dayToDate_data()
{
    QTest::addColumn<double>("day");
    QTest::addColumn<QDate>("date"); // invalid: refused

    QTest::newRow("epoch") << 0.0 << QDate(1899, 12, 30);
    QTest::newRow("first day") << -693593.0 << QDate(1, 1, 1);
    QTest::newRow("last day, evening") << 2958465.9 << QDate(9999, 12, 31);
    QTest::newRow("before the first") << -693594.0 << QDate();
    QTest::newRow("after the last") << 2958466.0 << QDate();
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << QDate();
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << QDate();
    QTest::newRow("minus infinite") << -std::numeric_limits<double>::infinity() << QDate();
    QTest::newRow("beyond 64 bits") << 1e300 << QDate();
    QTest::newRow("huge negative") << -1e19 << QDate();
}

void TestDayNumberLimits::dayToDate()
{
    QFETCH(double, day);
    QFETCH(QDate, date);

    QCOMPARE(IsCalendarDay(day), date.isValid());
    if (date.isValid()) {
        QCOMPARE(DayToDate(day), date);
        return;
    }
    QString error;
    try {
        DayToDate(day);
    } catch (const EConvertError &e) {
        error = e.message();
    }
    QVERIFY2(error.contains(QStringLiteral("ergibt kein Datum")), qPrintable(error));
    QVERIFY_THROWS_EXCEPTION(EConvertError, YearOf(day));
    // Written as no date, as Qt writes an invalid one, rather than a made-up one.
    QCOMPARE(DateToStr(day), QString());
}

void TestDayNumberLimits::germanFormatsUnderAnySettings_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<bool>("readable");

    for (const QLocale &locale :
         {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::Hungarian), QLocale(QLocale::Japanese),
          QLocale(QLocale::Arabic, QLocale::SaudiArabia), QLocale(QLocale::German, QLocale::Germany), QLocale::c()}) {
        const QByteArray name = locale.name().toLatin1();
        QTest::addRow("%s", name.constData()) << locale << "24.12.2026"
                                              << "13:45:56" << true;
        QTest::addRow("%s short", name.constData()) << locale << "3.1.2027"
                                                    << "9:05" << true;
        QTest::addRow("%s no such day", name.constData()) << locale << "31.02.2026"
                                                          << "25:00:00" << false;
        QTest::addRow("%s two-digit year", name.constData()) << locale << "24.12.26"
                                                             << "13-45" << false;
    }
}

void TestDayNumberLimits::germanFormatsUnderAnySettings()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(bool, readable);

    SetRegional(locale);
    TDateTime day = -1;
    TDateTime fraction = -1;
    QCOMPARE(TryGermanStrToDate(date, day), readable);
    QCOMPARE(TryGermanStrToTime(time, fraction), readable);
    if (readable) {
        const QDate expected = QDate::fromString(date, QStringLiteral("d.M.yyyy"));
        QCOMPARE(DayToDate(day), expected);
        QCOMPARE(FractionToTime(fraction), QTime::fromString(time, time.size() > 5 ? "H:mm:ss" : "H:mm"));
    }
    SetRegional(QLocale(QLocale::German, QLocale::Germany));
}

QTEST_MAIN(TestDayNumberLimits)
#include "test_daynumber_limits.moc"
