// The cost field's rules, the price list's unknown prices, where the billing files are found,
// and the questions before an invoice.

#include "billing/BillingFiles.h"
#include "billing/CreateBill.h"
#include "billing/PriceMatrix.h"
#include "billing/StayCost.h"
#include "platform/DayNumber.h"
#include "platform/Regional.h"
#include "register/GuestList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>

using billing::DateiFund;
using billing::Kostenbasis;
using billing::KostenbasisVon;
using billing::KostenBeimEintritt;
using billing::KostenBerechnen;
using billing::KostenBezuege;
using billing::KostenLage;
using billing::KostenVorschlag;
using billing::Listenpreis;
using billing::OhneAnschriftFrage;
using billing::PreislisteGelesen;
using billing::PreisMatrixAusZeilen;
using billing::PreisMatrixMaengel;
using billing::PreisNachListe;
using billing::SucheDatei;
using billing::SuchePreisMatrix;
using billing::TPreisMatrix;
using billing::VergleichMitPreisliste;
using guests::GuestList;
using guests::TGast;
#endif

using platform::EncodeDate;
Q_DECLARE_METATYPE(TGast)

namespace {

// Schwester Maria: 2 persons, room 2, 14.–16.12.2026.
TGast maria(double kosten)
{
    TGast g;
    g.GastNr = 4;
    g.Name = QStringLiteral("Schwester Maria");
    g.Strasse = QStringLiteral("Klosterweg 1");
    g.Ort = QStringLiteral("Halle (Saale)");
    g.Zimmer = QStringLiteral("2");
    g.Personen = 2;
    g.Von = EncodeDate(2026, 12, 14);
    g.Bis = EncodeDate(2026, 12, 16);
    g.Kosten = static_cast<decltype(g.Kosten)>(kosten);
    return g;
}

TPreisMatrix prices(const char *text = "50;45;40\n80;64;70\n100;95;90\n120;115;110\n25;22;20\n")
{
    TPreisMatrix m;
    PreisMatrixAusZeilen(QString::fromLatin1(text).split(u'\n'), m);
    return m;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestStayCost : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }

    void costFieldOnEntry_data();
    void costFieldOnEntry();
    void computeOnDemandNamesTheReplacedAmount_data();
    void computeOnDemandNamesTheReplacedAmount();
    void amountRemembersItsStay();

    void unknownPricesAreNamed_data();
    void unknownPricesAreNamed();
    void unknownPriceComputesNothingOthersWork();

    void filesAreLookedForInTheDataFolderFirst_data();
    void filesAreLookedForInTheDataFolderFirst();
    void priceListSearchSaysWhatIsWrong();

    void comparisonWithThePriceList_data();
    void comparisonWithThePriceList();
    void unusualAmountAsks_data();
    void unusualAmountAsks();
    void tooHighPriceComputesNothing();
    void invoiceWithoutAddressAsks_data();
    void invoiceWithoutAddressAsks();
};

void TestStayCost::costFieldOnEntry_data()
{
    QTest::addColumn<TGast>("gast");
    QTest::addColumn<bool>("stayChanged"); // the amount was meant for another stay
    QTest::addColumn<bool>("withList");
    QTest::addColumn<double>("stored"); // -1: nothing stored
    QTest::addColumn<QString>("status");

    QTest::newRow("typed price for the same stay stays") << maria(100) << false << true << -1.0 << QString();
    QTest::newRow("0 is computed") << maria(0) << false << true << 128.0 << QString();
    QTest::newRow("changed stay computes, naming both")
        << maria(100) << true << true << 128.0
        << QStringLiteral("Kosten neu berechnet: 128,00 Euro (vorher 100,00 Euro)");
    TGast reversed = maria(0);
    reversed.Bis = EncodeDate(2026, 12, 10);
    QTest::newRow("reversed stay computes nothing")
        << reversed << false << true << -1.0
        << QStringLiteral("Abreise liegt vor Anreise: die Kosten werden nicht berechnet");
    TGast reversedTyped = reversed;
    reversedTyped.Kosten = 90;
    QTest::newRow("reversed stay with an amount says why too")
        << reversedTyped << true << true << -1.0
        << QStringLiteral("Abreise liegt vor Anreise: die Kosten werden nicht berechnet");
    TGast invoiced = maria(100);
    invoiced.ReNr = 17;
    QTest::newRow("invoiced keeps its amount")
        << invoiced << true << true << -1.0
        << QStringLiteral("Rechnung Nr. 17 ist gestellt: die Kosten bleiben 100,00 Euro");
    QTest::newRow("no price list") << maria(0) << false << false << -1.0
                                   << QStringLiteral(
                                          "Preismatrix.dat fehlt (gesucht in /d/ und /s/): die Kosten werden "
                                          "nicht berechnet");
}

