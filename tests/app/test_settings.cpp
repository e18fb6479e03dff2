// The settings window sets a house up through the real main window: the price list it saves is
// read back and used at once, the postal code changes the holidays outlined, the invoice counter
// is made or raised (never lowered), a form chosen there prints, and a first start without any
// set-up says what is missing without a dialog.

#include "app/HolidayOutlineDelegate.h"
#include "app/settings/SettingsDialog.h"
#include "billing/InvoiceNumber.h"
#include "billing/PriceMatrix.h"
#include "support/AppFixture.h"
#include "support/WindowMoves.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMap>
#include <QPointer>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <poppler-qt6.h>

using app::HolidayOutlineDelegate;
using app::SettingsDialog;
using app::TMainForm;
using billing::LiesPreisMatrix;
using billing::LiesReNrStand;
using billing::PreisStelle;
using billing::ReNrStand;
using billing::TPreisMatrix;
using guestfile::housePostalCode;
using guestfile::kDefaultHousePostalCode;
using guestfile::OpenSettings;
using guestfile::printWithoutForm;
using guestfile::RememberDataFolder;
using guestfile::RememberedDataFolder;
using guestfile::setHouseDetails;
using guestfile::SetupStep;

using namespace moves;

namespace {

// A house whose data folder "daten" holds its guests (Anna: 2 persons, 2 nights in room 1), read
// at start as the remembered folder; what else it holds is up to the test.
class House : public AppFixture
{
public:
    explicit House(const char *startPrices = "50;45;40\n80;75;70\n100;95;90\n120;115;110\n25;22;20\n")
        : AppFixture(startPrices)
    {
        QDir(path(QString())).mkdir(QStringLiteral("daten"));
        writeFile(QStringLiteral("daten/Gaeste.csv"), threeGuests());
        restart();
    }
    // A new window, started as the host starts the program, with "daten" remembered.
    void restart() { restartWith(daten(QString())); }

    SettingsDialog *openSettings(const char *action = "ActionEinstellungen")
    {
        window->findChild<QAction *>(QString::fromLatin1(action))->trigger();
        QCoreApplication::processEvents();
        auto *dialog = window->findChild<SettingsDialog *>(QStringLiteral("SettingsDialog"));
        if (!dialog || !dialog->isVisible())
            qFatal("the settings window did not open");
        return dialog;
    }
    static void save(SettingsDialog *dialog)
    {
        QTest::mouseClick(control<QAbstractButton>(dialog, "ButtonEinstellungenSpeichern"), Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    void printForAnna()
    {
        w<QSpinBox>("SpinBox1")->setValue(1);
        printToPdf(path(QStringLiteral("rechnung.pdf")));
        click("ButtonPrintRe");
    }
};

qint32 price(std::size_t row, std::size_t column)
{
    return static_cast<qint32>(1000 * (row + 1) + 10 * (column + 1) + 7);
}

QString pdfText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<no file %1>").arg(path);
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(file.readAll());
    if (!document || document->numPages() < 1)
        return QStringLiteral("<no PDF %1>").arg(path);
    return document->page(0)->text(QRectF()).simplified();
}

bool marked(const AppFixture &app, const QDate &day)
{
    auto *delegate = qobject_cast<HolidayOutlineDelegate *>(grid(app)->itemDelegateForColumn(0));
    const int row = calendarModel(app)->rowOfDay(platform::DateToDay(day));
    if (!delegate || row < 0)
        qFatal("no outline for %s", qPrintable(day.toString()));
    return delegate->marks(calendarModel(app)->index(row, 0));
}

const QString kQuestion = QStringLiteral("Mit welcher Nummer soll die nächste Rechnung beginnen?");

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        OpenSettings()->remove(QStringLiteral("Haus"));
        OpenSettings()->remove(QStringLiteral("Rechnung"));
    }

