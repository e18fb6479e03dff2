// The invoice list and the revenue by invoice from the journal: a number keeps its guest and amount,
// a changed PDF shows, numbers from before the journal are marked, gaps carry their reason.

#include "billing/InvoiceArchive.h"
#include "billing/JournalOverview.h"
#include "hardening/HardeningSupport.h"
#include "platform/Convert.h"
#include "platform/Regional.h"

#include <QTemporaryDir>
#include <QtTest>

using billing::AbgelegteRechnung;
using billing::JournalLine;
using billing::keepUntil;
using billing::RechnungsDateiname;
using billing::revenueByInvoice;
using guests::TGast;
using hardening::WriteBytes;

namespace {

const QByteArray kPdf("%PDF Rechnung");

JournalLine line(qint32 nr, const QDate &issued, const QString &name, double amount, const QByteArray &pdf = kPdf)
{
    JournalLine l;
    l.nr = nr;
    l.issued = QDateTime(issued, QTime(10, 0));
    l.gastNr = 6;
    l.name = name;
    l.amount = amount;
    l.sha256 = pdf.isEmpty() ? QString() : billing::sha256Of(pdf);
    return l;
}

TGast record(qint32 gastNr, const QString &name, qint32 reNr, double kosten,
             const QDate &departure = QDate(2026, 12, 20))
{
    TGast g;
    g.GastNr = gastNr;
    g.Name = name;
    g.ReNr = reNr;
    g.Kosten = kosten;
    g.Bis = platform::DateToDay(departure);
    g.Von = g.Bis - 2;
    return g;
}

} // namespace

class TestJournalOverview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }
    void keepUntil_data();
    void keepUntil();
    void rows_data();
    void rows();
    void yearTotals();
    void invoicesNoGuestHolds();
    void fileReadStraightIntoEntriesShowsTheSame();
    void revenueByInvoice_data();
    void revenueByInvoice();
};

void TestJournalOverview::keepUntil_data()
{
    QTest::addColumn<QDate>("issued");
    QTest::addColumn<QDate>("until");
    QTest::newRow("mid-December 2026") << QDate(2026, 12, 14) << QDate(2034, 12, 31);
    QTest::newRow("first day of 2026") << QDate(2026, 1, 1) << QDate(2034, 12, 31);
    QTest::newRow("last day of 2026") << QDate(2026, 12, 31) << QDate(2034, 12, 31);
    QTest::newRow("2027") << QDate(2027, 1, 5) << QDate(2035, 12, 31);
    QTest::newRow("unknown") << QDate() << QDate();
}

void TestJournalOverview::keepUntil()
{
    QFETCH(QDate, issued);
    QFETCH(QDate, until);
    QCOMPARE(billing::keepUntil(issued), until);
}

