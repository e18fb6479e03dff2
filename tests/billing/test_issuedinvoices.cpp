// What the journal says was issued: a stay's uncancelled invoice, the highest number given, the
// numbers put back on records that lost them, and invoices no record holds.

#include "billing/CreateBill.h"
#include "billing/InvoiceNumber.h"
#include "billing/IssuedInvoices.h"
#include "hardening/HardeningSupport.h"
#include "platform/Regional.h"
#include "register/GuestList.h"
#include "support/GuestBuilder.h"

#include <QTemporaryDir>
#include <QtTest>

using billing::AbgelegteRechnung;
using billing::ErsteFreieReNr;
using billing::HighestIssuedNumber;
using billing::issuedInvoiceFor;
using billing::JournalContents;
using billing::JournalLine;
using billing::reattachInvoices;
using billing::ReattachResult;
using billing::unheldInvoices;
using guests::GuestList;
using guests::TGast;

using Lines = std::vector<JournalLine>;
using Records = std::vector<TGast>;
Q_DECLARE_METATYPE(Lines)
Q_DECLARE_METATYPE(Records)
Q_DECLARE_METATYPE(TGast)

namespace {

const platform::TDateTime kVon = platform::EncodeDate(2026, 12, 18);
const platform::TDateTime kBis = platform::EncodeDate(2026, 12, 20);

// Guest `gastNr`'s stay from kVon (shifted by `shift` days) to kBis.
TGast stay(qint32 gastNr, qint32 reNr = 0, int shift = 0)
{
    return fixture::Stay(gastNr, QStringLiteral("1"), 2, kVon + shift, kBis + shift, QStringLiteral("Weiß"))
        .kosten(158)
        .reNr(reNr);
}

// An issued invoice of `gast`'s stay, issued on 3 December 2026.
JournalLine invoice(qint32 nr, const TGast &gast)
{
    JournalLine line = billing::journalLineFor(gast, nr, QDateTime(QDate(2026, 12, 3), QTime(9, 30)));
    line.sha256 = QString(64, u'a');
    return line;
}

JournalLine reserved(JournalLine line)
{
    line.sha256.clear();
    line.note = QString::fromUtf8(billing::kNoteReserved);
    return line;
}

JournalLine leftFree(JournalLine line)
{
    line.sha256.clear();
    line.note = QStringLiteral("Nummer bleibt frei: Der Drucker konnte nicht gestartet werden.");
    return line;
}

JournalLine cancellation(qint32 nr, qint32 refersTo, const TGast &gast)
{
    JournalLine line = invoice(nr, gast);
    line.kind = QString::fromUtf8(billing::kKindCancellation);
    line.refersTo = refersTo;
    line.amount = -line.amount;
    return line;
}

JournalContents journalOf(const Lines &lines)
{
    JournalContents journal;
    journal.lines = lines;
    return journal;
}

} // namespace

class TestIssuedInvoices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }

    void invoiceOfAStay_data();
    void invoiceOfAStay();
    void highestIssuedNumber_data();
    void highestIssuedNumber();
    void lostNumbersGoBackToTheirRecords();
    void copyKeptBeforeAStopCountsAsIssued_data();
    void copyKeptBeforeAStopCountsAsIssued();
    void invoicesNoRecordHolds();
    void startNumberAtOrBelowAnIssuedOneIsRefused();
    void questionNamesTheInvoiceAndItsDate();
};

void TestIssuedInvoices::invoiceOfAStay_data()
{
    QTest::addColumn<Lines>("journal");
    QTest::addColumn<TGast>("gast");
    QTest::addColumn<qint32>("nr"); // 0: the stay has no uncancelled invoice
    const TGast weiss = stay(7);
    QTest::newRow("issued") << Lines{invoice(1042, weiss)} << weiss << 1042;
    QTest::newRow("the record's number does not matter") << Lines{invoice(1042, weiss)} << stay(7, 1099) << 1042;
    QTest::newRow("another stay of the guest") << Lines{invoice(1042, weiss)} << stay(7, 0, 7) << 0;
    QTest::newRow("another guest, the same days") << Lines{invoice(1042, weiss)} << stay(8) << 0;
    QTest::newRow("only reserved") << Lines{reserved(invoice(1042, weiss))} << weiss << 0;
    QTest::newRow("left free") << Lines{reserved(invoice(1042, weiss)), leftFree(invoice(1042, weiss))} << weiss << 0;
    QTest::newRow("reserved, then issued")
        << Lines{reserved(invoice(1042, weiss)), invoice(1042, weiss)} << weiss << 1042;
    QTest::newRow("cancelled") << Lines{invoice(1042, weiss), cancellation(1043, 1042, weiss)} << weiss << 0;
    QTest::newRow("cancellation only reserved")
        << Lines{invoice(1042, weiss), reserved(cancellation(1043, 1042, weiss))} << weiss << 1042;
    QTest::newRow("a cancellation of another invoice")
        << Lines{invoice(1042, weiss), cancellation(1043, 1041, weiss)} << weiss << 1042;
    QTest::newRow("cancelled and invoiced again")
        << Lines{invoice(1042, weiss), cancellation(1043, 1042, weiss), invoice(1044, weiss)} << weiss << 1044;
}