    void savedPriceListIsReadBackAndUsedAtOnce();
    void pricesOutsideTheRangeAreRefused_data();
    void pricesOutsideTheRangeAreRefused();
    void postalCodeChangesTheOutlinedDays_data();
    void postalCodeChangesTheOutlinedDays();
    void missingCounterIsCreatedWithTheTypedNumber();
    void counterIsNeverLowered_data();
    void counterIsNeverLowered();
    void formChosenInTheSettingsPrints_data();
    void formChosenInTheSettingsPrints();
    void printingWithoutFormOffersAChoice_data();
    void printingWithoutFormOffersAChoice();
    void firstStartShowsWhatIsMissing_data();
    void firstStartShowsWhatIsMissing();
    void anotherDataFolderIsReadAfterTheQuestion_data();
    void anotherDataFolderIsReadAfterTheQuestion();
    void escapeClosesWithoutSaving();
    void printoutsAreOfferedInTheDataFolder();
    void eachPageHasItsOwnLetters();
};

void TestSettings::savedPriceListIsReadBackAndUsedAtOnce()
{
    // GIVEN a house whose prices lie in the start folder, as before, and none in the data folder
    House app("50;45;40\n80;75;70\n100;95;90\n120;115;110\n25;22;20\n");
    QPointer<SettingsDialog> dialog = app.openSettings();
    auto *table = control<QTableView>(dialog, "TablePreise");
    const QAbstractItemModelTester tester(table->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(table->model()->rowCount(), 5);
    QCOMPARE(table->model()->columnCount(), 3);
    QCOMPARE(table->model()->headerData(4, Qt::Vertical).toString(), QStringLiteral("Gruppe (ab 5)"));
    QCOMPARE(table->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("ab 3 Nächte"));
    // the prices in use are shown
    QCOMPARE(table->model()->index(1, 1).data(Qt::EditRole).toInt(), 75);

    // WHEN 14 prices are set through the table's model and one is typed
    for (std::size_t r = 0; r < 5; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            if (r != 1 || c != 1)
                QVERIFY(table->model()->setData(table->model()->index(int(r), int(c)), price(r, c), Qt::EditRole));
    dialog->showStep(SetupStep::PriceList);
    table->setCurrentIndex(table->model()->index(1, 1));
    QTest::keyClick(table, Qt::Key_F2);
    QWidget *editor = QApplication::focusWidget();
    QVERIFY(editor && editor != table);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QString::number(price(1, 1)));
    QTest::keyClick(editor, Qt::Key_Return);
    House::save(dialog);

    // THEN the dialog closed and "Preismatrix.dat" in the data folder reads back to the same 15 values
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    QVERIFY(!dialog || !dialog->isVisible());
    TPreisMatrix read;
    QVERIFY(LiesPreisMatrix(app.daten(QStringLiteral("Preismatrix.dat")), read));
    for (std::size_t r = 0; r < 5; ++r)
        for (std::size_t c = 0; c < 3; ++c) {
            QVERIFY(read.bekannt(r, c));
            QCOMPARE(read.Preis[r][c], price(r, c));
        }
    // AND the program uses them at once: Anna (2 persons, 2 nights, 1 room) costs 2 × 2027
    QCOMPARE(app.window->context().preisMatrix().Preis[1][1], price(1, 1));
    app.w<QSpinBox>("SpinBox1")->setValue(1);
    app.window->findChild<QAction *>(QStringLiteral("ActionKostenBerechnen"))->trigger();
    QCOMPARE(app.list().at(1).Kosten, 2.0 * price(1, 1));
    QCOMPARE(app.w<QDoubleSpinBox>("NumberBoxKosten")->value(), 2.0 * price(1, 1));
}

void TestSettings::pricesOutsideTheRangeAreRefused_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("reason");
    QTest::newRow("too high") << QVariant(100000) << "99.999";
    QTest::newRow("negative") << QVariant(-1) << "99.999";
    QTest::newRow("no number") << QVariant(QStringLiteral("viel")) << "kein Preis";
    QTest::newRow("empty") << QVariant(QString()) << "kein Preis eingetragen";
}