void TestJournalOverview::rows_data()
{
    // Each case: journal lines, kept copies (number, bytes, name), records, and the rows as shown.
    QTest::addColumn<QList<JournalLine>>("journal");
    QTest::addColumn<QList<int>>("kept");     // numbers with a kept copy of kPdf
    QTest::addColumn<QList<int>>("tampered"); // numbers whose copy differs from what was journaled
    QTest::addColumn<QList<TGast>>("records");
    QTest::addColumn<int>("last");
    QTest::addColumn<QStringList>("shown");
    const QDate dec14(2026, 12, 14);

    QTest::newRow("reissued: the first number keeps its guest and amount")
        << QList<JournalLine>{line(1042, dec14, QStringLiteral("Weiß"), 158),
                              line(1043, QDate(2026, 12, 15), QStringLiteral("Weiß"), 170)}
        << QList<int>{1042, 1043} << QList<int>{} << QList<TGast>{record(6, QStringLiteral("Weiß"), 1043, 170)} << 1043
        << QStringList{"1042|14.12.2026|Rechnung||Weiß|158,00||Rechnung 1042.pdf|31.12.2034|",
                       "1043|15.12.2026|Rechnung||Weiß|170,00|nein|Rechnung 1043.pdf|31.12.2034|"};

    QTest::newRow("a changed copy shows")
        << QList<JournalLine>{line(1042, dec14, QStringLiteral("Weiß"), 158)} << QList<int>{1042} << QList<int>{1042}
        << QList<TGast>{record(6, QStringLiteral("Weiß"), 1042, 158)} << 1042
        << QStringList{"1042|14.12.2026|Rechnung||Weiß|158,00|nein|Rechnung 1042.pdf|31.12.2034|verändert: die Kopie "
                       "ist nicht mehr die gedruckte"};

    QTest::newRow("before the journal: from copy and record, marked")
        << QList<JournalLine>{line(1042, dec14, QStringLiteral("Weiß"), 158)} << QList<int>{1040, 1042} << QList<int>{}
        << QList<TGast>{record(3, QStringLiteral("Anna"), 1040, 90), record(6, QStringLiteral("Weiß"), 1042, 158)}
        << 1042
        << QStringList{"1040|18.02.2025|Rechnung||Anna|90,00|nein|Rechnung 1040.pdf|31.12.2033|ohne Buchungszeile",
                       "1041||Lücke|||||||Lücke: keine Rechnung mit dieser Nummer bekannt",
                       "1042|14.12.2026|Rechnung||Weiß|158,00|nein|Rechnung 1042.pdf|31.12.2034|"};

    JournalLine unused = line(1043, dec14, QStringLiteral("Weiß"), 158, QByteArray());
    unused.note = QStringLiteral("Nummer bleibt frei: Der Drucker konnte nicht gestartet werden.");
    QTest::newRow("an unused number carries its reason; an unknown one is a gap")
        << QList<JournalLine>{line(1042, dec14, QStringLiteral("Weiß"), 158), unused} << QList<int>{1042}
        << QList<int>{} << QList<TGast>{} << 1045
        << QStringList{"1042|14.12.2026|Rechnung||Weiß|158,00||Rechnung 1042.pdf|31.12.2034|",
                       "1043|14.12.2026|frei||||||31.12.2034|Nummer bleibt frei: Der Drucker konnte nicht gestartet "
                       "werden.",
                       "1044 bis 1045||Lücke|||||||Lücke: keine Rechnung mit diesen Nummern bekannt"};

    JournalLine storno = line(1050, QDate(2027, 1, 5), QStringLiteral("Weiß"), -158);
    storno.kind = QStringLiteral("Storno");
    storno.refersTo = 1042;
    QTest::newRow("a cancellation and the invoice it cancels")
        << QList<JournalLine>{line(1042, dec14, QStringLiteral("Weiß"), 158), storno} << QList<int>{1042}
        << QList<int>{} << QList<TGast>{} << 1050
        << QStringList{"1042|14.12.2026|Rechnung||Weiß|158,00||Rechnung 1042.pdf|31.12.2034|storniert durch Nr. 1050",
                       "1043 bis 1049||Lücke|||||||Lücke: keine Rechnung mit diesen Nummern bekannt",
                       "1050|05.01.2027|Storno|1042|Weiß|-158,00||fehlt|31.12.2035|Kopie fehlt"};

    // A number is journaled as reserved first; a later line says what became of it.
    JournalLine reserved = line(1043, dec14, QStringLiteral("Weiß"), 158, QByteArray());
    reserved.note = QString::fromUtf8(billing::kNoteReserved);
    JournalLine givenUp = reserved;
    givenUp.note = QStringLiteral("Nummer bleibt frei: Papierstau");
    QTest::newRow("reserved, then issued: the issued line tells")
        << QList<JournalLine>{reserved, line(1043, dec14, QStringLiteral("Weiß"), 158)} << QList<int>{1043}
        << QList<int>{} << QList<TGast>{record(6, QStringLiteral("Weiß"), 1043, 158)} << 1043
        << QStringList{"1043|14.12.2026|Rechnung||Weiß|158,00|nein|Rechnung 1043.pdf|31.12.2034|"};
    QTest::newRow("reserved, then given up: the reason tells")
        << QList<JournalLine>{reserved, givenUp} << QList<int>{} << QList<int>{} << QList<TGast>{} << 1043
        << QStringList{"1043|14.12.2026|frei||||||31.12.2034|Nummer bleibt frei: Papierstau"};
    QTest::newRow("reserved and nothing after: a gap with its reason")
        << QList<JournalLine>{line(1042, dec14, QStringLiteral("Weiß"), 158), reserved} << QList<int>{1042}
        << QList<int>{} << QList<TGast>{record(6, QStringLiteral("Weiß"), 1042, 158)} << 1043
        << QStringList{"1042|14.12.2026|Rechnung||Weiß|158,00|nein|Rechnung 1042.pdf|31.12.2034|",
                       "1043|14.12.2026|Lücke|||||||Lücke: reserviert, aber nicht abgeschlossen (Programm beendet?)"};
    // The program stopped after keeping (and maybe printing) 1043, before its last line.
    QTest::newRow("reserved and nothing after, but its copy kept: issued, and marked")
        << QList<JournalLine>{line(1042, dec14, QStringLiteral("Weiß"), 158), reserved} << QList<int>{1042, 1043}
        << QList<int>{} << QList<TGast>{record(6, QStringLiteral("Weiß"), 1042, 158)} << 1043
        << QStringList{"1042|14.12.2026|Rechnung||Weiß|158,00|nein|Rechnung 1042.pdf|31.12.2034|",
                       "1043|14.12.2026|Rechnung||Weiß|158,00||Rechnung 1043.pdf|31.12.2034|nach Abbruch abgelegt, "
                       "Rechnungsbuch ohne Abschluss"};

    QTest::newRow("a backup re-linked the number to another guest")
        << QList<JournalLine>{line(1042, dec14, QStringLiteral("Weiß"), 158)} << QList<int>{1042} << QList<int>{}
        << QList<TGast>{record(9, QStringLiteral("Bauer"), 1042, 60)} << 1042
        << QStringList{"1042|14.12.2026|Rechnung||Weiß|158,00|nein|Rechnung 1042.pdf|31.12.2034|Gast 9 trägt diese "
                       "Nummer, das Rechnungsbuch nennt Gast 6"};
}

