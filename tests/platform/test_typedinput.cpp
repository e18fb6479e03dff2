// Dates, times and amounts as a host types them into the form's fields.

#include "platform/DayNumber.h"
#include "platform/Regional.h"
#include "platform/TypedAmount.h"
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
    void typedAmounts_data();
    void typedAmounts();
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

void TestTypedInput::typedAmounts_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("amount");
    QTest::addColumn<double>("expected");
    QTest::newRow("whole euros") << "777" << true << 777.0;
    QTest::newRow("decimal comma") << "85,50" << true << 85.5;
    QTest::newRow("one decimal") << "85,5" << true << 85.5;
    QTest::newRow("comma at the end") << "85," << true << 85.0;
    QTest::newRow("point before two digits is the decimal mark") << "85.50" << true << 85.5;
    QTest::newRow("point before one digit is the decimal mark") << "85.5" << true << 85.5;
    QTest::newRow("thousands") << "1.500" << true << 1500.0;
    QTest::newRow("thousands with cents") << "1.500,25" << true << 1500.25;
    QTest::newRow("millions") << "1.000.000" << true << 1000000.0;
    QTest::newRow("euro sign") << "85,50 €" << true << 85.5;
    QTest::newRow("blanks around") << " 12 " << true << 12.0;
    QTest::newRow("negative") << "-5,00" << true << -5.0;
    QTest::newRow("letter O for zero") << "1O0,00" << false << 0.0;
    QTest::newRow("three decimals") << "85,505" << false << 0.0;
    QTest::newRow("thousands out of place") << "15.00,00" << false << 0.0;
    QTest::newRow("two decimal marks") << "1,5,0" << false << 0.0;
    QTest::newRow("point and comma swapped") << "1,500.25" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("a sign alone") << "-" << false << 0.0;
    QTest::newRow("a comma alone") << "," << false << 0.0;
}

void TestTypedInput::typedAmounts()
{
    QFETCH(QString, typed);
    QFETCH(bool, amount);
    QFETCH(double, expected);
    const std::optional<double> read = platform::TypedAmount(typed);
    QCOMPARE(read.has_value(), amount);
    if (read)
        QCOMPARE(*read, expected);
}

QTEST_GUILESS_MAIN(TestTypedInput)
#include "test_typedinput.moc"