void TestIssuedInvoices::invoiceOfAStay()
{
    QFETCH(Lines, journal);
    QFETCH(TGast, gast);
    QFETCH(qint32, nr);
    const std::optional<billing::IssuedInvoice> found = issuedInvoiceFor(journalOf(journal), gast);
    QCOMPARE(found ? found->nr : 0, nr);
    if (found)
        QCOMPARE(found->issued.date(), QDate(2026, 12, 3));
}

void TestIssuedInvoices::highestIssuedNumber_data()
{
    QTest::addColumn<Records>("records");
    QTest::addColumn<std::vector<qint32>>("kept");
    QTest::addColumn<Lines>("journal");
    QTest::addColumn<qint32>("highest");
    const TGast weiss = stay(7);
    QTest::newRow("nothing issued") << Records{TGast{}} << std::vector<qint32>{} << Lines{} << 0;
    QTest::newRow("record 0 is no invoice")
        << Records{stay(0, 5000), stay(7, 1040)} << std::vector<qint32>{} << Lines{} << 1040;
    QTest::newRow("a kept copy") << Records{TGast{}, stay(7, 1040)} << std::vector<qint32>{1041} << Lines{} << 1041;
    QTest::newRow("an issued invoice") << Records{TGast{}, stay(7, 1040)} << std::vector<qint32>{1040}
                                       << Lines{invoice(1042, weiss)} << 1042;
    QTest::newRow("a reservation") << Records{TGast{}} << std::vector<qint32>{1040}
                                   << Lines{invoice(1040, weiss), reserved(invoice(1043, weiss))} << 1043;
    QTest::newRow("a number left free") << Records{TGast{}} << std::vector<qint32>{}
                                        << Lines{leftFree(invoice(1044, weiss))} << 1044;
    QTest::newRow("a cancellation") << Records{TGast{}} << std::vector<qint32>{}
                                    << Lines{invoice(1042, weiss), cancellation(1045, 1042, weiss)} << 1045;
}

void TestIssuedInvoices::highestIssuedNumber()
{
    QFETCH(Records, records);
    QFETCH(std::vector<qint32>, kept);
    QFETCH(Lines, journal);
    QFETCH(qint32, highest);
    std::vector<AbgelegteRechnung> kopien;
    for (const qint32 nr : kept)
        kopien.push_back({nr, QStringLiteral("Rechnung %1.pdf").arg(nr), {}});
    QCOMPARE(HighestIssuedNumber(records, kopien, journalOf(journal)), highest);
    QCOMPARE(ErsteFreieReNr(records, kopien, journalOf(journal)), highest + 1);
}

void TestIssuedInvoices::lostNumbersGoBackToTheirRecords()
{
    // GIVEN records read from an older backup, and the journal that saw every invoice since
    GuestList list;
    list.replace({TGast{}, stay(1), stay(2, 1050), stay(3), stay(4), stay(5, 1045), stay(6, 1046)});
    const JournalContents journal = journalOf({
        invoice(1042, stay(1)),                  // lost from its record
        invoice(1043, stay(2)),                  // its record holds another number
        invoice(1044, stay(3)),                  // cancelled: nothing to put back
        cancellation(1047, 1044, stay(3)),       //
        invoice(1045, stay(4)),                  // another record holds this number
        invoice(1046, stay(6)),                  // held by its record
        reserved(invoice(1048, stay(1, 0, 30))), // reserved only: no invoice
    });

    // WHEN the journal's invoices are put back
    const ReattachResult result = reattachInvoices(list, journal);

    // THEN only the record that lost its number gets it, through the list, and each case is named
    QCOMPARE(result.reattached, std::vector<int>{1});
    QCOMPARE(result.messages,
             (QStringList{QStringLiteral("Rechnung 1042 wieder bei Gast 1 eingetragen"),
                          QStringLiteral("Gast 2 trägt Rechnung 1050, das Rechnungsbuch nennt für diesen Aufenthalt "
                                         "Rechnung 1043 vom 03.12.2026; nichts geändert"),
                          QStringLiteral("Rechnung 1045 vom 03.12.2026 gehört laut Rechnungsbuch zu Gast 4, steht aber "
                                         "schon bei einem anderen Gast; nichts geändert")}));
    QCOMPARE(list.at(1).ReNr, 1042);
    QCOMPARE(list.at(2).ReNr, 1050);
    QCOMPARE(list.at(3).ReNr, 0);
    QCOMPARE(list.at(4).ReNr, 0);
    QCOMPARE(list.at(5).ReNr, 1045);
    QVERIFY(list.changed());

    // AND a second pass changes nothing more
    list.markSaved();
    QVERIFY(reattachInvoices(list, journal).reattached.empty());
    QVERIFY(!list.changed());
}