void TestStayCost::costFieldOnEntry()
{
    QFETCH(TGast, gast);
    QFETCH(bool, stayChanged);
    QFETCH(bool, withList);
    QFETCH(double, stored);
    QFETCH(QString, status);
    const TPreisMatrix m = prices();
    KostenLage lage{withList ? &m : nullptr, QStringLiteral("Preismatrix.dat fehlt (gesucht in /d/ und /s/)"),
                    99999999.99, KostenbasisVon(gast)};
    if (stayChanged)
        lage.basis->Personen = 1;
    const KostenVorschlag vorschlag = KostenBeimEintritt(gast, lage);
    QCOMPARE(vorschlag.kosten.value_or(-1.0), stored);
    QCOMPARE(vorschlag.status, status);
}

void TestStayCost::computeOnDemandNamesTheReplacedAmount_data()
{
    QTest::addColumn<double>("before");
    QTest::addColumn<QString>("status");
    QTest::newRow("typed price replaced")
        << 100.0 << QStringLiteral("Kosten nach Preisliste: 128,00 Euro (vorher 100,00 Euro)");
    QTest::newRow("same amount") << 128.0 << QStringLiteral("Kosten nach Preisliste: 128,00 Euro (unverändert)");
    QTest::newRow("nothing before") << 0.0 << QStringLiteral("Kosten nach Preisliste: 128,00 Euro");
}

void TestStayCost::computeOnDemandNamesTheReplacedAmount()
{
    QFETCH(double, before);
    QFETCH(QString, status);
    const TPreisMatrix m = prices();
    const TGast g = maria(before);
    // The stay is the one the amount was meant for: on demand it is computed all the same.
    const KostenVorschlag vorschlag = KostenBerechnen(g, {&m, QString(), 1e9, KostenbasisVon(g)});
    QCOMPARE(vorschlag.kosten.value_or(-1), 128.0);
    QCOMPARE(vorschlag.status, status);
}

void TestStayCost::amountRemembersItsStay()
{
    GuestList list;
    list.replace({TGast(), maria(100), maria(0)});
    const KostenBezuege bezuege(list);
    // As read, each amount stands for its stay.
    QCOMPARE(bezuege.basis(1), KostenbasisVon(list.at(1)));

    // A changed departure leaves the amount standing for the old stay ...
    const Kostenbasis read = KostenbasisVon(list.at(1));
    list.modify(1, [](TGast &g) { g.Bis = EncodeDate(2026, 12, 18); });
    QCOMPARE(bezuege.basis(1), read);
    // ... and it follows its record when one before it goes.
    list.select(2);
    list.modify(2, [](TGast &g) { g.Personen = 3; });
    const Kostenbasis third = bezuege.basis(2);
    list.select(1);
    list.removeCurrent();
    QCOMPARE(bezuege.basis(1), third);
    // An amount typed with a stay shown is meant for that stay.
    list.modify(1, [](TGast &g) {
        g.Zimmer = QStringLiteral("3");
        g.Kosten = 90;
    });
    QCOMPARE(bezuege.basis(1), KostenbasisVon(list.at(1)));
    // A new record starts with its own stay; a read list starts afresh.
    const int fresh = list.appendNew();
    QCOMPARE(bezuege.basis(fresh), KostenbasisVon(list.at(fresh)));
    list.replace({TGast(), maria(55)});
    QCOMPARE(bezuege.basis(1), KostenbasisVon(maria(55)));
}

