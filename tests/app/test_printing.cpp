// What the windows print besides the invoice goes onto one A4 page: the figures upright, the plan
// of a whole year across. Each is read back with poppler; a cancelled printer dialog prints nothing.

#include "app/TMainForm.h"
#include "register/GuestList.h"
#include "support/AppFixture.h"
#include "support/GuestBuilder.h"
#include "support/ReadBack.h"

#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <functional>

using guests::TGast;
using platform::EncodeDate;

// Opens a window from the main window and makes it ready to print; the window, or null.
using Opener = std::function<QWidget *(AppFixture &)>;
Q_DECLARE_METATYPE(Opener)

namespace {

// Bookings over New Year, in January and in February with two rooms and invoices.
std::vector<TGast> Bookings()
{
    return fixture::List(
        {fixture::Stay(1, "1", 2, EncodeDate(2025, 1, 30), EncodeDate(2025, 2, 2), "Anna").kosten(300).reNr(5),
         fixture::Stay(2, "13", 3, EncodeDate(2025, 2, 10), EncodeDate(2025, 2, 13), "Bert")
             .kosten(540)
             .reNr(6)
             .bezahlt(),
         fixture::Stay(3, "2", 1, EncodeDate(2024, 12, 30), EncodeDate(2025, 1, 2), "Carl")
             .kosten(135)
             .reNr(4)
             .bezahlt()});
}

QWidget *Exposed(QWidget *window)
{
    return window && QTest::qWaitForWindowExposed(window) ? window : nullptr;
}

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void printsOneA4Page_data();
    void printsOneA4Page();
};

void TestPrinting::printsOneA4Page_data()
{
    QTest::addColumn<Opener>("open");
    QTest::addColumn<QString>("printerTitle");
    QTest::addColumn<bool>("landscape");

    QTest::newRow("figures: chart and table") << Opener([](AppFixture &app) -> QWidget * {
        QMenu *menu = app.window->menuBar()->findChild<QMenu *>(QStringLiteral("MenuAnsicht"));
        for (QAction *action : menu->actions())
            if (action->text() == QStringLiteral("A&uswertung"))
                action->trigger();
        return Exposed(app.window->findChild<QWidget *>(QStringLiteral("Statistics")));
    }) << QStringLiteral("Auswertung drucken") << false;

    QTest::newRow("plan of a whole year") << Opener([](AppFixture &app) -> QWidget * {
        // Ctrl+B in the main window opens the plan.
        QTest::keyClick(app.window.get(), Qt::Key_B, Qt::ControlModifier);
        QWidget *plan = Exposed(app.window->findChild<QWidget *>(QStringLiteral("OccupancyPlan")));
        if (plan)
            plan->findChild<QSlider *>(QStringLiteral("SliderZoom"))->setValue(366);
        return plan;
    }) << QStringLiteral("Belegungsplan drucken")
                                          << true;
}

void TestPrinting::printsOneA4Page()
{
    QFETCH(Opener, open);
    QFETCH(QString, printerTitle);
    QFETCH(bool, landscape);

    // GIVEN a window over the bookings, printing to a PDF file
    AppFixture app;
    app.window->context().guestList().replace(Bookings());
    QWidget *window = open(app);
    QVERIFY(window);
    auto *print = window->findChild<QPushButton *>(QStringLiteral("ButtonDrucken"));
    QVERIFY(print);
    const QString pdf = app.path(QStringLiteral("druck.pdf"));
    app.printToPdf(pdf);

    // WHEN it prints
    print->click();

    // THEN one A4 page, the right way round
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    QCOMPARE(app.dialogs.printerTitles, QStringList{printerTitle});
    const QByteArray bytes = app.readFile(QStringLiteral("druck.pdf"));
    QCOMPARE(readback::PdfPageCount(bytes), 1);
    QSizeF page = readback::PdfPageSize(bytes);
    if (landscape)
        page.transpose();
    QVERIFY2(page.width() > 594 && page.width() < 596 && page.height() > 840 && page.height() < 843,
             qPrintable(QStringLiteral("%1 x %2").arg(page.width()).arg(page.height())));

    // A cancelled printer dialog prints nothing.
    QVERIFY(QFile::remove(pdf));
    app.dialogs.printer = nullptr;
    print->click();
    QVERIFY(!QFile::exists(pdf));
    QVERIFY(app.dialogs.errors.isEmpty());
}

QTEST_MAIN(TestPrinting)
#include "test_printing.moc"
