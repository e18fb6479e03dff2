// Which days the calendar outlines depends on the house's postal code: a Bavarian house sees
// Epiphany and the Assumption, a Hessian one does not. The delegate is told a changed code, which
// shows at the next paint; it draws the outline on the cell's edge, never over its text.

#include "app/HolidayOutlineDelegate.h"
#include "calendar/RoomCalendar.h"
#include "calendar/RoomCalendarModel.h"
#include "platform/Convert.h"
#include "platform/Regional.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QTableView>
#include <QtTest>

using app::HolidayOutlineDelegate;
using calendar::CalendarRow;
using calendar::IsMarkedDay;
using calendar::kTageVorStarttag;
using calendar::RoomCalendarModel;
using calendar::ZeigGridRows;
using guests::TGast;

namespace {
constexpr int kRows = 1000;
}

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
        const std::vector<CalendarRow> rows = ZeigGridRows(std::vector<TGast>(1), first + kTageVorStarttag, kRows);
        RoomCalendarModel model(kRows);
        const QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRows(rows);
        const int row = model.rowOfDay(platform::DateToDay(day));
        QVERIFY(row >= 0);
        QCOMPARE(model.cellText(row, 0), day.toString(QStringLiteral("dd.MM.yyyy")));

        HolidayOutlineDelegate delegate(plz);
        QCOMPARE(delegate.marks(model.index(row, 0)), marked);
        QCOMPARE(IsMarkedDay(platform::DateToDay(day), plz), marked);
        // Only the date column is outlined.
        QVERIFY(!delegate.marks(model.index(row, 1)));

        // Another code takes effect at the next look, without a new delegate.
        delegate.setPostalCode(34519);
        QCOMPARE(delegate.marks(model.index(row, 0)), IsMarkedDay(platform::DateToDay(day), 34519));
    }

    void paintsOutline()
    {
        RoomCalendarModel model(kRows);
        const QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        // The grid from 1 January 2025 on.
        model.setRows(ZeigGridRows(std::vector<TGast>(1), platform::EncodeDate(2025, 1, 12), kRows));
        HolidayOutlineDelegate delegate(34519);
        QTableView view;
        view.setModel(&model);
        view.setItemDelegate(&delegate);
        for (int c = 0; c < RoomCalendarModel::kColumnCount; ++c)
            view.setColumnWidth(c, RoomCalendarModel::kColumnWidths[c]);
        view.verticalHeader()->setMinimumSectionSize(1);
        view.verticalHeader()->setDefaultSectionSize(20);
        view.resize(400, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QImage image = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int grid = view.showGrid() ? 1 : 0;
        const QRgb red = qRgb(0xFF, 0, 0);

        // Red pixels along the cell's border ring, and dark text pixels inside it.
        auto inspect = [&](int row, int &onBorder, int &borderLength, int &textPixels) {
            // The view's cell rectangle already leaves out the grid line.
            const QRect cell = view.visualRect(model.index(row, 0));
            QCOMPARE(cell.size(), QSize(RoomCalendarModel::kColumnWidths[0] - grid, 20 - grid));
            onBorder = borderLength = textPixels = 0;
            for (int y = cell.top(); y <= cell.bottom(); ++y) {
                for (int x = cell.left(); x <= cell.right(); ++x) {
                    const QRgb px = image.pixel(x, y);
                    const bool border = x == cell.left() || x == cell.right() || y == cell.top() || y == cell.bottom();
                    if (border) {
                        ++borderLength;
                        onBorder += px == red;
                    } else {
                        QVERIFY2(px != red, "red inside the cell");
                        textPixels += qGray(px) < 128;
                    }
                }
            }
        };
        int onBorder = 0, borderLength = 0, textPixels = 0;
        inspect(0, onBorder, borderLength, textPixels); // 1 Jan 2025, Neujahr
        QCOMPARE(onBorder, borderLength);
        QVERIFY(textPixels > 0);
        inspect(11, onBorder, borderLength, textPixels); // 12 Jan 2025, a Sunday
        QCOMPARE(onBorder, borderLength);
        inspect(1, onBorder, borderLength, textPixels); // 2 Jan 2025, a working day
        QCOMPARE(onBorder, 0);
        QVERIFY(textPixels > 0);
        inspect(3, onBorder, borderLength, textPixels); // 4 Jan 2025, a Saturday
        QCOMPARE(onBorder, 0);
    }
};

QTEST_MAIN(TestHolidayMarks)
#include "test_holidaymarks.moc"