void TestStayCost::unknownPricesAreNamed_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("maengel");
    QTest::newRow("whole") << QByteArray("1;2;3\n4;5;6\n7;8;9\n10;11;12\n13;14;15") << QStringList();
    QTest::newRow("no number, negative, a field missing")
        << QByteArray("1;zwei;3\n4;5;-6\n7;8\n10;11;12\n13;14;15")
        << QStringList{QStringLiteral("Zeile 1 (1 Person), Feld 2 (2 Nächte): keine Zahl"),
                       QStringLiteral("Zeile 2 (2 Personen), Feld 3 (ab 3 Nächten): negativ"),
                       QStringLiteral("Zeile 3 (3 Personen), Feld 3 (ab 3 Nächten): fehlt")};
    QTest::newRow("one line") << QByteArray("1;2;3")
                              << QStringList{
                                     QStringLiteral("Zeile 2 (2 Personen), Feld 1 (1 Nacht): fehlt"),
                                     QStringLiteral("Zeile 2 (2 Personen), Feld 2 (2 Nächte): fehlt"),
                                     QStringLiteral("Zeile 2 (2 Personen), Feld 3 (ab 3 Nächten): fehlt"),
                                     QStringLiteral("Zeile 3 (3 Personen), Feld 1 (1 Nacht): fehlt"),
                                     QStringLiteral("Zeile 3 (3 Personen), Feld 2 (2 Nächte): fehlt"),
                                     QStringLiteral("Zeile 3 (3 Personen), Feld 3 (ab 3 Nächten): fehlt"),
                                     QStringLiteral("Zeile 4 (4 Personen), Feld 1 (1 Nacht): fehlt"),
                                     QStringLiteral("Zeile 4 (4 Personen), Feld 2 (2 Nächte): fehlt"),
                                     QStringLiteral("Zeile 4 (4 Personen), Feld 3 (ab 3 Nächten): fehlt"),
                                     QStringLiteral("Zeile 5 (mehr als 4 Personen), Feld 1 (1 Nacht): fehlt"),
                                     QStringLiteral("Zeile 5 (mehr als 4 Personen), Feld 2 (2 Nächte): fehlt"),
                                     QStringLiteral("Zeile 5 (mehr als 4 Personen), Feld 3 (ab 3 Nächten): fehlt")};
    QTest::newRow("too high for a price: refused, not wrapped")
        << QByteArray("2147483647;99999;100000\n4;5;6\n7;8;9\n10;11;12\n13;14;99999999999")
        << QStringList{QStringLiteral("Zeile 1 (1 Person), Feld 1 (1 Nacht): größer als 99.999 Euro"),
                       QStringLiteral("Zeile 1 (1 Person), Feld 3 (ab 3 Nächten): größer als 99.999 Euro"),
                       QStringLiteral("Zeile 5 (mehr als 4 Personen), Feld 3 (ab 3 Nächten): keine Zahl")};
    QTest::newRow("blank field is missing, zero is a price")
        << QByteArray("0; ;3\n4;5;6\n7;8;9\n10;11;12\n13;14;15")
        << QStringList{QStringLiteral("Zeile 1 (1 Person), Feld 2 (2 Nächte): fehlt")};
}

void TestStayCost::unknownPricesAreNamed()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, maengel);
    QCOMPARE(PreisMatrixMaengel(prices(file.constData())), maengel);
}

void TestStayCost::unknownPriceComputesNothingOthersWork()
{
    // Two persons for two nights: "64" is there; for three nights the price is no number.
    const TPreisMatrix m = prices("50;45;40\n80;64;viel\n100;95;90\n120;115;110\n25;22;20\n");
    TGast g = maria(0);
    QCOMPARE(PreisNachListe(g, m).kosten.value_or(-1), 128.0);
    g.Bis = EncodeDate(2026, 12, 19);
    const Listenpreis unknown = PreisNachListe(g, m);
    QVERIFY(!unknown.kosten);
    QCOMPARE(unknown.warumNicht, QStringLiteral("Preismatrix.dat, Zeile 2 (2 Personen), Feld 3 (ab 3 Nächten) ist "
                                                "keine Zahl: die Kosten werden nicht berechnet"));
    const KostenVorschlag entered = KostenBeimEintritt(g, {&m, QString(), 1e9, std::nullopt});
    QVERIFY(!entered.kosten);
    QCOMPARE(entered.status, unknown.warumNicht);
    QVERIFY(VergleichMitPreisliste(maria(500), &m)); // the known price still compares
    g.Kosten = 300;
    QVERIFY(!VergleichMitPreisliste(g, &m)); // the unknown one does not
}

