// Billing through the window: a typed price stays, "Kosten berechnen", the questions before an
// invoice, a stay that ends before it begins, and where the price list is found.

#include "billing/CreateBill.h"
#include "guestfile/GuestFile.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QMenu>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/stat.h>

using app::TMainForm;
using guestfile::ReadGuestFile;
using guestfile::RememberDataFolder;
#endif

namespace {

const QByteArray kRecordZero = "0;;0;30.12.1899;00:00:00;30.12.1899;00:00:00;;;0;;;;0; 0,00;False;False;\r\n";

QByteArray guestLine(int nr, const char *zimmer, int personen, const char *von, const char *bis, const char *name,
                     const char *kosten, const char *strasse = "Klosterweg 1", const char *ort = "Halle (Saale)")
{
    return QByteArray::number(nr) + ';' + zimmer + ';' + QByteArray::number(personen) + ';' + von + ";14:00:00;" + bis +
           ";10:00:00;" + name + ';' + strasse + ";6108;" + ort + ";;;0;" + kosten + ";False;False;\r\n";
}

// A window that has read "daten/Gaeste.csv" with the given guests; the counter stands at 41, the
// price list and the invoice form lie in the start folder.
class BillingWindow : public AppFixture
{
public:
    explicit BillingWindow(const QByteArray &guests,
                           const char *preismatrix = "50;45;40\n80;75;70\n100;95;90\n120;115;110\n25;22;20\n")
        : AppFixture(preismatrix)
    {
        writeInvoiceForm();
        QDir(path(QString())).mkdir(QStringLiteral("daten"));
        writeFile(QStringLiteral("daten/Gaeste.csv"), kRecordZero + guests);
        writeFile(QStringLiteral("daten/ReNummer.DAT"), "41\r\n");
        dialogs.openFile = path(QStringLiteral("daten/Gaeste.csv"));
        click("ButtonRead");
    }
    QDoubleSpinBox *kosten() const { return w<QDoubleSpinBox>("NumberBoxKosten"); }
    QAction *berechnen() const { return window->findChild<QAction *>(QStringLiteral("ActionKostenBerechnen")); }
    QByteArray counter() const { return readFile(QStringLiteral("daten/ReNummer.DAT")); }
};

} // namespace

class TestBillingForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void typedPriceStaysUntilTheStayChanges();
    void computeOnDemand_data();
    void computeOnDemand();
    void costSaidGoesWithAnotherGuest();
    void unusualAmountIsAskedBeforeANumber_data();
    void unusualAmountIsAskedBeforeANumber();
    void amountThatDoesNotFitIsAsked_data();
    void amountThatDoesNotFitIsAsked();
    void invoiceWithoutAddressAsks();
    void reversedStayIsNeitherPricedNorSavedUnasked();
    void priceListOfTheDataFolderComesFirst();
    void badPriceListIsNamedAndKnownPricesWork();
};

void TestBillingForm::typedPriceStaysUntilTheStayChanges()
{
    // GIVEN Schwester Maria, 2 persons in room 2 from 14 to 16 December, no amount yet
    BillingWindow app(guestLine(1, "2", 2, "14.12.2026", "16.12.2026", "Schwester Maria", " 0,00"));
    app.enter("NumberBoxKosten");
    QCOMPARE(app.kosten()->value(), 150.0); // 2 nights at 75

    // WHEN the host types the agreed 100,00, goes to the remarks and back
    QTest::keyClick(app.kosten(), Qt::Key_A, Qt::ControlModifier);
    AppFixture::keyClicks(app.kosten(), QStringLiteral("100"));
    app.enter("EditBem");
    app.enter("NumberBoxKosten");
    // THEN the agreed price stays
    QCOMPARE(app.kosten()->value(), 100.0);
    QCOMPARE(double(app.list().current().Kosten), 100.0);

    // WHEN the persons change THEN entering computes again, naming both amounts
    app.enter("NumberBoxPersonen");
    app.w<QSpinBox>("NumberBoxPersonen")->setValue(3);
    app.enter("NumberBoxKosten");
    QCOMPARE(double(app.list().current().Kosten), 190.0);
    QCOMPARE(app.status(), QStringLiteral("Kosten neu berechnet: 190,00 Euro (vorher 100,00 Euro)"));

    // WHEN the persons change and change back THEN a price typed meanwhile stays
    app.kosten()->setValue(170);
    app.enter("NumberBoxPersonen");
    app.w<QSpinBox>("NumberBoxPersonen")->setValue(2);
    app.w<QSpinBox>("NumberBoxPersonen")->setValue(3);
    app.enter("NumberBoxKosten");
    QCOMPARE(double(app.list().current().Kosten), 170.0);
}