void TestSettings::pricesOutsideTheRangeAreRefused()
{
    QFETCH(QVariant, value);
    QFETCH(QString, reason);
    // GIVEN a house with its own price list
    House app;
    const QByteArray old = "50;45;40\r\n80;75;70\r\n100;95;90\r\n120;115;110\r\n25;22;20\r\n";
    app.writeFile(QStringLiteral("daten/Preismatrix.dat"), old);
    QPointer<SettingsDialog> dialog = app.openSettings();
    auto *table = control<QTableView>(dialog, "TablePreise");
    // WHEN one price is set outside what the file may hold, and the settings are saved
    table->model()->setData(table->model()->index(3, 2), value, Qt::EditRole);
    House::save(dialog);
    // THEN the host is told which place is wrong and why, the window stays, and the file is unchanged
    QCOMPARE(app.dialogs.errors.size(), 1);
    QVERIFY2(app.dialogs.errors.first().contains(reason), qPrintable(app.dialogs.errors.first()));
    QVERIFY2(app.dialogs.errors.first().contains(PreisStelle(3, 2)), qPrintable(app.dialogs.errors.first()));
    QVERIFY(dialog->isVisible());
    QCOMPARE(app.readFile(QStringLiteral("daten/Preismatrix.dat")), old);
    QVERIFY(!QFile::exists(app.daten(QStringLiteral("Preismatrix.dat.bak"))));
}

void TestSettings::postalCodeChangesTheOutlinedDays_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("holidays"); // 6 January and 15 August 2025 outlined
    QTest::addColumn<QString>("refused");
    QTest::newRow("Munich") << "80331" << true << "";
    QTest::newRow("Diemelsee") << "34519" << false << "";
    QTest::newRow("below Germany") << "00999" << false << "nicht in Deutschland";
    QTest::newRow("four digits") << "8033" << false << "fünf Ziffern";
}

void TestSettings::postalCodeChangesTheOutlinedDays()
{
    QFETCH(QString, typed);
    QFETCH(bool, holidays);
    QFETCH(QString, refused);
    // GIVEN a house at the default 34519, its calendar shown: 6 January and 15 August are no holidays there
    House app;
    clickTab(app, 1);
    QVERIFY(!marked(app, QDate(2025, 1, 6)));
    QVERIFY(!marked(app, QDate(2025, 8, 15)));
    // WHEN the postal code is typed in the settings and saved
    QPointer<SettingsDialog> dialog = app.openSettings();
    auto *edit = control<QLineEdit>(dialog, "EditHausPLZ");
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    House::save(dialog);
    if (refused.isEmpty()) {
        // THEN the calendar outlines the holidays of that place
        QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
        QCOMPARE(housePostalCode(), typed.toInt());
    } else {
        // THEN a code that is none in Germany is refused with the reason, and nothing changes
        QCOMPARE(app.dialogs.errors.size(), 1);
        QVERIFY2(app.dialogs.errors.first().contains(refused), qPrintable(app.dialogs.errors.first()));
        QVERIFY(dialog->isVisible());
        QCOMPARE(housePostalCode(), kDefaultHousePostalCode);
    }
    QCOMPARE(marked(app, QDate(2025, 1, 6)), holidays);
    QCOMPARE(marked(app, QDate(2025, 8, 15)), holidays);
}

void TestSettings::missingCounterIsCreatedWithTheTypedNumber()
{
    // GIVEN a house with a form but no "ReNummer.DAT"
    House app;
    QImage page(2480, 3508, QImage::Format_RGB32);
    page.fill(Qt::white);
    QVERIFY(page.save(app.path(QStringLiteral("REVORL.JPG")), "JPG"));
    QPointer<SettingsDialog> dialog = app.openSettings();
    dialog->showStep(SetupStep::InvoiceCounter);
    auto *info = control<QLabel>(dialog, "LabelReNr");
    QVERIFY2(info->text().contains(QStringLiteral("fehlt")), qPrintable(info->text()));
    // WHEN the host creates it and types 500
    app.dialogs.number = 500;
    QTest::mouseClick(control<QAbstractButton>(dialog, "ButtonReNr"), Qt::LeftButton);
    // THEN the question was the first number's, offering 1, and the counter exists
    QCOMPARE(app.dialogs.numbersAsked, QStringList{kQuestion + QStringLiteral("|1|1")});
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    QCOMPARE(LiesReNrStand(app.daten(QStringLiteral("ReNummer.DAT"))).naechste, std::optional<qint32>(500));
    QVERIFY2(info->text().contains(QStringLiteral("Nummer 500")), qPrintable(info->text()));
    House::save(dialog);
    // AND the first invoice carries it, without being asked again
    app.printForAnna();
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    QCOMPARE(app.dialogs.numbersAsked.size(), 1);
    QCOMPARE(app.list().at(1).ReNr, 500);
    QVERIFY(
        pdfText(app.daten(QStringLiteral("Rechnungen/Rechnung 500.pdf"))).contains(QStringLiteral("Rechnung Nr. 500")));
}