void TestJournalOverview::rows()
{
    QFETCH(QList<JournalLine>, journal);
    QFETCH(QList<int>, kept);
    QFETCH(QList<int>, tampered);
    QFETCH(QList<TGast>, records);
    QFETCH(int, last);
    QFETCH(QStringList, shown);
    // GIVEN the journal, the kept copies as files, and the records
    const QTemporaryDir dir;
    std::vector<AbgelegteRechnung> copies;
    for (const int nr : kept) {
        const QString path = dir.filePath(RechnungsDateiname(nr));
        QVERIFY(WriteBytes(path, tampered.contains(nr) ? kPdf + " geändert" : kPdf));
        copies.push_back({nr, path, QDateTime(QDate(2025, 2, 18), QTime(9, 0))});
    }
    billing::JournalContents contents;
    contents.lines.assign(journal.begin(), journal.end());
    std::vector<TGast> list{TGast{}};
    list.insert(list.end(), records.begin(), records.end());

    // WHEN the overview is made
    const billing::InvoiceOverview overview = billing::invoiceOverview(contents, copies, list, last);

    // THEN each number shows as the journal says, marked where it needs a look
    QStringList texts;
    for (const billing::OverviewRow &row : overview.rows)
        texts << billing::invoiceOverviewTexts(row).join(u'|');
    QCOMPARE(texts, shown);
    QCOMPARE(billing::invoiceOverviewHeader().size(), billing::invoiceOverviewTexts(overview.rows.front()).size());
}