void TestStayCost::filesAreLookedForInTheDataFolderFirst_data()
{
    QTest::addColumn<QStringList>("present"); // "daten" and/or "start"
    QTest::addColumn<QString>("found");       // "" when none
    QTest::newRow("both: the data folder's") << QStringList{"daten", "start"} << "daten";
    QTest::newRow("only the start folder's (as hosts had it)") << QStringList{"start"} << "start";
    QTest::newRow("only the data folder's") << QStringList{"daten"} << "daten";
    QTest::newRow("none") << QStringList() << "";
}

void TestStayCost::filesAreLookedForInTheDataFolderFirst()
{
    QFETCH(QStringList, present);
    QFETCH(QString, found);
    QTemporaryDir dir;
    for (const char *folder : {"daten", "start"})
        QVERIFY(QDir(dir.path()).mkdir(QLatin1String(folder)));
    for (const QString &folder : present)
        writeFile(dir.filePath(folder + QStringLiteral("/REVORL.JPG")), "x");
    const QString daten = dir.filePath(QStringLiteral("daten"));
    const QString start = dir.filePath(QStringLiteral("start"));
    const DateiFund fund = SucheDatei(QStringLiteral("REVORL.JPG"), daten, start);
    if (!found.isEmpty()) {
        QVERIFY(fund.gefunden());
        QCOMPARE(fund.pfad, dir.filePath(found + QStringLiteral("/REVORL.JPG")));
        return;
    }
    QCOMPARE(fund.fehler, QStringLiteral("REVORL.JPG fehlt im Datenordner und im Startordner.\nGesucht als:\n%1\n%2")
                              .arg(QDir::toNativeSeparators(daten + QStringLiteral("/REVORL.JPG")),
                                   QDir::toNativeSeparators(start + QStringLiteral("/REVORL.JPG"))));
    QCOMPARE(fund.kurz, QStringLiteral("REVORL.JPG fehlt (gesucht in %1/ und %2/)")
                            .arg(QDir::toNativeSeparators(daten), QDir::toNativeSeparators(start)));
    // Without a data folder, and with the data folder being the start folder, one place is named.
    QCOMPARE(SucheDatei(QStringLiteral("REVORL.JPG"), QString(), start).fehler,
             SucheDatei(QStringLiteral("REVORL.JPG"), start, start)
                 .fehler.replace(QStringLiteral("Datenordner"), QStringLiteral("Startordner")));
}

void TestStayCost::priceListSearchSaysWhatIsWrong()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("daten")));
    const QString daten = dir.filePath(QStringLiteral("daten"));
    writeFile(dir.filePath(QStringLiteral("Preismatrix.dat")), "1;2;3\n4;5;6\n7;8;9\n10;11;12\n13;14;15\n");

    // A pipe in the data folder is said to be one, not "fehlt", and is not passed over.
    const QString fifo = daten + QStringLiteral("/Preismatrix.dat");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    TPreisMatrix m = prices("9;9;9\n9;9;9\n9;9;9\n9;9;9\n9;9;9");
    PreislisteGelesen read = SuchePreisMatrix(daten, dir.path(), m);
    QVERIFY(!read.gelesen);
    QCOMPARE(read.meldung, QStringLiteral("Preismatrix.dat ist keine Datei, sondern eine benannte Pipe (FIFO).\n%1\n"
                                          "Bitte dort die Datei „Preismatrix.dat“ hinlegen.")
                               .arg(QDir::toNativeSeparators(fifo)));
    QCOMPARE(m.Preis[0][0], 9);

    // A bad file names its unknown prices in one message, and the known ones are read.
    QVERIFY(QFile::remove(fifo));
    writeFile(fifo, "1;x;3\n4;5;-6\n");
    read = SuchePreisMatrix(daten, dir.path(), m);
    QVERIFY(read.gelesen);
    QCOMPARE(read.pfad, fifo);
    QVERIFY2(read.meldung.startsWith(
                 QStringLiteral("In %1 sind nicht alle Preise lesbar.").arg(QDir::toNativeSeparators(fifo))),
             qPrintable(read.meldung));
    QVERIFY(read.meldung.contains(QStringLiteral("Zeile 1 (1 Person), Feld 2 (2 Nächte): keine Zahl\n"
                                                 "Zeile 2 (2 Personen), Feld 3 (ab 3 Nächten): negativ\n"
                                                 "Zeile 3 (3 Personen), Feld 1 (1 Nacht): fehlt")));
    QCOMPARE(m.Preis[1][1], 5);
    QVERIFY(m.bekannt(1, 1));
    QVERIFY(!m.bekannt(1, 2));

    // Without one in the data folder the start folder's is read, silently.
    QVERIFY(QFile::remove(fifo));
    read = SuchePreisMatrix(daten, dir.path(), m);
    QVERIFY(read.gelesen);
    QCOMPARE(read.meldung, QString());
    QCOMPARE(m.Preis[4][2], 15);
