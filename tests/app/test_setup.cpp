// A house sets itself up through the window: the calendar marks the holidays of the house's own
// postal code, the first invoice asks which number it begins with and carries it, and an invoice
// without a scanned form carries the house's letterhead. PDFs are read back with poppler.

#include "app/HolidayOutlineDelegate.h"
#include "billing/InvoiceNumber.h"
#include "guestfile/GuestFile.h"
#include "support/AppFixture.h"
#include "support/WindowMoves.h"

#include <QSpinBox>
#include <QStandardPaths>
#include <poppler-qt6.h>

using app::HolidayOutlineDelegate;
using billing::LiesReNrStand;
using guestfile::housePostalCode;
using guestfile::OpenSettings;
using guestfile::ReadGuestFile;
using guestfile::setHouseDetails;
using guestfile::setHousePostalCode;
using guestfile::setPrintWithoutForm;

using namespace moves;

namespace {

// Anna without an invoice; Bert with invoice `bertsNumber` (0: none).
QByteArray someGuests(int bertsNumber)
{
    return kRecordZero + guestLine(1, "1", 2, "19.02.2025", "21.02.2025", "Anna") + QByteArray::number(2) +
           ";2;1;10.02.2025;14:00:00;12.02.2025;10:00:00;Bert;Weg 2;80331;München;;;" +
           QByteArray::number(bertsNumber) + ";90,00;True;False;\r\n";
}

// A house whose data folder "daten" holds its guests and the form but no invoice counter yet.
class NewHouse : public AppFixture
{
public:
    explicit NewHouse(int bertsNumber = 0, bool form = true)
    {
        if (form) {
            QImage page(2480, 3508, QImage::Format_RGB32);
            page.fill(Qt::white);
            QVERIFY(page.save(path(QStringLiteral("REVORL.JPG")), "JPG"));
        }
        QDir(path(QString())).mkdir(QStringLiteral("daten"));
        writeFile(QStringLiteral("daten/Gaeste.csv"), someGuests(bertsNumber));
        dialogs.openFile = daten(QStringLiteral("Gaeste.csv"));
        click("ButtonRead");
    }
    void printForAnna()
    {
        w<QSpinBox>("SpinBox1")->setValue(1);
        printToPdf(path(QStringLiteral("rechnung.pdf")));
        click("ButtonPrintRe");
    }
};

QString pdfText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<no file %1>").arg(path);
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(file.readAll());
    if (!document || document->numPages() < 1)
        return QStringLiteral("<no PDF %1>").arg(path);
    return document->info(QStringLiteral("Title")) + u'|' + document->page(0)->text(QRectF()).simplified();
}

const QString kQuestion = QStringLiteral("Mit welcher Nummer soll die nächste Rechnung beginnen?");

} // namespace

class TestSetup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        OpenSettings()->remove(QStringLiteral("Haus"));
        OpenSettings()->remove(QStringLiteral("Rechnung"));
    }

    void calendarMarksTheHousesHolidays_data();
    void calendarMarksTheHousesHolidays();
    void firstInvoiceAsksForItsNumber_data();
    void firstInvoiceAsksForItsNumber();
    void existingCounterIsNotAsked();
    void invoiceWithoutFormCarriesTheHouse();
};

void TestSetup::calendarMarksTheHousesHolidays_data()
{
    QTest::addColumn<int>("plz");
    QTest::addColumn<bool>("marked");
    QTest::addColumn<QString>("named");
    QTest::newRow("Munich") << 80331 << true << "Heilige Drei Könige";
    QTest::newRow("Diemelsee") << 34519 << false << "";
}

void TestSetup::calendarMarksTheHousesHolidays()
{
    QFETCH(int, plz);
    QFETCH(bool, marked);
    QFETCH(QString, named);
    // GIVEN a house with its postal code
    setHousePostalCode(plz);
    AppFixture app;
    // WHEN the calendar is shown
    clickTab(app, 1);
    auto *delegate = qobject_cast<HolidayOutlineDelegate *>(grid(app)->itemDelegateForColumn(0));
    QVERIFY(delegate);
    // THEN 6 January (a Monday) and 15 August 2025 (a Friday) are outlined only where they are holidays
    for (const QDate day : {QDate(2025, 1, 6), QDate(2025, 8, 15)}) {
        const int row = calendarModel(app)->rowOfDay(platform::DateToDay(day));
        QVERIFY(row >= 0);
        QCOMPARE(delegate->marks(calendarModel(app)->index(row, 0)), marked);
    }
    // AND a click on the date names the holiday of the house's place
    clickCell(app, calendarModel(app)->rowOfDay(platform::DateToDay(QDate(2025, 1, 6))), 0);
    QCOMPARE(app.dialogs.informations, named.isEmpty() ? QStringList() : QStringList{named});

    // WHEN the code changes, THEN the calendar follows at once, and the settings keep it
    app.window->context().setPostalCode(plz == 80331 ? 34519 : 80331);
    QCOMPARE(housePostalCode(), plz == 80331 ? 34519 : 80331);
    const int assumption = calendarModel(app)->rowOfDay(platform::DateToDay(QDate(2025, 8, 15)));
    QCOMPARE(delegate->marks(calendarModel(app)->index(assumption, 0)), !marked);
}