void TestBillingForm::computeOnDemand_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("menu Rechnung") << "menu";
    QTest::newRow("Ctrl+K") << "shortcut";
    QTest::newRow("the field's context menu") << "context";
}

void TestBillingForm::computeOnDemand()
{
    QFETCH(QString, how);
    // GIVEN Maria with the agreed 100,00 for her stay
    BillingWindow app(guestLine(1, "2", 2, "14.12.2026", "16.12.2026", "Schwester Maria", "100,00"));
    QVERIFY(app.berechnen());
    QCOMPARE(app.berechnen()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));
    QVERIFY(app.window->findChild<QMenu *>(QStringLiteral("MenuRechnung"))->actions().contains(app.berechnen()));
    app.enter("NumberBoxKosten");
    QCOMPARE(app.kosten()->value(), 100.0);

    // WHEN "Kosten berechnen" is chosen
    if (how == QLatin1String("menu")) {
        app.berechnen()->trigger();
    } else if (how == QLatin1String("shortcut")) {
        QTest::keyClick(app.kosten(), Qt::Key_K, Qt::ControlModifier);
    } else {
        bool offered = false;
        QTimer::singleShot(0, app.window.get(), [&offered] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction *entry : menu->actions())
                if (entry->objectName() == QLatin1String("ActionKostenBerechnen")) {
                    offered = true;
                    menu->close();
                    entry->trigger();
                    return;
                }
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), app.kosten()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(app.kosten(), &event);
        QVERIFY(offered);
    }

    // THEN the list's amount is in the field and the record, and the status names the one replaced
    QCOMPARE(app.kosten()->value(), 150.0);
    QCOMPARE(double(app.list().current().Kosten), 150.0);
    QCOMPARE(app.status(), QStringLiteral("Kosten nach Preisliste: 150,00 Euro (vorher 100,00 Euro)"));
}

void TestBillingForm::costSaidGoesWithAnotherGuest()
{
    // GIVEN Maria's cost computed, and said
    BillingWindow app(guestLine(1, "2", 2, "14.12.2026", "16.12.2026", "Schwester Maria", "100,00") +
                      guestLine(2, "3", 1, "14.12.2026", "15.12.2026", "Bruder Paul", "50,00"));
    app.w<QSpinBox>("SpinBox1")->setValue(1);
    app.berechnen()->trigger();
    QCOMPARE(app.status(), QStringLiteral("Kosten nach Preisliste: 150,00 Euro (vorher 100,00 Euro)"));

    // WHEN another guest is shown THEN the line no longer speaks of Maria's cost
    app.w<QSpinBox>("SpinBox1")->setValue(2);
    QCOMPARE(app.list().current().Name, QStringLiteral("Bruder Paul"));
    QVERIFY2(app.status().isEmpty(), qPrintable(app.status()));
}

void TestBillingForm::unusualAmountIsAskedBeforeANumber_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Ja") << true;
    QTest::newRow("Nein") << false;
}