void TestSettings::counterIsNeverLowered_data()
{
    QTest::addColumn<QByteArray>("counter"); // "": none yet
    QTest::addColumn<int>("bertsNumber");    // an invoice a guest carries already
    QTest::addColumn<int>("typed");
    QTest::addColumn<int>("next"); // the next number afterwards; 0: still none
    QTest::addColumn<QString>("refused");
    QTest::newRow("lower than the counter") << QByteArray("41\r\n") << 0 << 30 << 42 << "nicht wiederholen";
    QTest::newRow("the next one") << QByteArray("41\r\n") << 0 << 42 << 42 << "";
    QTest::newRow("raised") << QByteArray("41\r\n") << 0 << 100 << 100 << "";
    QTest::newRow("below a guest's invoice") << QByteArray() << 40 << 12 << 0 << "nicht wiederholen";
    QTest::newRow("after a guest's invoice") << QByteArray() << 40 << 41 << 41 << "";
}

void TestSettings::counterIsNeverLowered()
{
    QFETCH(QByteArray, counter);
    QFETCH(int, bertsNumber);
    QFETCH(int, typed);
    QFETCH(int, next);
    QFETCH(QString, refused);
    // GIVEN a house whose counter (if any) and guests carry numbers already
    House app;
    QByteArray bert = guestLine(2, "2", 1, "10.02.2025", "12.02.2025", "Bert");
    bert.replace(";;;0; 0,00;", ";;;" + QByteArray::number(bertsNumber) + "; 90,00;");
    app.writeFile(QStringLiteral("daten/Gaeste.csv"),
                  kRecordZero + guestLine(1, "1", 2, "19.02.2025", "21.02.2025", "Anna") + bert);
    if (!counter.isEmpty())
        app.writeFile(QStringLiteral("daten/ReNummer.DAT"), counter);
    app.restart();
    if (bertsNumber)
        QCOMPARE(app.list().at(2).ReNr, bertsNumber);
    // WHEN the host types a number for the counter
    QPointer<SettingsDialog> dialog = app.openSettings();
    dialog->showStep(SetupStep::InvoiceCounter);
    app.dialogs.number = typed;
    QTest::mouseClick(control<QAbstractButton>(dialog, "ButtonReNr"), Qt::LeftButton);
    // THEN a number that was or may have been given already is refused with the reason
    const ReNrStand stand = LiesReNrStand(app.daten(QStringLiteral("ReNummer.DAT")));
    QCOMPARE(stand.naechste, next ? std::optional<qint32>(next) : std::nullopt);
    if (refused.isEmpty()) {
        QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    } else {
        QCOMPARE(app.dialogs.errors.size(), 1);
        QVERIFY2(app.dialogs.errors.first().contains(refused), qPrintable(app.dialogs.errors.first()));
        QCOMPARE(app.readFile(QStringLiteral("daten/ReNummer.DAT")), counter);
    }
}

void TestSettings::formChosenInTheSettingsPrints_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("format"); // "": no picture at all
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("taken");
    QTest::newRow("JPEG at 300 dpi") << "scan.jpg" << QByteArray("JPG") << QSize(2480, 3508) << true;
    QTest::newRow("PNG at 300 dpi") << "scan.png" << QByteArray("PNG") << QSize(2480, 3508) << true;
    QTest::newRow("75 dpi, not wanted") << "klein.jpg" << QByteArray("JPG") << QSize(620, 877) << false;
    QTest::newRow("no picture") << "kaputt.jpg" << QByteArray() << QSize() << false;
}