#else
    QSKIP("pipes");
#endif
}

void TestStayCost::comparisonWithThePriceList_data()
{
    QTest::addColumn<TGast>("gast");
    QTest::addColumn<QString>("frage"); // empty: nothing is asked
    // Pater Anselm, 15.–17.03.2027 for 84,00, then moved to the 20th: 5 nights for 1 person at 79.
    TGast anselm;
    anselm.GastNr = 9;
    anselm.Name = QStringLiteral("Pater Anselm");
    anselm.Zimmer = QStringLiteral("1");
    anselm.Personen = 1;
    anselm.Von = EncodeDate(2027, 3, 15);
    anselm.Bis = EncodeDate(2027, 3, 20);
    anselm.Kosten = 84;
    QTest::newRow("moved stay") << anselm
                                << QStringLiteral("Rechnung für Gast 9 (Pater Anselm), 15.03.2027 bis 20.03.2027:\n\n"
                                                  "Kosten 84,00 € – nach Preisliste 395,00 € für 5 Nächte\n\n"
                                                  "Welcher Betrag soll auf die Rechnung?");
    TGast fits = anselm;
    fits.Kosten = 395;
    QTest::newRow("amount fits") << fits << QString();
    TGast none = anselm;
    none.Kosten = 0;
    QTest::newRow("no amount yet: the list's is taken") << none << QString();
    TGast one = anselm;
    one.Bis = EncodeDate(2027, 3, 16);
    QTest::newRow("one night") << one
                               << QStringLiteral("Rechnung für Gast 9 (Pater Anselm), 15.03.2027 bis 16.03.2027:\n\n"
                                                 "Kosten 84,00 € – nach Preisliste 80,00 € für 1 Nacht\n\n"
                                                 "Welcher Betrag soll auf die Rechnung?");
}

void TestStayCost::comparisonWithThePriceList()
{
    QFETCH(TGast, gast);
    QFETCH(QString, frage);
    const TPreisMatrix m = prices("80;90;79\n1;1;1\n1;1;1\n1;1;1\n1;1;1");
    const auto vergleich = VergleichMitPreisliste(gast, &m);
    QCOMPARE(vergleich ? vergleich->frage : QString(), frage);
    // Without a price list nothing is compared.
    QVERIFY(!VergleichMitPreisliste(gast, nullptr));
}