void TestIssuedInvoices::copyKeptBeforeAStopCountsAsIssued_data()
{
    QTest::addColumn<Lines>("journal");
    QTest::addColumn<QStringList>("copies"); // files in the folder beside the journal
    QTest::addColumn<qint32>("nr");          // the stay's uncancelled invoice, 0 for none
    const TGast weiss = stay(7);
    const QString copy1042 = QStringLiteral("Rechnung 1042.pdf");
    QTest::newRow("reserved, its copy kept") << Lines{reserved(invoice(1042, weiss))} << QStringList{copy1042} << 1042;
    QTest::newRow("reserved, no copy") << Lines{reserved(invoice(1042, weiss))} << QStringList{} << 0;
    QTest::newRow("reserved, then left free: a copy left over does not count")
        << Lines{reserved(invoice(1042, weiss)), leftFree(invoice(1042, weiss))} << QStringList{copy1042} << 0;
    QTest::newRow("a copy of a cancellation by that number does not count")
        << Lines{reserved(invoice(1042, weiss))} << QStringList{QStringLiteral("Rechnung 1042 (Storno zu 1041).pdf")}
        << 0;
    QTest::newRow("a cancellation kept before a stop cancels")
        << Lines{invoice(1042, weiss), reserved(cancellation(1043, 1042, weiss))}
        << QStringList{copy1042, QStringLiteral("Rechnung 1043 (Storno zu 1042).pdf")} << 0;
    QTest::newRow("a cancellation reserved without its copy does not")
        << Lines{invoice(1042, weiss), reserved(cancellation(1043, 1042, weiss))} << QStringList{copy1042} << 1042;
}

void TestIssuedInvoices::copyKeptBeforeAStopCountsAsIssued()
{
    QFETCH(Lines, journal);
    QFETCH(QStringList, copies);
    QFETCH(qint32, nr);
    // GIVEN a folder whose journal and copies are left as a stop during the invoice left them
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const JournalLine &line : journal)
        billing::appendJournalLine(billing::journalPath(dir.path()), line);
    for (const QString &copy : copies)
        QVERIFY(hardening::WriteBytes(dir.filePath(copy), "%PDF"));
    const TGast weiss = stay(7);

    // WHEN the stay is printed again THEN its invoice is found, the journal read from the folder
    const std::optional<billing::IssuedInvoice> found = issuedInvoiceFor(dir.path(), weiss);
    QCOMPARE(found ? found->nr : 0, nr);
    if (found)
        QCOMPARE(found->issued, QDateTime(QDate(2026, 12, 3), QTime(9, 30)));

    // AND a record that lost the number gets it back; an issued one is no longer unheld once held
    const JournalContents read = billing::readJournal(billing::journalPath(dir.path()));
    GuestList list;
    list.replace({TGast{}, weiss});
    const ReattachResult result = reattachInvoices(list, read);
    QCOMPARE(list.at(1).ReNr, nr);
    QCOMPARE(result.reattached, nr ? std::vector<int>{1} : std::vector<int>{});
    QVERIFY(unheldInvoices(list.records(), read).empty());
}

void TestIssuedInvoices::invoicesNoRecordHolds()
{
    const Records records{stay(0, 1044), stay(1, 1042), stay(2)};
    const JournalContents journal = journalOf({
        invoice(1042, stay(1)),
        invoice(1043, stay(2)),
        invoice(1044, stay(3)), // record 0 holds no invoice
        invoice(1045, stay(4)),
        cancellation(1046, 1045, stay(4)),
        reserved(invoice(1047, stay(5))),
    });
    QCOMPARE(unheldInvoices(records, journal), (std::vector<qint32>{1043, 1044}));
}

void TestIssuedInvoices::startNumberAtOrBelowAnIssuedOneIsRefused()
{
    // GIVEN no counter, while numbers up to 1042 were issued
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString counter = dir.filePath(QStringLiteral("ReNummer.DAT"));

    // WHEN the host would start at 1042 THEN it is refused, and no counter is made
    const QString message =
        hardening::ErrorOf<platform::EConvertError>([&] { billing::ReNrBeginnen(counter, 1042, 1042); });
    QCOMPARE(message, QStringLiteral("Die Rechnungsnummer 1042 ist schon vergeben: das Rechnungsbuch, die abgelegten "
                                     "Rechnungen oder die Gäste tragen Nummern bis 1042. Rechnungsnummern dürfen sich "
                                     "nicht wiederholen; die nächste Rechnung kann frühestens mit 1043 beginnen."));
    QVERIFY(!QFile::exists(counter));
    // ... and 1043 is taken
    billing::ReNrBeginnen(counter, 1043, 1042);
    QCOMPARE(hardening::FileBytes(counter), QByteArray("1042\r\n"));
}

void TestIssuedInvoices::questionNamesTheInvoiceAndItsDate()
{
    QVERIFY(billing::NeueRechnungFrage(1042, QDate(2026, 12, 3))
                .startsWith(QStringLiteral("Für diesen Gast gibt es schon die Rechnung Nr. 1042 vom 03.12.2026. Eine "
                                           "ausgestellte Rechnung wird nicht geändert.")));
    QVERIFY(billing::NeueRechnungFrage(1042).startsWith(
        QStringLiteral("Für diesen Gast gibt es schon die Rechnung Nr. 1042. Eine ausgestellte")));
}

QTEST_GUILESS_MAIN(TestIssuedInvoices)
#include "test_issuedinvoices.moc"