void TestSettings::formChosenInTheSettingsPrints()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, format);
    QFETCH(QSize, size);
    QFETCH(bool, taken);
    // GIVEN a house with a counter but no form, and a scanned page elsewhere
    House app;
    app.writeFile(QStringLiteral("daten/ReNummer.DAT"), "41\r\n");
    if (format.isEmpty()) {
        app.writeFile(file, "not a picture");
    } else {
        QImage page(size, QImage::Format_RGB32);
        page.fill(Qt::white);
        QVERIFY(page.save(app.path(file), format.constData()));
    }
    const QByteArray picture = app.readFile(file);
    // WHEN it is chosen in the settings (a low resolution is asked about: "Nein")
    QPointer<SettingsDialog> dialog = app.openSettings();
    dialog->showStep(SetupStep::InvoiceForm);
    app.dialogs.picture = app.path(file);
    QTest::mouseClick(control<QAbstractButton>(dialog, "ButtonVorlageWaehlen"), Qt::LeftButton);
    const QString form = app.daten(QStringLiteral("REVORL.JPG"));
    if (!taken) {
        // THEN a picture printing could not use, or one the host does not want, is not taken
        QCOMPARE(app.dialogs.errors.size() + app.dialogs.noByDefault.size(), 1);
        QVERIFY(!QFile::exists(form));
        return;
    }
    // THEN it is the data folder's form, unchanged, and the window shows it
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    QCOMPARE(app.readFile(QStringLiteral("daten/REVORL.JPG")), picture);
    QVERIFY(!control<QLabel>(dialog, "LabelVorlagenbild")->pixmap().isNull());
    QVERIFY2(control<QLabel>(dialog, "LabelVorlage")->text().contains(QStringLiteral("300 dpi")),
             qPrintable(control<QLabel>(dialog, "LabelVorlage")->text()));
    House::save(dialog);
    // AND an invoice prints on it
    app.printForAnna();
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    QCOMPARE(app.list().at(1).ReNr, 42);
    QVERIFY(
        pdfText(app.daten(QStringLiteral("Rechnungen/Rechnung 42.pdf"))).contains(QStringLiteral("Rechnung Nr. 42")));
}

void TestSettings::printingWithoutFormOffersAChoice_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("issued"); // 0: nothing printed
    QTest::newRow("Bild wählen…") << "Bild wählen…" << 42;
    QTest::newRow("Ohne Vorlage") << "Ohne Vorlage" << 42;
    QTest::newRow("Abbrechen") << "Abbrechen" << 0;
}

void TestSettings::printingWithoutFormOffersAChoice()
{
    QFETCH(QString, answer);
    QFETCH(int, issued);
    // GIVEN a house with a counter and no form
    setHouseDetails({QStringLiteral("Gästehaus Lindenhof"), QStringLiteral("Kirchweg 2"), {}, {}, {}});
    House app;
    app.writeFile(QStringLiteral("daten/ReNummer.DAT"), "41\r\n");
    QImage page(2480, 3508, QImage::Format_RGB32);
    page.fill(Qt::white);
    QVERIFY(page.save(app.path(QStringLiteral("scan.png")), "PNG"));
    app.dialogs.picture = app.path(QStringLiteral("scan.png"));
    app.dialogs.choose = [answer](const QString &text, const QStringList &) {
        return text.contains(QStringLiteral("REVORL.JPG")) ? answer : QString();
    };
    // WHEN an invoice is printed
    app.printForAnna();
    // THEN the host was told where the form was looked for and could choose
    QVERIFY(!app.dialogs.choicesAsked.isEmpty());
    const QString asked = app.dialogs.choicesAsked.first();
    QVERIFY2(asked.contains(QDir::toNativeSeparators(app.daten(QString()))), qPrintable(asked));
    QVERIFY2(asked.endsWith(QStringLiteral("|Bild wählen…|Ohne Vorlage|Abbrechen")), qPrintable(asked));
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    QCOMPARE(app.list().at(1).ReNr, issued);
    QCOMPARE(QFile::exists(app.daten(QStringLiteral("REVORL.JPG"))), answer == QStringLiteral("Bild wählen…"));
    QCOMPARE(printWithoutForm(), answer == QStringLiteral("Ohne Vorlage"));
    if (answer == QStringLiteral("Ohne Vorlage"))
        QVERIFY(pdfText(app.daten(QStringLiteral("Rechnungen/Rechnung 42.pdf")))
                    .contains(QStringLiteral("Gästehaus Lindenhof")));
}

