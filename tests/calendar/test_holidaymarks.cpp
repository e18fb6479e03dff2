// Which days the calendar outlines depends on the house's postal code: a Bavarian house sees
// Epiphany and the Assumption, a Hessian one does not. The delegate asks for the code each time,
// so a changed code shows at once.

#include "calendar/HolidayOutlineDelegate.h"
#include "calendar/RoomCalendar.h"
#include "calendar/RoomCalendarModel.h"
#include "platform/Convert.h"
#include "platform/Regional.h"

#include <QtTest>

class TestHolidayMarks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }

    void marksDependOnThePostalCode_data()
    {
        QTest::addColumn<int>("plz");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<bool>("marked");
        // 6 January 2025 is a Monday, 15 August 2025 a Friday, 8 August 2025 a Friday.
        const QDate epiphany(2025, 1, 6), assumption(2025, 8, 15), peace(2025, 8, 8);
        QTest::newRow("Munich, Epiphany") << 80331 << epiphany << true;
        QTest::newRow("Munich, Assumption") << 80331 << assumption << true;
        QTest::newRow("Munich, 8 August") << 80331 << peace << false;
        QTest::newRow("Augsburg, Friedensfest") << 86150 << peace << true;
        QTest::newRow("Diemelsee, Epiphany") << 34519 << epiphany << false;
        QTest::newRow("Diemelsee, Assumption") << 34519 << assumption << false;
        QTest::newRow("Halle, Epiphany") << 6108 << epiphany << true;
        QTest::newRow("Halle, Assumption") << 6108 << assumption << false;
        QTest::newRow("everywhere: New Year") << 34519 << QDate(2025, 1, 1) << true;
    }

    void marksDependOnThePostalCode()
    {
        QFETCH(int, plz);
        QFETCH(QDate, day);
        QFETCH(bool, marked);

        // The calendar's rows from 1 January 2025 on, as the grid shows them.
        const platform::TDateTime first = platform::EncodeDate(2025, 1, 1);
        constexpr int kRows = 400;
        const std::vector<CalendarRow> rows = ZeigGridRows(std::vector<TGast>(1), first + kTageVorStarttag, kRows);
        RoomCalendarModel model(kRows);
        model.setRows(rows);
        const int row = model.rowOfDay(platform::DateToDay(day));
        QVERIFY(row >= 0);
        QCOMPARE(model.cellText(row, 0), day.toString(QStringLiteral("dd.MM.yyyy")));

        qint32 house = plz;
        const HolidayOutlineDelegate delegate([&house] { return house; });
        QCOMPARE(delegate.marks(model.index(row, 0)), marked);
        QCOMPARE(HolidayOutlineDelegate::IsMarkedDay(model.cellText(row, 0), plz), marked);
        // Only the date column is outlined.
        QVERIFY(!delegate.marks(model.index(row, 1)));

        // Another code takes effect at the next look, without a new delegate.
        house = 34519;
        QCOMPARE(delegate.marks(model.index(row, 0)), HolidayOutlineDelegate::IsMarkedDay(model.cellText(row, 0)));
    }
};

QTEST_MAIN(TestHolidayMarks)
#include "test_holidaymarks.moc"