void TestSetup::firstInvoiceAsksForItsNumber_data()
{
    QTest::addColumn<int>("bertsNumber"); // an invoice issued before the counter went missing
    QTest::addColumn<int>("typed");       // 0: cancelled
    QTest::addColumn<QString>("offered"); // "default|minimum"
    QTest::addColumn<int>("issued");      // 0: none
    QTest::addColumn<QString>("error");
    QTest::newRow("new house types 1001") << 0 << 1001 << "1|1" << 1001 << "";
    QTest::newRow("new house takes 1") << 0 << 1 << "1|1" << 1 << "";
    QTest::newRow("cancelled") << 0 << 0 << "1|1" << 0 << "";
    QTest::newRow("after invoice 40") << 40 << 41 << "41|41" << 41 << "";
    QTest::newRow("below invoice 40") << 40 << 12 << "41|41" << 0 << "dürfen sich nicht wiederholen";
}

void TestSetup::firstInvoiceAsksForItsNumber()
{
    QFETCH(int, bertsNumber);
    QFETCH(int, typed);
    QFETCH(QString, offered);
    QFETCH(int, issued);
    QFETCH(QString, error);
    // GIVEN a house without "ReNummer.DAT"
    NewHouse app(bertsNumber);
    if (typed)
        app.dialogs.number = typed;
    int printerAsked = 0;
    app.dialogs.printer = [&](QPrinter &printer) {
        ++printerAsked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(app.path(QStringLiteral("rechnung.pdf")));
        return true;
    };
    // WHEN the first invoice is printed
    app.w<QSpinBox>("SpinBox1")->setValue(1);
    app.click("ButtonPrintRe");

    // THEN the host is asked for the number, with the folder the counter goes to
    QCOMPARE(app.dialogs.numbersAsked.size(), 1);
    const QString asked = app.dialogs.numbersAsked.first();
    QVERIFY2(asked.startsWith(kQuestion), qPrintable(asked));
    QVERIFY2(asked.contains(QDir::toNativeSeparators(QFileInfo(app.daten(QString())).absolutePath())),
             qPrintable(asked));
    QVERIFY2(asked.endsWith(u'|' + offered), qPrintable(asked));
    const QString counter = app.daten(QStringLiteral("ReNummer.DAT"));
    if (issued) {
        // AND the first invoice carries the typed number, and the counter goes on from it
        QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
        QCOMPARE(app.list().at(1).ReNr, issued);
        QCOMPARE(ReadGuestFile(app.daten(QStringLiteral("Gaeste.csv"))).at(1).ReNr, issued);
        const QString kept = pdfText(app.daten(QStringLiteral("Rechnungen/Rechnung %1.pdf").arg(issued)));
        QVERIFY2(kept.startsWith(QStringLiteral("Rechnung %1|").arg(issued)), qPrintable(kept));
        QVERIFY2(kept.contains(QStringLiteral("Rechnung Nr. %1").arg(issued)), qPrintable(kept));
        QCOMPARE(app.readFile(QStringLiteral("daten/ReNummer.DAT")), QByteArray::number(issued) + "\r\n");
        QCOMPARE(LiesReNrStand(counter).naechste, std::optional<qint32>(issued + 1));
    } else {
        // AND cancelling (or a number issued already) takes no number and prints nothing
        QCOMPARE(printerAsked, 0);
        QVERIFY(!QFile::exists(counter));
        QCOMPARE(app.list().at(1).ReNr, 0);
        QVERIFY(!QFile::exists(app.path(QStringLiteral("rechnung.pdf"))));
        if (error.isEmpty()) {
            QVERIFY(app.dialogs.errors.isEmpty());
            QCOMPARE(app.status(), QStringLiteral("Keine Rechnung gedruckt"));
        } else {
            QCOMPARE(app.dialogs.errors.size(), 1);
            QVERIFY2(app.dialogs.errors.first().contains(error), qPrintable(app.dialogs.errors.first()));
        }
    }
}

void TestSetup::existingCounterIsNotAsked()
{
    NewHouse app;
    app.writeFile(QStringLiteral("daten/ReNummer.DAT"), "41\r\n");
    app.dialogs.number = 5;
    app.printForAnna();
    QVERIFY(app.dialogs.numbersAsked.isEmpty());
    QCOMPARE(app.list().at(1).ReNr, 42);
}

void TestSetup::invoiceWithoutFormCarriesTheHouse()
{
    // GIVEN a house without a scanned form that prints on plain paper with its details
    setPrintWithoutForm(true);
    setHouseDetails({QStringLiteral("Gästehaus Lindenhof"), QStringLiteral("Kirchweg 2\n34519 Diemelsee"),
                     QStringLiteral("05633 4711"), QStringLiteral("post@lindenhof.de"),
                     QStringLiteral("Steuernummer 012/345/67890")});
    NewHouse app(0, false);
    app.writeFile(QStringLiteral("daten/ReNummer.DAT"), "41\r\n");
    // WHEN Anna's invoice is printed
    app.printForAnna();
    // THEN the invoice is printed, and its kept PDF carries the house's letterhead and the guest
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    QCOMPARE(app.list().at(1).ReNr, 42);
    QVERIFY(pdfText(app.path(QStringLiteral("rechnung.pdf"))).startsWith(u'|'));
    const QString text = pdfText(app.daten(QStringLiteral("Rechnungen/Rechnung 42.pdf")));
    for (const QString &line : {QStringLiteral("Gästehaus Lindenhof"), QStringLiteral("Kirchweg 2"),
                                QStringLiteral("34519 Diemelsee"), QStringLiteral("Telefon 05633 4711"),
                                QStringLiteral("post@lindenhof.de"), QStringLiteral("Steuernummer 012/345/67890"),
                                QStringLiteral("Anna"), QStringLiteral("Weg 1"), QStringLiteral("Rechnung Nr. 42")})
        QVERIFY2(text.contains(line), qPrintable(line + QStringLiteral(" not in: ") + text));
}

QTEST_MAIN(TestSetup)
#include "test_setup.moc"