void TestBillingForm::unusualAmountIsAskedBeforeANumber()
{
    QFETCH(bool, yes);
    // GIVEN a stay of 12.500,00 typed for three nights (a slip of a zero or two)
    BillingWindow app(guestLine(1, "2", 2, "14.12.2026", "17.12.2026", "Schwester Maria", "12500,00"));
    app.w<QSpinBox>("SpinBox1")->setValue(1);
    app.dialogs.choose = [](const QString &, const QStringList &buttons) {
        return buttons.contains(QStringLiteral("Eingetragener Betrag")) ? QStringLiteral("Eingetragener Betrag")
                                                                         : QString();
    };
    app.dialogs.confirmAnswer = yes;
    app.printToPdf(app.path(QStringLiteral("rechnung.pdf")));

    // WHEN the invoice is printed THEN the host is asked first, "Nein" being the default
    app.click("ButtonPrintRe");
    QCOMPARE(app.dialogs.noByDefault.size(), 1);
    QVERIFY2(app.dialogs.noByDefault.front().startsWith(QStringLiteral("Die Kosten von 12.500,00 € für 3 Nächte sind "
                                                                       "ungewöhnlich hoch.")),
             qPrintable(app.dialogs.noByDefault.front()));
    // and a "Nein" takes no number and prints nothing
    QCOMPARE(app.list().current().ReNr, yes ? 42 : 0);
    QCOMPARE(app.counter(), yes ? QByteArray("42\r\n") : QByteArray("41\r\n"));
    QCOMPARE(QFileInfo::exists(app.path(QStringLiteral("rechnung.pdf"))), yes);
}

void TestBillingForm::amountThatDoesNotFitIsAsked_data()
{
    QTest::addColumn<QString>("answer"); // "" = Esc
    QTest::addColumn<int>("number");     // 0: none taken
    QTest::addColumn<QString>("billed");
    QTest::newRow("Preisliste") << "Preisliste" << 42 << "395,00";
    QTest::newRow("Eingetragener Betrag") << "Eingetragener Betrag" << 42 << "84,00";
    QTest::newRow("Abbrechen") << "Abbrechen" << 0 << "84,00";
    QTest::newRow("Esc") << "" << 0 << "84,00";
}

void TestBillingForm::amountThatDoesNotFitIsAsked()
{
    QFETCH(QString, answer);
    QFETCH(int, number);
    QFETCH(QString, billed);
    // GIVEN Pater Anselm, 84,00 for 15.–17.03.2027, his departure moved to the 20th: 5 nights at 79
    BillingWindow app(guestLine(1, "1", 1, "15.03.2027", "17.03.2027", "Pater Anselm", "84,00"),
                      "80;90;79\n80;75;70\n100;95;90\n120;115;110\n25;22;20\n");
    app.enter("DateEditBis");
    app.w<QDateEdit>("DateEditBis")->setDate(QDate(2027, 3, 20));
    app.leave();
    app.printToPdf(app.path(QStringLiteral("rechnung.pdf")));
    app.dialogs.choose = [&answer](const QString &, const QStringList &) { return answer; };

    // WHEN "Rechnung drucken" is clicked
    app.click("ButtonPrintRe");

    // THEN the host is asked with both amounts and the nights, before any number is taken
    QCOMPARE(app.dialogs.choicesAsked.size(), 1);
    QVERIFY2(app.dialogs.choicesAsked.first().contains(
                 QStringLiteral("Kosten 84,00 € – nach Preisliste 395,00 € für 5 Nächte")),
             qPrintable(app.dialogs.choicesAsked.first()));
    QVERIFY(app.dialogs.choicesAsked.first().endsWith(QStringLiteral("|Preisliste|Eingetragener Betrag|Abbrechen")));
    QCOMPARE(app.list().current().ReNr, number);
    QCOMPARE(app.list().current().Kosten, billed == QLatin1String("395,00") ? 395.0f : 84.0f);
    if (number == 0) {
        QCOMPARE(app.counter(), QByteArray("41\r\n"));
        QVERIFY(!QFile::exists(app.path(QStringLiteral("rechnung.pdf"))));
        QCOMPARE(app.status(), QStringLiteral("Keine Rechnung gedruckt"));
        return;
    }
    QCOMPARE(app.counter(), QByteArray("42\r\n"));
    const QByteArray saved = app.readFile(QStringLiteral("daten/Gaeste.csv"));
    QVERIFY2(saved.contains(";42;" + billed.toLatin1() + ";"), saved.constData());
}