void TestSettings::firstStartShowsWhatIsMissing_data()
{
    QTest::addColumn<bool>("dataFolder");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<int>("page"); // where "Einrichten…" opens the settings
    QTest::newRow("no data folder") << false << "kein Datenordner gewählt" << 0;
    QTest::newRow("folder without set-up")
        << true << "fehlen die Preisliste (Preismatrix.dat), die Rechnungsvorlage (REVORL.JPG), der Rechnungszähler"
        << 1;
}

void TestSettings::firstStartShowsWhatIsMissing()
{
    QFETCH(bool, dataFolder);
    QFETCH(QString, hint);
    QFETCH(int, page);
    // GIVEN a first start: no price list, form or counter anywhere
    std::unique_ptr<House> house;
    std::unique_ptr<AppFixture> bare;
    AppFixture *app = nullptr;
    if (dataFolder) {
        house = std::make_unique<House>(nullptr);
        app = house.get();
    } else {
        bare = std::make_unique<AppFixture>(nullptr);
        app = bare.get();
    }
    // THEN nothing was asked or shown in a box, and the status line says what is missing
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY2(app->dialogs.informations.isEmpty(), qPrintable(app->dialogs.informations.join(u'\n')));
    QVERIFY(app->dialogs.errors.isEmpty());
    QVERIFY(app->dialogs.choicesAsked.isEmpty());
    QVERIFY(app->dialogs.numbersAsked.isEmpty());
    QVERIFY2(app->status().contains(QStringLiteral("Noch nicht eingerichtet")), qPrintable(app->status()));
    QVERIFY2(app->status().contains(hint), qPrintable(app->status()));
    if (dataFolder)
        QCOMPARE(app->list().guestCount(), 3);
    // AND "Einrichten…" opens the settings at the first part missing
    auto *einrichten = app->window->findChild<QAction *>(QStringLiteral("ActionEinrichten"));
    QVERIFY(einrichten && einrichten->isVisible());
    einrichten->trigger();
    auto *dialog = app->window->findChild<SettingsDialog *>(QStringLiteral("SettingsDialog"));
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->findChild<QTabWidget *>(QStringLiteral("TabsEinstellungen"))->currentIndex(), page);
}

void TestSettings::anotherDataFolderIsReadAfterTheQuestion_data()
{
    QTest::addColumn<QString>("answer"); // to "Daten sichern?"
    QTest::addColumn<int>("guests");     // shown afterwards
    QTest::addColumn<bool>("switched");
    QTest::newRow("Nein") << "Nein" << 1 << true;
    QTest::newRow("Abbrechen") << "Abbrechen" << 3 << false;
}

void TestSettings::anotherDataFolderIsReadAfterTheQuestion()
{
    QFETCH(QString, answer);
    QFETCH(int, guests);
    QFETCH(bool, switched);
    // GIVEN a house with an unsaved change, and another folder with one guest
    House app;
    QDir(app.path(QString())).mkdir(QStringLiteral("anders"));
    app.writeFile(QStringLiteral("anders/Gaeste.csv"),
                  kRecordZero + guestLine(1, "2", 1, "01.03.2025", "03.03.2025", "Dora"));
    app.type("EditName", QStringLiteral("x"));
    QVERIFY(app.list().changed());
    app.dialogs.choose = [answer](const QString &, const QStringList &) { return answer; };
    // WHEN that folder is chosen in the settings
    QPointer<SettingsDialog> dialog = app.openSettings();
    app.dialogs.folder = app.path(QStringLiteral("anders"));
    QTest::mouseClick(control<QAbstractButton>(dialog, "ButtonDatenordner"), Qt::LeftButton);
    // THEN the question about unsaved changes came first, and the folder's guests are read only after "Nein"
    QCOMPARE(app.dialogs.choicesAsked.size(), 1);
    QVERIFY(app.dialogs.choicesAsked.first().startsWith(QStringLiteral("Daten sichern?")));
    QCOMPARE(app.list().guestCount(), guests);
    const QString folder = switched ? app.path(QStringLiteral("anders/")) : app.daten(QString());
    QCOMPARE(RememberedDataFolder(), folder);
    QCOMPARE(app.window->context().dataFolder().folder(), folder);
    QCOMPARE(control<QLineEdit>(dialog, "EditDatenordner")->text(), QDir::toNativeSeparators(folder));
}

