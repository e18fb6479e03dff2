// Dates and times as a host types them into the form's fields.

#include "platform/DayNumber.h"
#include "platform/Regional.h"
#include "platform/TypedTime.h"

#include <QTest>

class TestTypedInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }

    void typedDates_data();
    void typedDates();
    void typedTimes_data();
    void typedTimes();
};

void TestTypedInput::typedDates_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("expected"); // invalid: no date
    QTest::newRow("whole") << "15.04.2027" << QDate(2027, 4, 15);
    QTest::newRow("short day and month") << "5.4.2027" << QDate(2027, 4, 5);
    QTest::newRow("two-digit year") << "15.3.27" << QDate(2027, 3, 15);
    QTest::newRow("blanks around") << " 15.04.2027 " << QDate(2027, 4, 15);
    QTest::newRow("leap day") << "29.02.2028" << QDate(2028, 2, 29);
    QTest::newRow("no leap day in 2025") << "29.02.2025" << QDate();
    QTest::newRow("year 0") << "01.01.0000" << QDate();
    QTest::newRow("three-digit year is unfinished") << "18.12.202" << QDate();
    QTest::newRow("one-digit year is unfinished") << "18.12.2" << QDate();
    QTest::newRow("no year") << "18.12." << QDate();
    QTest::newRow("day and month only") << "18.12" << QDate();
    QTest::newRow("31 February") << "31.02.2027" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void TestTypedInput::typedDates()
{
    QFETCH(QString, typed);
    QFETCH(QDate, expected);
    platform::TDateTime day = -1;
    const bool read = platform::TryTypedDate(typed, day);
    QCOMPARE(read, expected.isValid());
    if (read)
        QCOMPARE(platform::DayToDate(day), expected);
    else
        QCOMPARE(day, -1.0); // a refused text changes nothing
}

void TestTypedInput::typedTimes_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QTime>("expected"); // invalid: no time
    QTest::newRow("with colon") << "15:00" << QTime(15, 0);
    QTest::newRow("with seconds") << "23:59:59" << QTime(23, 59, 59);
    QTest::newRow("four digits") << "1530" << QTime(15, 30);
    QTest::newRow("three digits") << "930" << QTime(9, 30);
    QTest::newRow("the hour") << "8" << QTime(8, 0);
    QTest::newRow("hour 25") << "25:00" << QTime();
    QTest::newRow("second 60") << "23:59:60" << QTime();
    QTest::newRow("minute 60") << "1260" << QTime();
    QTest::newRow("five digits") << "12345" << QTime();
}

void TestTypedInput::typedTimes()
{
    QFETCH(QString, typed);
    QFETCH(QTime, expected);
    platform::TDateTime time = -1;
    const bool read = platform::TryTypedTime(typed, time);
    QCOMPARE(read, expected.isValid());
    if (read)
        QCOMPARE(platform::FractionToTime(time), expected);
}

QTEST_GUILESS_MAIN(TestTypedInput)
#include "test_typedinput.moc"