void TestBillingForm::invoiceWithoutAddressAsks()
{
    // GIVEN a guest without street and town
    BillingWindow app(guestLine(1, "1", 1, "15.03.2027", "17.03.2027", "Pater Anselm", "90,00", "", ""),
                      "80;45;79\n80;75;70\n100;95;90\n120;115;110\n25;22;20\n");
    app.printToPdf(app.path(QStringLiteral("rechnung.pdf")));
    // WHEN printing and the host says Nein THEN no number is taken
    app.click("ButtonPrintRe");
    QCOMPARE(app.dialogs.confirmations,
             QStringList{QStringLiteral("Bei Gast 1 (Pater Anselm, 15.03.2027 bis 17.03.2027) fehlen die Straße und "
                                        "der Ort.\n\nRechnung ohne Anschrift drucken?")});
    QCOMPARE(app.counter(), QByteArray("41\r\n"));
    QCOMPARE(app.list().current().ReNr, 0);
    // WHEN the host says Ja THEN it is printed
    app.dialogs.confirmAnswer = true;
    app.click("ButtonPrintRe");
    QCOMPARE(app.list().current().ReNr, 42);
}

void TestBillingForm::reversedStayIsNeitherPricedNorSavedUnasked()
{
    // GIVEN Maria, and her departure moved before her arrival
    BillingWindow app(guestLine(1, "2", 2, "14.12.2026", "16.12.2026", "Schwester Maria", " 0,00"));
    const QByteArray file = app.readFile(QStringLiteral("daten/Gaeste.csv"));
    app.enter("DateEditBis");
    app.w<QDateEdit>("DateEditBis")->setDate(QDate(2026, 12, 10));
    app.leave();

    // WHEN the cost field is entered THEN nothing is computed, and the status says why
    app.enter("NumberBoxKosten");
    QCOMPARE(app.list().current().Kosten, 0.0f);
    QCOMPARE(app.status(), QStringLiteral("Abreise liegt vor Anreise: die Kosten werden nicht berechnet"));

    // WHEN saved and the host says Nein THEN nothing is saved
    app.click("ButtonSave");
    const QString question =
        QStringLiteral("Bei dieser Buchung liegt die Abreise vor der Anreise:\n"
                       "Gast 1 (Schwester Maria, 14.12.2026 bis 10.12.2026)\n\nTrotzdem speichern?");
    QCOMPARE(app.dialogs.confirmations, QStringList{question});
    QCOMPARE(app.readFile(QStringLiteral("daten/Gaeste.csv")), file);
    QVERIFY(app.list().changed());
    // WHEN the host says Ja THEN it is saved as typed
    app.dialogs.confirmAnswer = true;
    app.click("ButtonSave");
    QCOMPARE(ReadGuestFile(app.path(QStringLiteral("daten/Gaeste.csv"))).at(1).Bis, platform::EncodeDate(2026, 12, 10));

    // A stay read that way and not touched is not asked about again.
    app.dialogs.confirmations.clear();
    app.click("ButtonSave");
    QVERIFY(app.dialogs.confirmations.isEmpty());
}