void TestSettings::escapeClosesWithoutSaving()
{
    House app;
    QPointer<SettingsDialog> dialog = app.openSettings();
    auto *edit = control<QLineEdit>(dialog, "EditHausPLZ");
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("80331"));
    dialog->findChild<QTableView *>(QStringLiteral("TablePreise"))
        ->model()
        ->setData(dialog->findChild<QTableView *>(QStringLiteral("TablePreise"))->model()->index(0, 0), 7);
    QTest::keyClick(edit, Qt::Key_Escape);
    QVERIFY(!dialog || !dialog->isVisible());
    QCOMPARE(housePostalCode(), kDefaultHousePostalCode);
    QVERIFY(!QFile::exists(app.daten(QStringLiteral("Preismatrix.dat"))));
}

void TestSettings::printoutsAreOfferedInTheDataFolder()
{
    // GIVEN a house with form and counter whose guest Anna has her invoice
    House app;
    QImage page(2480, 3508, QImage::Format_RGB32);
    page.fill(Qt::white);
    QVERIFY(page.save(app.daten(QStringLiteral("REVORL.JPG")), "JPG"));
    app.writeFile(QStringLiteral("daten/ReNummer.DAT"), "41\r\n");
    app.printForAnna();
    QCOMPARE(app.list().at(1).ReNr, 42);
    QStringList offered;
    app.dialogs.printer = [&](QPrinter &printer) {
        offered << printer.outputFileName();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(app.path(QStringLiteral("ausdruck.pdf")));
        return true;
    };
    // WHEN her copy and the day list are printed
    app.window->findChild<QAction *>(QStringLiteral("ActionRechnungskopie"))->trigger();
    app.trigger("ActionGaesteliste");
    QWidget *guestList = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->objectName() == QStringLiteral("GuestListWindow") && top->isVisible())
            guestList = top;
    QVERIFY(guestList);
    QTest::mouseClick(guestList->findChild<QAbstractButton *>(QStringLiteral("ButtonTagesliste")), Qt::LeftButton);
    // THEN the copy's print dialog is titled for the copy, and the day list is offered in "Ausdrucke" with its date
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    QCOMPARE(app.dialogs.printerTitles,
             (QStringList{QStringLiteral("Rechnungskopie drucken"), QStringLiteral("Tagesliste drucken")}));
    QCOMPARE(offered.size(), 2);
    QCOMPARE(offered.at(1),
             QFileInfo(app.daten(QStringLiteral("Ausdrucke/Tagesliste 2025-02-20.pdf"))).absoluteFilePath());
}

QTEST_MAIN(TestSettings)
void TestSettings::eachPageHasItsOwnLetters()
{
    // An Alt letter shared by two controls the host sees at once only moves between them: on every
    // page, the tabs, the dialog's buttons and the page's own controls each need a letter of their own.
    House app;
    SettingsDialog *dialog = app.openSettings();
    auto *tabs = dialog->findChild<QTabWidget *>();
    QVERIFY(tabs);
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QCoreApplication::processEvents();
        QStringList texts;
        for (int tab = 0; tab < tabs->count(); ++tab)
            texts << tabs->tabText(tab);
        for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
            if (button->isVisible())
                texts << button->text();
        for (QLabel *label : dialog->findChildren<QLabel *>())
            if (label->isVisible() && label->buddy())
                texts << label->text();
        QMap<QString, QString> taken;
        for (const QString &text : texts) {
            const QString letter = QKeySequence::mnemonic(text).toString().toLower();
            if (letter.isEmpty())
                continue;
            QVERIFY2(!taken.contains(letter),
                     qPrintable(QStringLiteral("%1: \"%2\" and \"%3\" share %4")
                                    .arg(tabs->tabText(page), taken.value(letter), text, letter)));
            taken.insert(letter, text);
        }
    }
}

#include "test_settings.moc"