void TestJournalOverview::yearTotals()
{
    JournalLine storno = line(1044, QDate(2027, 1, 5), QStringLiteral("Weiß"), -158);
    storno.kind = QStringLiteral("Storno");
    storno.refersTo = 1042;
    JournalLine unused = line(1045, QDate(2027, 1, 5), QStringLiteral("Bauer"), 70, QByteArray());
    billing::JournalContents contents;
    contents.lines = {line(1042, QDate(2026, 12, 14), QStringLiteral("Weiß"), 158),
                      line(1043, QDate(2026, 12, 30), QStringLiteral("Anna"), 90.5), storno, unused,
                      line(1046, QDate(2027, 1, 6), QStringLiteral("Weiß"), 158)};
    contents.skipped = 1;

    const billing::InvoiceOverview overview = billing::invoiceOverview(contents, {}, {TGast{}}, 1046);

    QCOMPARE(overview.years.size(), std::size_t(2));
    QCOMPARE(overview.years[0], (billing::YearTotal{2026, 2, 0, 248.5}));
    QCOMPARE(overview.years[1], (billing::YearTotal{2027, 1, 1, 0}));
    QCOMPARE(
        billing::yearTotalsLines(overview),
        (QStringList{"2026: 2 Rechnungen, 0 Stornos, zusammen 248,50 €", "2027: 1 Rechnung, 1 Storno, zusammen 0,00 €",
                     "1 Zeile im Rechnungsbuch nicht lesbar (unvollständig oder von Hand verändert)"}));
}

void TestJournalOverview::invoicesNoGuestHolds()
{
    // GIVEN invoices 1042 to 1049, of which a guest holds 1043, 1044 is cancelled by 1050 and 1045
    // stayed free
    billing::JournalContents contents;
    for (qint32 nr = 1042; nr <= 1049; ++nr)
        contents.lines.push_back(line(nr, QDate(2026, 12, 14), QStringLiteral("Weiß"), 100));
    contents.lines[3].sha256.clear();
    JournalLine storno = line(1050, QDate(2026, 12, 15), QStringLiteral("Weiß"), -100);
    storno.kind = QStringLiteral("Storno");
    storno.refersTo = 1044;
    contents.lines.push_back(storno);
    const std::vector<TGast> list{TGast{}, record(6, QStringLiteral("Weiß"), 1043, 100)};

    const billing::InvoiceOverview overview = billing::invoiceOverview(contents, {}, list, 1050);

    // THEN the others are named for a look, the first few one by one
    QCOMPARE(overview.unheld, (std::vector<qint32>{1042, 1046, 1047, 1048, 1049}));
    QCOMPARE(
        billing::unheldInvoiceLines(overview, 3),
        (QStringList{"Rechnung 1042 ist bei keinem Gast eingetragen", "Rechnung 1046 ist bei keinem Gast eingetragen",
                     "Rechnung 1047 ist bei keinem Gast eingetragen",
                     "… und 2 weitere Rechnungen, die bei keinem Gast eingetragen sind"}));
    QCOMPARE(billing::unheldInvoiceLines(overview, 5).size(), 5);
}