void TestBillingForm::priceListOfTheDataFolderComesFirst()
{
    // GIVEN prices in the start folder, and other prices in the data folder
    AppFixture app;
    QDir(app.path(QString())).mkdir(QStringLiteral("daten"));
    app.writeFile(QStringLiteral("daten/Preismatrix.dat"), "10;10;10\n20;20;20\n30;30;30\n40;40;40\n50;50;50\n");
    app.writeFile(QStringLiteral("daten/Gaeste.csv"),
                  kRecordZero + guestLine(1, "2", 2, "14.12.2026", "16.12.2026", "Schwester Maria", " 0,00"));
    app.dialogs.openFile = app.path(QStringLiteral("daten/Gaeste.csv"));
    QCOMPARE(app.window->context().preisMatrix().Preis[1][1], 75);

    // WHEN the data folder is read THEN its prices count
    app.click("ButtonRead");
    app.enter("NumberBoxKosten");
    QCOMPARE(app.list().current().Kosten, 40.0f);
    QCOMPARE(app.window->context().preisMatrix().Preis[1][1], 20);

#ifdef Q_OS_UNIX
    // WHEN the data folder of the next start holds a pipe by that name THEN the host is told what it is
    QDir(app.path(QString())).mkdir(QStringLiteral("anders"));
    app.writeFile(QStringLiteral("anders/Gaeste.csv"),
                  kRecordZero + guestLine(1, "2", 2, "14.12.2026", "16.12.2026", "Schwester Maria", " 0,00"));
    const QString fifo = app.path(QStringLiteral("anders/Preismatrix.dat"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // A fresh window starts in that folder as a host's next start would.
    RememberDataFolder(app.path(QStringLiteral("anders/")));
    TMainForm next(std::make_unique<ScriptedDialogs>(app.dialogs));
    QVERIFY2(
        app.dialogs.informations.contains(QStringLiteral("Preismatrix.dat ist keine Datei, sondern eine benannte "
                                                         "Pipe (FIFO).\n%1\nBitte dort die Datei „Preismatrix.dat“ "
                                                         "hinlegen.")
                                              .arg(QDir::toNativeSeparators(fifo))),
        qPrintable(app.dialogs.informations.join(u'|')));
    RememberDataFolder(QString());
#endif
}

void TestBillingForm::badPriceListIsNamedAndKnownPricesWork()
{
    // GIVEN a price list whose 2-person line has a word for two nights and lacks lines 4 and 5
    BillingWindow app(guestLine(1, "2", 2, "14.12.2026", "16.12.2026", "Schwester Maria", " 0,00") +
                          guestLine(2, "1", 1, "14.12.2026", "16.12.2026", "Pater Anselm", " 0,00"),
                      "50;45;40\n80;viel;70\n100;95;90\n");
    // THEN at start one message names every unknown price
    QCOMPARE(app.dialogs.informations.size(), 1);
    const QString message = app.dialogs.informations.first();
    QVERIFY2(message.contains(QStringLiteral("Zeile 2 (2 Personen), Feld 2 (2 Nächte): keine Zahl\n"
                                             "Zeile 4 (4 Personen), Feld 1 (1 Nacht): fehlt")),
             qPrintable(message));
    QVERIFY(message.contains(QStringLiteral("Zeile 5 (mehr als 4 Personen), Feld 3 (ab 3 Nächten): fehlt")));

    // WHEN Maria's cost field is entered THEN nothing is computed, and the status names the price
    app.w<QSpinBox>("SpinBox1")->setValue(1);
    app.enter("NumberBoxKosten");
    QCOMPARE(app.list().current().Kosten, 0.0f);
    QCOMPARE(app.status(), QStringLiteral("Preismatrix.dat, Zeile 2 (2 Personen), Feld 2 (2 Nächte) ist keine Zahl: "
                                          "die Kosten werden nicht berechnet"));
    // AND printing her invoice is refused before a number is taken
    app.printToPdf(app.path(QStringLiteral("rechnung.pdf")));
    app.click("ButtonPrintRe");
    QCOMPARE(app.dialogs.errors.size(), 1);
    QVERIFY(app.dialogs.errors.first().endsWith(
        QStringLiteral("Es wurde keine Rechnungsnummer vergeben und nichts gedruckt.")));
    QCOMPARE(app.counter(), QByteArray("41\r\n"));

    // WHEN Anselm's is entered THEN his known price works
    app.w<QSpinBox>("SpinBox1")->setValue(2);
    app.enter("NumberBoxKosten");
    QCOMPARE(app.list().current().Kosten, 90.0f);
}

QTEST_MAIN(TestBillingForm)
#include "test_billingform.moc"