void TestStayCost::unusualAmountAsks_data()
{
    QTest::addColumn<QByteArray>("file"); // the price list; empty: none
    QTest::addColumn<TGast>("gast");
    QTest::addColumn<QString>("frage"); // empty: nothing is asked
    // Schwester Maria: 2 persons, 2 nights; the list's price is row 2, field 2.
    const QByteArray usual("50;45;40\n80;64;70\n100;95;90\n120;115;110\n25;22;20\n");
    const QByteArray dear("50;45;40\n80;1500;70\n100;95;90\n120;115;110\n25;22;20\n");
    const QString ask = QStringLiteral(" Trotzdem eine Rechnung darüber drucken?");
    QTest::newRow("usual") << usual << maria(128) << QString();
    QTest::newRow("10.000,00 is not above") << usual << maria(10000) << QString();
    QTest::newRow("a typed amount above 10.000")
        << usual << maria(12500)
        << QStringLiteral("Die Kosten von 12.500,00 € für 2 Nächte sind ungewöhnlich hoch.") + ask;
    QTest::newRow("without a price list") << QByteArray() << maria(10000.5)
                                          << QStringLiteral("Die Kosten von 10.000,50 € für 2 Nächte sind ungewöhnlich "
                                                            "hoch.") +
                                                 ask;
    QTest::newRow("the list's price above 1.000, no amount yet")
        << dear << maria(0)
        << QStringLiteral("Der Preis von 1.500,00 € pro Zimmer und Nacht in Preismatrix.dat (Zeile 2 (2 Personen), "
                          "Feld 2 (2 Nächte)) ist ungewöhnlich hoch.") +
               ask;
    QTest::newRow("the list's price charged")
        << dear << maria(3000)
        << QStringLiteral("Der Preis von 1.500,00 € pro Zimmer und Nacht in Preismatrix.dat (Zeile 2 (2 Personen), "
                          "Feld 2 (2 Nächte)) "
                          "ist ungewöhnlich hoch.") +
               ask;
    QTest::newRow("a typed amount instead of the dear list's") << dear << maria(128) << QString();
    TGast group = maria(0);
    group.Zimmer = QStringLiteral("123");
    group.Bis = group.Von + 4;
    QTest::newRow("both: 4 nights, 3 rooms at 1.500")
        << QByteArray("50;45;40\n80;64;1500\n100;95;90\n120;115;110\n25;22;20\n") << group
        << QStringLiteral(
               "Die Kosten von 18.000,00 € für 4 Nächte sind ungewöhnlich hoch. Der Preis von 1.500,00 € pro "
               "Zimmer und Nacht in Preismatrix.dat (Zeile 2 (2 Personen), Feld 3 (ab 3 Nächten)) ist "
               "ungewöhnlich hoch.") +
               ask;
}

void TestStayCost::unusualAmountAsks()
{
    QFETCH(QByteArray, file);
    QFETCH(TGast, gast);
    QFETCH(QString, frage);
    const TPreisMatrix m = prices(file.constData());
    QCOMPARE(billing::UngewoehnlicherBetragFrage(gast, file.isEmpty() ? nullptr : &m), frage);
}

void TestStayCost::tooHighPriceComputesNothing()
{
    // GIVEN a price list with the largest whole number as the price for 2 persons and 3+ nights
    const TPreisMatrix m = prices("50;45;40\n80;64;2147483647\n100;95;90\n120;115;110\n25;22;20\n");
    TGast g = maria(0);
    g.Zimmer = QStringLiteral("123");
    g.Bis = g.Von + 30;

    // THEN no amount is computed from it, and the status line says why
    const Listenpreis preis = PreisNachListe(g, m);
    QVERIFY(!preis.kosten);
    QCOMPARE(preis.warumNicht, QStringLiteral("Preismatrix.dat, Zeile 2 (2 Personen), Feld 3 (ab 3 Nächten) ist größer "
                                              "als 99.999 Euro: die Kosten werden nicht berechnet"));
    QCOMPARE(m.Preis[1][2], 0);
    // ... while the largest price the list allows gives an exact amount
    const TPreisMatrix top = prices("50;45;40\n80;64;99999\n100;95;90\n120;115;110\n25;22;20\n");
    QCOMPARE(PreisNachListe(g, top).kosten.value_or(-1), 30.0 * 99999 * 3);
}

void TestStayCost::invoiceWithoutAddressAsks_data()
{
    QTest::addColumn<TGast>("gast");
    QTest::addColumn<QString>("frage");
    QTest::newRow("whole address") << maria(1) << QString();
    TGast noName = maria(1);
    noName.Name.clear();
    QTest::newRow("no name") << noName
                             << QStringLiteral("Bei Gast 4 (14.12.2026 bis 16.12.2026) fehlt der Name.\n\n"
                                               "Rechnung ohne Anschrift drucken?");
    TGast noStreet = maria(1);
    noStreet.Strasse = QStringLiteral("  ");
    noStreet.Ort.clear();
    QTest::newRow("no street, no town")
        << noStreet
        << QStringLiteral("Bei Gast 4 (Schwester Maria, 14.12.2026 bis 16.12.2026) fehlen die Straße und der Ort.\n\n"
                          "Rechnung ohne Anschrift drucken?");
}

void TestStayCost::invoiceWithoutAddressAsks()
{
    QFETCH(TGast, gast);
    QFETCH(QString, frage);
    QCOMPARE(OhneAnschriftFrage(gast), frage);
}

QTEST_MAIN(TestStayCost)
#include "test_staycost.moc"