void TestJournalOverview::fileReadStraightIntoEntriesShowsTheSame()
{
    // GIVEN a journal file with texts a spreadsheet needs quoted or guarded, umlauts, a number
    // reserved and given up, one issued twice, a cancellation, a reservation with its copy kept,
    // and a line changed by hand into something unreadable
    const QTemporaryDir dir;
    const QString path = billing::journalPath(dir.path());
    const QDate dec14(2026, 12, 14);
    JournalLine reserved = line(1045, dec14, QStringLiteral("Groß"), 80, QByteArray());
    reserved.note = QString::fromUtf8(billing::kNoteReserved);
    JournalLine givenUp = reserved;
    givenUp.note = QStringLiteral("Nummer bleibt frei: Papierstau; \"Fach 2\"");
    JournalLine storno = line(1046, QDate(2027, 1, 5), QStringLiteral("Weiß"), -158);
    storno.kind = QStringLiteral("Storno");
    storno.refersTo = 1042;
    JournalLine stopped = reserved;
    stopped.nr = 1047;
    for (const JournalLine &l : {line(1042, dec14, QStringLiteral("Weiß; \"Haus am See\""), 158),
                                 line(1043, dec14, QStringLiteral("=SUMME(A1)"), 90.5), reserved, givenUp,
                                 line(1044, dec14, QStringLiteral("Müller"), 70),
                                 line(1044, dec14, QStringLiteral("Müller"), 70), storno, stopped})
        billing::appendJournalLine(path, l);
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    file.write("1048;14.12.2026;kaputt\r\n");
    file.close();
    QVERIFY(WriteBytes(dir.filePath(RechnungsDateiname(1047)), kPdf));
    const std::vector<AbgelegteRechnung> copies{{1047, dir.filePath(RechnungsDateiname(1047)), {}}};
    const std::vector<TGast> records{TGast{}, record(6, QStringLiteral("Weiß"), 1044, 70)};

    // WHEN the window's way (the file folded line by line) and the whole journal in memory are shown
    const billing::JournalSummary summary = billing::summarizeJournal(path);
    const billing::InvoiceOverview fromFile = billing::invoiceOverview(summary, copies, records, 1048);
    const billing::InvoiceOverview fromLines =
        billing::invoiceOverview(billing::readJournal(path), copies, records, 1048);

    // THEN both show the same rows, totals and counts, the texts as written
    const auto texts = [](const billing::InvoiceOverview &overview) {
        QStringList all;
        for (const billing::OverviewRow &row : overview.rows)
            all << billing::invoiceOverviewTexts(row).join(u'|');
        return all + billing::yearTotalsLines(overview) + QStringList{billing::overviewSummaryText(overview)};
    };
    QCOMPARE(texts(fromFile), texts(fromLines));
    QCOMPARE(fromFile.unheld, fromLines.unheld);
    QCOMPARE(summary.skipped, 1);
    QCOMPARE(summary.fileLines, qint64(10));
    QVERIFY(summary.findings.isEmpty());
    QCOMPARE(texts(fromFile).mid(0, 5),
             (QStringList{"1042|14.12.2026|Rechnung||Weiß; \"Haus am See\"|158,00||fehlt|31.12.2034|Kopie fehlt; "
                          "storniert durch Nr. 1046",
                          "1043|14.12.2026|Rechnung||=SUMME(A1)|90,50||fehlt|31.12.2034|Kopie fehlt",
                          "1044|14.12.2026|Rechnung||Müller|70,00|nein|fehlt|31.12.2034|Nummer 2-mal im "
                          "Rechnungsbuch; Kopie fehlt",
                          "1045|14.12.2026|frei||||||31.12.2034|Nummer bleibt frei: Papierstau; \"Fach 2\"",
                          "1046|05.01.2027|Storno|1042|Weiß|-158,00||fehlt|31.12.2035|Kopie fehlt"}));
    QCOMPARE(texts(fromFile).at(5), "1047|14.12.2026|Rechnung||Groß|80,00||Rechnung 1047.pdf|31.12.2034|nach "
                                    "Abbruch abgelegt, Rechnungsbuch ohne Abschluss");
}

