// The window "Belegungsplan" driven through its controls: opened from the main window, a month by
// default, zoom and scroll, the tooltip, opening a booking, picking a stay by dragging, following
// the guest list and printing.

#include "app/occupancy/OccupancyPlanWindow.h"
#include "app/occupancy/PlanPainter.h"
#include "app/occupancy/PlanView.h"
#include "platform/Convert.h"
#include "support/AppFixture.h"
#include "support/GuestBuilder.h"

#include <QDateEdit>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSlider>
#include <QStandardPaths>
#include <QTabWidget>
#include <QToolTip>
#include <QWheelEvent>

using app::OccupancyPlanWindow;
using app::PlanLayout;
using app::PlanView;
using calendar::AuswahlText;
using calendar::PickState;
using calendar::PlanBar;
using calendar::PlanGeometry;
using calendar::PlanZustand;
using guests::GuestList;
using guests::TGast;
using platform::EncodeDate;

namespace {

// February 2025 around today, the 20th: Anna came in January, Bert has rooms 1 and 3, Fritz takes
// room 3 on Bert's departure day, and Dora and Emil are both booked into room 2 on the 17th.
std::vector<TGast> February()
{
    return {TGast{},
            fixture::Stay(1, "1", 2, EncodeDate(2025, 1, 30), EncodeDate(2025, 2, 2), "Anna"),
            fixture::Stay(2, "13", 3, EncodeDate(2025, 2, 10), EncodeDate(2025, 2, 13), "Bert"),
            fixture::Stay(3, "2", 1, EncodeDate(2025, 2, 15), EncodeDate(2025, 2, 18), "Dora"),
            fixture::Stay(4, "2", 2, EncodeDate(2025, 2, 17), EncodeDate(2025, 2, 20), "Emil"),
            fixture::Stay(5, "3", 4, EncodeDate(2025, 2, 13), EncodeDate(2025, 2, 15), "Fritz")};
}

QStringList BarsOf(const PlanGeometry &plan)
{
    QStringList bars;
    for (const PlanBar &bar : plan.bars)
        bars << QStringLiteral("%1:%2%3").arg(bar.record).arg(bar.room).arg(bar.doppelt ? "!" : "");
    return bars;
}

struct Plan
{
    explicit Plan(AppFixture &app)
    {
        app.window->context().guestList().replace(February());
        // Ctrl+B in the main window opens the plan.
        QTest::keyClick(app.window.get(), Qt::Key_B, Qt::ControlModifier);
        window = app.window->findChild<OccupancyPlanWindow *>(QStringLiteral("OccupancyPlan"));
        if (!window)
            qFatal("no plan window");
        QVERIFY(QTest::qWaitForWindowExposed(window));
        view = window->findChild<PlanView *>();
    }

    template <typename T = QWidget> T *w(const char *name) const { return control<T>(window, name); }

    // The middle of day `day` of the span in a room's row, or a point on a bar.
    QPoint at(int index, int room) const
    {
        const PlanLayout layout = view->planLayout();
        return QPointF(layout.xOf(index + 0.5), layout.roomRect(room).center().y()).toPoint();
    }
    QPoint on(const PlanBar &bar) const { return view->planLayout().barRect(bar).center().toPoint(); }
    const PlanBar &bar(int record, int room) const
    {
        for (const PlanBar &b : view->geometry().bars)
            if (b.record == record && b.room == room)
                return b;
        qFatal("no bar %d in room %d", record, room);
    }
    int dayIndex(int day) const { return static_cast<int>(EncodeDate(2025, 2, day) - view->first()); }

    // Presses on one point, moves with the button held and lets go on another.
    void drag(const QPoint &from, const QPoint &to) const
    {
        QTest::mousePress(view, Qt::LeftButton, {}, from);
        for (int step = 1; step <= 4; ++step) {
            const QPoint p = from + (to - from) * step / 4;
            QMouseEvent move(QEvent::MouseMove, p, view->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view, &move);
        }
        QTest::mouseRelease(view, Qt::LeftButton, {}, to);
    }

    void wheel(const QPoint &where, int angle, Qt::KeyboardModifiers modifiers) const
    {
        QWheelEvent event(where, view->mapToGlobal(where), QPoint(), QPoint(0, angle), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &event);
    }

    OccupancyPlanWindow *window = nullptr;
    PlanView *view = nullptr;
};

} // namespace

class TestOccupancyWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void opensOnTheCurrentMonth()
    {
        AppFixture app;
        Plan plan(app);
        QVERIFY(plan.window->isVisible());
        QCOMPARE(plan.window->windowTitle(), QStringLiteral("Belegungsplan"));
        QCOMPARE(plan.view->first(), EncodeDate(2025, 2, 1));
        QCOMPARE(plan.view->days(), 28);
        QCOMPARE(plan.w<QSlider>("SliderZoom")->value(), 28);
        QCOMPARE(plan.w<QLabel>("LabelZeitraum")->text(), QStringLiteral("Februar 2025"));
        // Anna's stay from January shows its end; the double booking in room 2 warns on both bars.
        QCOMPARE(BarsOf(plan.view->geometry()), (QStringList{"1:1", "2:1", "3:2!", "4:2!", "2:3", "5:3"}));
        QCOMPARE(plan.view->geometry().overlaps.size(), std::size_t(1));

        // The menu entry and the shortcut lead to the one window.
        QMenu *menu = app.window->menuBar()->findChild<QMenu *>(QStringLiteral("MenuAnsicht"));
        QAction *entry = nullptr;
        for (QAction *action : menu->actions())
            if (action->text() == QStringLiteral("&Belegungsplan"))
                entry = action;
        QVERIFY(entry);
        QCOMPARE(entry->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
        plan.window->close();
        entry->trigger();
        QVERIFY(plan.window->isVisible());
        QCOMPARE(app.window->findChildren<OccupancyPlanWindow *>().size(), 1);
    }

    void zoomAndScroll()
    {
        AppFixture app;
        Plan plan(app);
        auto *slider = plan.w<QSlider>("SliderZoom");

        slider->setValue(366); // a year, from the same first day
        QCOMPARE(plan.view->days(), 366);
        QCOMPARE(plan.view->first(), EncodeDate(2025, 2, 1));
        QCOMPARE(plan.view->geometry().dayInfo.size(), std::size_t(366));
        QCOMPARE(plan.w<QLabel>("LabelTage")->text(), QStringLiteral("366 Tage"));
        QCOMPARE(plan.w<QLabel>("LabelZeitraum")->text(), QStringLiteral("01.02.2025 bis 01.02.2026"));
        slider->setValue(5); // the slider stops at two weeks
        QCOMPARE(plan.view->days(), 14);

        // Ctrl and the wheel zoom out around the day under the mouse, which stays in place.
        slider->setValue(28);
        const QPoint mouse = plan.at(plan.dayIndex(15), 2);
        plan.wheel(mouse, -120, Qt::ControlModifier);
        QCOMPARE(plan.view->days(), 35);
        QCOMPARE(plan.view->planLayout().dayIndexAt(mouse.x()), plan.dayIndex(15));
        plan.wheel(mouse, 240, Qt::ControlModifier);
        QVERIFY(plan.view->days() < 28);
        QCOMPARE(slider->value(), plan.view->days());

        // The wheel alone, the arrow buttons, the keys and the scroll bar move in time.
        slider->setValue(28);
        plan.view->setFocus();
        const platform::TDateTime first = plan.view->first();
        plan.wheel(mouse, -120, Qt::NoModifier);
        QCOMPARE(plan.view->first(), first + 3);
        plan.w<QPushButton>("ButtonVor")->click();
        QCOMPARE(plan.view->first(), first + 3 + 28);
        plan.w<QPushButton>("ButtonZurueck")->click();
        QCOMPARE(plan.view->first(), first + 3);
        QTest::keyClick(plan.window, Qt::Key_PageDown);
        QCOMPARE(plan.view->first(), first + 3 + 28);
        QTest::keyClick(plan.window, Qt::Key_Left);
        QCOMPARE(plan.view->first(), first + 2 + 28);
        QTest::keyClick(plan.window, Qt::Key_Minus); // zoom out by a quarter
        QCOMPARE(plan.view->days(), 35);
        QTest::keyClick(plan.window, Qt::Key_Plus);
        QCOMPARE(plan.view->days(), 28);
        auto *scroll = plan.w<QScrollBar>("ScrollBarZeit");
        QCOMPARE(scroll->value(), static_cast<int>(plan.view->first()));
        scroll->setValue(static_cast<int>(EncodeDate(2024, 12, 1)));
        QCOMPARE(plan.view->first(), EncodeDate(2024, 12, 1));
        QVERIFY(plan.view->geometry().bars.empty());

        // "Heute" comes back to the current month.
        QTest::mouseClick(plan.w<QPushButton>("ButtonHeute"), Qt::LeftButton);
        QCOMPARE(plan.view->first(), EncodeDate(2025, 2, 1));
        QCOMPARE(plan.w<QLabel>("LabelZeitraum")->text(), QStringLiteral("Februar 2025"));
    }

    void tooltipNamesTheBooking()
    {
        AppFixture app;
        Plan plan(app);
        app.window->context().guestList().modify(2, [](TGast &g) {
            g.Kosten = 540;
            g.ReNr = 17;
        });
        const QPoint point = plan.on(plan.bar(2, 3));
        QHelpEvent help(QEvent::ToolTip, point, plan.view->mapToGlobal(point));
        QApplication::sendEvent(plan.view, &help);
        QCOMPARE(QToolTip::text(), QStringLiteral("Gast 2: Bert\n10.02.2025 bis 13.02.2025, 3 Nächte\nZimmer 1 und 3, "
                                                  "3 Personen\nKosten: 540,00 €\nRechnung Nr. 17, noch nicht bezahlt"));

        // A day with a holiday names it in the header.
        plan.w<QSlider>("SliderZoom")->setValue(366);
        plan.view->setSpan(EncodeDate(2025, 4, 1), 30);
        const PlanLayout layout = plan.view->planLayout();
        const QPoint karfreitag = QPointF(layout.xOf(17.5), layout.dayHeader().center().y()).toPoint();
        QHelpEvent dayHelp(QEvent::ToolTip, karfreitag, plan.view->mapToGlobal(karfreitag));
        QApplication::sendEvent(plan.view, &dayHelp);
        QCOMPARE(QToolTip::text(), QStringLiteral("Fr, 18.04.2025\nKarfreitag"));
    }

    void doubleClickOpensTheBooking()
    {
        AppFixture app;
        Plan plan(app);
        app.window->findChild<QTabWidget *>(QStringLiteral("Tabcontrol1"))->setCurrentIndex(1);
        QTest::mouseDClick(plan.view, Qt::LeftButton, {}, plan.on(plan.bar(4, 2)));
        QCOMPARE(app.list().currentIndex(), 4);
        QCOMPARE(app.w<QLineEdit>("EditName")->text(), QStringLiteral("Emil"));
        QCOMPARE(app.window->findChild<QTabWidget *>(QStringLiteral("Tabcontrol1"))->currentIndex(), 0);
    }

    void dragPicksAStay_data()
    {
        QTest::addColumn<int>("room");
        QTest::addColumn<int>("from"); // days of February
        QTest::addColumn<int>("to");
        QTest::addColumn<QDate>("von");
        QTest::addColumn<QDate>("bis");
        QTest::newRow("free days") << 2 << 5 << 8 << QDate(2025, 2, 5) << QDate(2025, 2, 8);
        QTest::newRow("right to left") << 2 << 8 << 5 << QDate(2025, 2, 5) << QDate(2025, 2, 8);
        // Dora arrives on the 15th: the stay may end on that day, not beyond it.
        QTest::newRow("stops at the next arrival") << 2 << 10 << 25 << QDate(2025, 2, 10) << QDate(2025, 2, 15);
        // Fritz leaves room 3 on the 15th: a stay may begin that day.
        QTest::newRow("leftwards stops at a departure") << 3 << 22 << 10 << QDate(2025, 2, 15) << QDate(2025, 2, 22);
    }
    void dragPicksAStay()
    {
        QFETCH(int, room);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QDate, von);
        QFETCH(QDate, bis);
        AppFixture app;
        Plan plan(app);
        plan.drag(plan.at(plan.dayIndex(from), room), plan.at(plan.dayIndex(to), room));

        // The same picks as a first and a last pick in the room calendar.
        PickState expected;
        expected.pick(room, platform::DateToDay(von));
        expected.pick(room, platform::DateToDay(bis));
        QCOMPARE(app.window->context().picks().room(), room);
        QCOMPARE(app.window->context().picks().first(), expected.first());
        QCOMPARE(app.window->context().picks().last(), expected.last());
        QVERIFY(app.window->context().picks().hasLast());
        QCOMPARE(app.status(), AuswahlText(expected));
        QVERIFY(plan.w<QLabel>("LabelHinweis")->text().startsWith(AuswahlText(expected)));

        // Taken into a new booking as the calendar's picks are, back in the main window.
        QApplication::setActiveWindow(app.window.get());
        app.click("ButtonNeuerGast");
        app.enter("DateEditVon");
        app.leave();
        QCOMPARE(app.list().current().Von, platform::DateToDay(von));
        QCOMPARE(app.list().current().Bis, platform::DateToDay(bis));
        QCOMPARE(app.list().current().Zimmer, QString::number(room));
        // The plan shows the new booking at once, and the picked stretch no longer.
        QVERIFY(
            BarsOf(plan.view->geometry()).contains(QStringLiteral("%1:%2").arg(app.list().currentIndex()).arg(room)));
        QCOMPARE(plan.view->selection().room, 0);
    }

    void clicksAndDragsThatPickNothing()
    {
        AppFixture app;
        Plan plan(app);
        // A click on a free day without moving.
        QTest::mouseClick(plan.view, Qt::LeftButton, {}, plan.at(plan.dayIndex(5), 2));
        QVERIFY(app.window->context().picks().empty());
        // A drag that starts on a bar.
        plan.drag(plan.on(plan.bar(3, 2)), plan.at(plan.dayIndex(25), 2));
        QVERIFY(app.window->context().picks().empty());
        // A drag that starts inside a stay cannot leave it.
        plan.drag(plan.at(plan.dayIndex(11), 1) + QPoint(0, plan.view->planLayout().roomRect(1).height() / 2 - 2),
                  plan.at(plan.dayIndex(14), 1));
        QVERIFY(app.window->context().picks().empty());
    }

    void followsTheGuestList()
    {
        AppFixture app;
        Plan plan(app);
        GuestList &list = app.window->context().guestList();
        QCOMPARE(plan.view->geometry().bars.size(), std::size_t(6));

        // Emil moves to room 3: no double booking left in room 2.
        list.modify(4, [](TGast &g) { g.Zimmer = QStringLiteral("3"); });
        QCOMPARE(BarsOf(plan.view->geometry()), (QStringList{"1:1", "2:1", "3:2", "2:3", "5:3", "4:3"}));
        QVERIFY(plan.view->geometry().overlaps.empty());

        // Paid and invoiced bookings change colour.
        list.modify(1, [](TGast &g) { g.Bezahlt = true; });
        list.modify(5, [](TGast &g) { g.ReNr = 3; });
        QCOMPARE(plan.bar(1, 1).zustand, PlanZustand::Bezahlt);
        QCOMPARE(plan.bar(5, 3).zustand, PlanZustand::Berechnet);
        QCOMPARE(plan.bar(3, 2).zustand, PlanZustand::OhneRechnung);

        // A deleted booking disappears, a new one appears.
        list.select(3);
        list.removeCurrent();
        QCOMPARE(BarsOf(plan.view->geometry()), (QStringList{"1:1", "2:1", "2:3", "4:3", "3:3"}));
        const int added = list.appendNew();
        list.modify(added, [](TGast &g) {
            g.Zimmer = QStringLiteral("2");
            g.Von = EncodeDate(2025, 2, 3);
            g.Bis = EncodeDate(2025, 2, 4);
        });
        QVERIFY(BarsOf(plan.view->geometry()).contains(QStringLiteral("%1:2").arg(added)));

        list.replace({TGast{}});
        QVERIFY(plan.view->geometry().bars.empty());
        // Painting follows too: the window paints without trouble after every change.
        QVERIFY(!plan.view->grab().isNull());
    }

    // A name too long for its bar wraps between words as far as the bar is tall, then elides.
    void barLabelsWrapBeforeTheyElide_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("widest");   // the text the bar is just wide enough for
        QTest::addColumn<int>("maxLines");
        QTest::addColumn<QStringList>("lines"); // "…" at the end: elided there
        QTest::newRow("fits") << "Jürgen Weiß" << "Jürgen Weiß" << 3 << QStringList{"Jürgen Weiß"};
        QTest::newRow("two words, two lines") << "Jürgen Weiß" << "Jürgen" << 3 << QStringList{"Jürgen", "Weiß"};
        QTest::newRow("one line only") << "Jürgen Weiß" << "Jürgen" << 1 << QStringList{"Jürgen…"};
        QTest::newRow("the rest on the last line")
            << "Familie Böhm aus Köln" << "Familie" << 2 << QStringList{"Familie", "Böhm…"};
    }
    void barLabelsWrapBeforeTheyElide()
    {
        QFETCH(QString, name);
        QFETCH(QString, widest);
        QFETCH(int, maxLines);
        QFETCH(QStringList, lines);
        const QFontMetricsF metrics(QGuiApplication::font());
        const qreal width = metrics.horizontalAdvance(widest) + 1;
        const QStringList got = app::barLabelLines(metrics, name, width, maxLines);
        QCOMPARE(got.size(), lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QVERIFY2(metrics.horizontalAdvance(got[i]) <= width, qPrintable(got[i]));
            if (lines[i].endsWith(u'…'))
                QVERIFY2(got[i].endsWith(u'…') && got[i].startsWith(lines[i].chopped(1).left(2)), qPrintable(got[i]));
            else
                QCOMPARE(got[i], lines[i]);
        }
    }

    void printerThatFailsIsReported()
    {
        AppFixture app;
        Plan plan(app);
        app.dialogs.printer = [](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QStringLiteral("/nonexistent-folder/plan.pdf"));
            return true;
        };
        plan.w<QPushButton>("ButtonDrucken")->click();
        QCOMPARE(app.dialogs.errors, QStringList{QStringLiteral("Der Drucker konnte nicht gestartet werden.")});
    }
};

QTEST_MAIN(TestOccupancyWindow)
#include "test_occupancywindow.moc"