void TestJournalOverview::revenueByInvoice_data()
{
    QTest::addColumn<QList<JournalLine>>("journal");
    QTest::addColumn<QList<TGast>>("records");
    QTest::addColumn<QList<double>>("amount");      // per month of 2026
    QTest::addColumn<QList<double>>("byDeparture"); // the part counted by departure
    QTest::addColumn<int>("withoutJournal");
    const QList<double> none(12, 0.0);
    const auto month = [](int m, double v, QList<double> base = QList<double>(12, 0.0)) {
        base[m - 1] += v;
        return base;
    };

    // Issued in December for a stay leaving in January: December, by the journal.
    QTest::newRow("by date of issue, not departure")
        << QList<JournalLine>{line(1042, QDate(2026, 12, 14), QStringLiteral("Weiß"), 158)}
        << QList<TGast>{record(6, QStringLiteral("Weiß"), 1042, 999, QDate(2027, 1, 3))} << month(12, 158) << none << 0;
    JournalLine storno = line(1050, QDate(2026, 11, 2), QStringLiteral("Weiß"), -60);
    storno.kind = QStringLiteral("Storno");
    storno.refersTo = 1041;
    QTest::newRow("a cancellation counts negative in its month")
        << QList<JournalLine>{line(1041, QDate(2026, 10, 30), QStringLiteral("Weiß"), 60), storno} << QList<TGast>{}
        << month(11, -60, month(10, 60)) << none << 0;
    QTest::newRow("before the journal: by departure, marked")
        << QList<JournalLine>{line(1042, QDate(2026, 12, 14), QStringLiteral("Weiß"), 158)}
        << QList<TGast>{record(3, QStringLiteral("Anna"), 1030, 90, QDate(2026, 3, 4)),
                        record(4, QStringLiteral("Otto"), 0, 50, QDate(2026, 3, 4))}
        << month(12, 158, month(3, 90)) << month(3, 90) << 1;
    // 1030 from before the journal, cancelled in November: the record no longer holds it, the
    // cancellation's line tells its departure and amount.
    JournalLine oldStorno = line(1050, QDate(2026, 11, 2), QStringLiteral("Anna"), -90);
    oldStorno.kind = QStringLiteral("Storno");
    oldStorno.refersTo = 1030;
    oldStorno.bis = platform::DateToDay(QDate(2026, 3, 4));
    QTest::newRow("cancelled before the journal: the invoice still counts by departure")
        << QList<JournalLine>{oldStorno} << QList<TGast>{record(3, QStringLiteral("Anna"), 0, 90, QDate(2026, 3, 4))}
        << month(11, -90, month(3, 90)) << month(3, 90) << 1;
    // The record still holds the number (its clearing was lost): counted once.
    QTest::newRow("cancelled before the journal, record still numbered")
        << QList<JournalLine>{oldStorno} << QList<TGast>{record(3, QStringLiteral("Anna"), 1030, 90, QDate(2026, 3, 4))}
        << month(11, -90, month(3, 90)) << month(3, 90) << 1;
    QTest::newRow("an unused number counts nothing")
        << QList<JournalLine>{line(1043, QDate(2026, 5, 1), QStringLiteral("Weiß"), 80, QByteArray())} << QList<TGast>{}
        << none << none << 0;
    QTest::newRow("another year counts nothing")
        << QList<JournalLine>{line(1043, QDate(2025, 5, 1), QStringLiteral("Weiß"), 80)}
        << QList<TGast>{record(3, QStringLiteral("Anna"), 1030, 90, QDate(2027, 3, 4))} << none << none << 0;
}

void TestJournalOverview::revenueByInvoice()
{
    QFETCH(QList<JournalLine>, journal);
    QFETCH(QList<TGast>, records);
    QFETCH(QList<double>, amount);
    QFETCH(QList<double>, byDeparture);
    QFETCH(int, withoutJournal);
    billing::JournalContents contents;
    contents.lines.assign(journal.begin(), journal.end());
    std::vector<TGast> list{TGast{}};
    list.insert(list.end(), records.begin(), records.end());

    const billing::RevenueByInvoice revenue = billing::revenueByInvoice(contents, list, 2026);

    QCOMPARE(QList<double>(revenue.amount.begin(), revenue.amount.end()), amount);
    QCOMPARE(QList<double>(revenue.byDeparture.begin(), revenue.byDeparture.end()), byDeparture);
    QCOMPARE(revenue.withoutJournal, withoutJournal);
}

QTEST_MAIN(TestJournalOverview)
#include "test_journaloverview.moc"
