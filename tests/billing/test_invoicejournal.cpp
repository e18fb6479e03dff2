// The invoice journal "Rechnungen/Rechnungsbuch.csv": one line per number taken, appended durably,
// read back whole lines only, and written by the invoice's own steps before the record changes.

#include "billing/CreateBill.h"
#include "billing/InvoiceArchive.h"
#include "billing/InvoiceJournal.h"
#include "hardening/HardeningSupport.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/Regional.h"
#include "support/GuestBuilder.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

using billing::AbgelegteRechnungen;
using billing::EInvoiceError;
using billing::JournalLine;
using billing::RechnungErstellen;
using billing::RechnungsDateien;
using billing::RechnungsErgebnis;
using guests::GuestList;
using hardening::FileBytes;
using hardening::WriteBytes;

Q_DECLARE_METATYPE(JournalLine)

namespace {

const QString kHash = QString(64, u'a');

JournalLine invoiceLine(qint32 nr, const QString &name, double amount)
{
    JournalLine line;
    line.nr = nr;
    line.issued = QDateTime(QDate(2026, 12, 14), QTime(10, 15, 30));
    line.gastNr = 6;
    line.name = name;
    line.town = QStringLiteral("Kassel");
    line.von = platform::EncodeDate(2026, 12, 18);
    line.bis = platform::EncodeDate(2026, 12, 20);
    line.nights = 2;
    line.persons = 2;
    line.rooms = QStringLiteral("13");
    line.amount = amount;
    line.sha256 = kHash;
    return line;
}

// A folder with the form, the counter at 1041 and one guest, as the host's data folder.
class Office
{
public:
    Office()
    {
        QImage form(2480, 3508, QImage::Format_RGB32);
        form.fill(Qt::white);
        form.save(path(QStringLiteral("REVORL.JPG")), "JPG", 90);
        WriteBytes(counter(), "1041\r\n");
        list.replace(fixture::List({fixture::Stay(6, QStringLiteral("13"), 2, platform::EncodeDate(2026, 12, 18),
                                                  platform::EncodeDate(2026, 12, 20), QStringLiteral("Jürgen Weiß"))
                                        .address(QStringLiteral("Hauptstraße 5"), 34117, QStringLiteral("Kassel"))
                                        .kosten(158)}));
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString counter() const { return path(QStringLiteral("ReNummer.DAT")); }
    QString ablage() const { return path(QStringLiteral("Rechnungen")); }
    QString journal() const { return billing::journalPath(ablage()); }
    RechnungsDateien dateien() const
    {
        return {path(QStringLiteral("REVORL.JPG")), [this] { return counter(); }, [this] { return ablage(); }};
    }
    RechnungsErgebnis issue(const QString &printedTo)
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printedTo);
        return RechnungErstellen(list, 1, dateien(), nullptr, printer, platform::EncodeDate(2026, 12, 14));
    }

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/zimbrana-XXXXXX")};
    GuestList list;
};

} // namespace

class TestInvoiceJournal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { platform::Clock::release(); }

    void linesReadBackAsWritten_data();
    void linesReadBackAsWritten();
    void fileOpensInAGermanSpreadsheet();
    void amounts_data();
    void amounts();
    void cutOffLastLineIsIgnored_data();
    void cutOffLastLineIsIgnored();
    void damagedLinesAreSkippedNotFatal();
    void journalThatCannotBeWrittenThrows_data();
    void journalThatCannotBeWrittenThrows();
    void fullDiskLeavesTheJournalAsItWas();
    void hashOfAFile();

    void printedInvoiceAddsOneLineWithItsHash();
    void unwritableJournalStopsTheInvoiceBeforeANumber();
    void failedPrintJournalsTheUnusedNumber();
};

void TestInvoiceJournal::initTestCase()
{
    platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
    platform::Clock::fix(QDateTime(QDate(2026, 12, 14), QTime(10, 15, 30)));
}

void TestInvoiceJournal::linesReadBackAsWritten_data()
{
    QTest::addColumn<JournalLine>("line");
    QTest::addColumn<JournalLine>("read");
    const JournalLine plain = invoiceLine(1042, QStringLiteral("Jürgen Weiß"), 158);
    QTest::newRow("invoice") << plain << plain;
    JournalLine storno = invoiceLine(1050, QStringLiteral("Jürgen Weiß"), -158);
    storno.kind = QString::fromUtf8(billing::kKindCancellation);
    storno.refersTo = 1042;
    QTest::newRow("cancellation") << storno << storno;
    const JournalLine quoted = invoiceLine(1043, QStringLiteral("Gasthof \"Linde\"; Inh. Ölmann "), 12.5);
    QTest::newRow("separator, quotes, blank") << quoted << quoted;
    const JournalLine formula = invoiceLine(1044, QStringLiteral("=HYPERLINK(\"x\")"), 1);
    QTest::newRow("formula guarded and unguarded") << formula << formula;
    JournalLine unused = invoiceLine(1045, QStringLiteral("Anna"), 80);
    unused.sha256.clear();
    unused.note = QStringLiteral("Nummer bleibt frei: Der Drucker\nkonnte nicht gestartet werden.");
    JournalLine unusedRead = unused;
    unusedRead.note = QStringLiteral("Nummer bleibt frei: Der Drucker konnte nicht gestartet werden.");
    QTest::newRow("unused, line break in the reason") << unused << unusedRead;
    JournalLine undated = invoiceLine(1046, QString(), 3);
    undated.von = undated.bis = 0;
    undated.rooms.clear();
    undated.gastNr = 0;
    QTest::newRow("no dates, rooms or guest") << undated << undated;
}

void TestInvoiceJournal::linesReadBackAsWritten()
{
    QFETCH(JournalLine, line);
    QFETCH(JournalLine, read);
    // GIVEN a journal with one line already
    const QTemporaryDir dir;
    const QString path = billing::journalPath(dir.path());
    const JournalLine first = invoiceLine(1, QStringLiteral("Erster"), 2);
    billing::appendJournalLine(path, first);

    // WHEN a line is appended and the journal read back
    billing::appendJournalLine(path, line);
    const billing::JournalContents contents = billing::readJournal(path);

    // THEN both lines come back in order, as written
    QCOMPARE(contents.skipped, 0);
    QCOMPARE(contents.lines.size(), std::size_t(2));
    QVERIFY(contents.lines[0] == first);
    QCOMPARE(contents.lines[1].name, read.name);
    QCOMPARE(contents.lines[1].note, read.note);
    QVERIFY(contents.lines[1] == read);
}

void TestInvoiceJournal::fileOpensInAGermanSpreadsheet()
{
    // GIVEN an invoice and its cancellation, journaled under English regional settings
    platform::SetRegional(QLocale(QLocale::English, QLocale::UnitedStates));
    const QTemporaryDir dir;
    const QString path = billing::journalPath(dir.path());
    billing::appendJournalLine(path, invoiceLine(1042, QStringLiteral("Weiß"), 158));
    JournalLine storno = invoiceLine(1050, QStringLiteral("Weiß"), -158);
    storno.kind = QStringLiteral("Storno");
    storno.refersTo = 1042;
    billing::appendJournalLine(path, storno);
    platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));

    // THEN the file is UTF-8 with its mark, a header, ";" and CR LF, German dates and decimal commas
    const QByteArray bytes = FileBytes(path);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 4); // header, two lines, nothing after the last CR LF
    QCOMPARE(lines[0], QStringLiteral("Nummer;Datum;Uhrzeit;Art;Zu Rechnung;Gast Nr.;Name;Ort;Anreise;Abreise;"
                                      "Nächte;Personen;Zimmer;Betrag;SHA-256 der Kopie;Hinweis;"));
    QCOMPARE(lines[1], QStringLiteral("1042;14.12.2026;10:15:30;Rechnung;;6;Weiß;Kassel;18.12.2026;20.12.2026;2;2;"
                                      "1, 3;158,00;%1;;")
                           .arg(kHash));
    QCOMPARE(lines[2], QStringLiteral("1050;14.12.2026;10:15:30;Storno;1042;6;Weiß;Kassel;18.12.2026;20.12.2026;2;2;"
                                      "1, 3;-158,00;%1;;")
                           .arg(kHash));
    QCOMPARE(lines[3], QString());
    // The guest's data in it are for the host's eyes only.
    QCOMPARE(QFileInfo(path).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFileDevice::Permissions());
}

void TestInvoiceJournal::amounts_data()
{
    QTest::addColumn<double>("euros");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 158.0 << QStringLiteral("158,00");
    QTest::newRow("cents") << 1234.5 << QStringLiteral("1234,50");
    QTest::newRow("negative") << -158.0 << QStringLiteral("-158,00");
    QTest::newRow("negative cents") << -0.07 << QStringLiteral("-0,07");
    QTest::newRow("less than a cent is nothing") << -0.004 << QStringLiteral("0,00");
    QTest::newRow("held as float") << double(99.99f) << QStringLiteral("99,99");
    QTest::newRow("large, no thousands separator") << 1000000.0 << QStringLiteral("1000000,00");
}

void TestInvoiceJournal::amounts()
{
    QFETCH(double, euros);
    QFETCH(QString, text);
    QCOMPARE(billing::journalAmount(euros), text);
    const std::optional<double> back = billing::parseJournalAmount(text);
    QVERIFY(back);
    QCOMPARE(billing::journalAmount(*back), text);
}

void TestInvoiceJournal::cutOffLastLineIsIgnored_data()
{
    QTest::addColumn<int>("cutFromEnd"); // bytes of the last line lost
    QTest::addColumn<int>("whole");      // lines read back
    QTest::newRow("only LF lost: the line is whole") << 1 << 2;
    QTest::newRow("CR LF lost: the line is whole") << 2 << 2;
    QTest::newRow("last separator lost") << 3 << 1;
    QTest::newRow("inside the hash") << 40 << 1;
    QTest::newRow("inside the name") << 120 << 1;
    QTest::newRow("after the first digit") << -1 << 1; // keeps one byte of the line
}

void TestInvoiceJournal::cutOffLastLineIsIgnored()
{
    QFETCH(int, cutFromEnd);
    QFETCH(int, whole);
    // GIVEN a journal whose last append was killed part-way
    const QTemporaryDir dir;
    const QString path = billing::journalPath(dir.path());
    billing::appendJournalLine(path, invoiceLine(1042, QStringLiteral("Weiß"), 158));
    const qint64 oneLine = QFileInfo(path).size();
    billing::appendJournalLine(path, invoiceLine(1043, QStringLiteral("Zweiter Gast mit langem Namen"), 80));
    const qint64 full = QFileInfo(path).size();
    QFile file(path);
    QVERIFY(file.resize(cutFromEnd < 0 ? oneLine + 1 : full - cutFromEnd));

    // WHEN it is read
    billing::JournalContents contents = billing::readJournal(path);

    // THEN only whole lines come back
    QCOMPARE(int(contents.lines.size()), whole);
    QCOMPARE(contents.lines.front().nr, 1042);
    QCOMPARE(contents.skipped, 2 - whole);

    // WHEN the next line is appended
    billing::appendJournalLine(path, invoiceLine(1044, QStringLiteral("Dritter"), 90));
    contents = billing::readJournal(path);

    // THEN it stands on a line of its own and reads back; the cut line stays skipped
    QCOMPARE(int(contents.lines.size()), whole + 1);
    QCOMPARE(contents.lines.back().nr, 1044);
    QCOMPARE(contents.lines.back().name, QStringLiteral("Dritter"));
    QCOMPARE(contents.skipped, 2 - whole);
}

void TestInvoiceJournal::damagedLinesAreSkippedNotFatal()
{
    // GIVEN a journal with lines changed by hand in between whole ones
    const QTemporaryDir dir;
    const QString path = billing::journalPath(dir.path());
    billing::appendJournalLine(path, invoiceLine(1042, QStringLiteral("Weiß"), 158));
    QByteArray bytes = FileBytes(path);
    const QByteArray good = bytes.mid(bytes.indexOf("\r\n") + 2);
    QByteArray bad = good;
    bad.replace("158,00", "158.00"); // an amount as no German spreadsheet writes it
    QByteArray noKind = good;
    noKind.replace(";Rechnung;", ";Gutschrift;");
    QVERIFY(WriteBytes(path, bytes + bad + noKind + good));

    const billing::JournalContents contents = billing::readJournal(path);

    QCOMPARE(contents.lines.size(), std::size_t(2));
    QCOMPARE(contents.skipped, 2);
}

void TestInvoiceJournal::journalThatCannotBeWrittenThrows_data()
{
    QTest::addColumn<int>("obstacle");
    QTest::addColumn<QString>("begins");
    QTest::newRow("a folder by its name")
        << 0 << QStringLiteral("Das Rechnungsbuch „Rechnungsbuch.csv“ ist keine Datei");
    QTest::newRow("read-only journal")
        << 1
        << QStringLiteral("In das Rechnungsbuch „Rechnungsbuch.csv“ kann nicht geschrieben werden (Dateizugriff "
                          "verweigert).");
    QTest::newRow("read-only folder, no journal yet")
        << 2
        << QStringLiteral("In das Rechnungsbuch „Rechnungsbuch.csv“ kann nicht geschrieben werden (Dateizugriff "
                          "verweigert).");
}

void TestInvoiceJournal::journalThatCannotBeWrittenThrows()
{
    QFETCH(int, obstacle);
    QFETCH(QString, begins);
    // GIVEN a journal that cannot take a line
    const QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                          QFile::ExeOther | QFile::WriteOther);
    const QString path = billing::journalPath(dir.path());
    if (obstacle == 0) {
        QVERIFY(QDir().mkpath(path));
    } else if (obstacle == 1) {
        billing::appendJournalLine(path, invoiceLine(1042, QStringLiteral("Weiß"), 158));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther);
    } else {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    }
    const QByteArray before = FileBytes(path);

    // WHEN it is checked and appended to, by a user whom permissions stop
    QString checked;
    QString appended;
    {
        const hardening::AsNobody nobody;
        QVERIFY(nobody.ok());
        checked = hardening::ErrorOf<EInvoiceError>([&] { billing::checkJournalWritable(path); });
        appended = hardening::ErrorOf<EInvoiceError>(
            [&] { billing::appendJournalLine(path, invoiceLine(1043, QStringLiteral("Anna"), 1)); });
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // THEN both say so in German, naming the file, and nothing changed
    QVERIFY2(checked.startsWith(begins), qPrintable(checked));
    QVERIFY2(checked.endsWith(QDir::toNativeSeparators(path)), qPrintable(checked));
    QCOMPARE(appended, checked);
    QCOMPARE(FileBytes(path), before);
}

void TestInvoiceJournal::fullDiskLeavesTheJournalAsItWas()
{
    // GIVEN a journal on a disk with room for a few bytes only
    const QTemporaryDir dir;
    const QString path = billing::journalPath(dir.path());
    billing::appendJournalLine(path, invoiceLine(1042, QStringLiteral("Weiß"), 158));
    const QByteArray before = FileBytes(path);

    // WHEN a line is appended
    QString message;
    {
        const testsupport::DiskFull full(static_cast<rlim_t>(before.size() + 20));
        QVERIFY(full.ok());
        message = hardening::ErrorOf<EInvoiceError>(
            [&] { billing::appendJournalLine(path, invoiceLine(1043, QStringLiteral("Anna"), 1)); });
    }

    // THEN it fails plainly and takes back what it wrote of the line
    QVERIFY2(message.startsWith(QStringLiteral("In das Rechnungsbuch „Rechnungsbuch.csv“ kann nicht geschrieben "
                                               "werden (Zu wenig Speicherplatz).")),
             qPrintable(message));
    QCOMPARE(FileBytes(path), before);
}

void TestInvoiceJournal::hashOfAFile()
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Rechnung 1042.pdf"));
    QVERIFY(WriteBytes(path, "abc"));
    // The published test value of SHA-256 for "abc".
    QCOMPARE(billing::sha256OfFile(path),
             QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    QVERIFY(WriteBytes(path, "abd"));
    QVERIFY(billing::sha256OfFile(path) != billing::sha256Of("abc"));
    QVERIFY_THROWS_EXCEPTION(platform::EInOutError, billing::sha256OfFile(dir.filePath(QStringLiteral("fehlt.pdf"))));
}

void TestInvoiceJournal::printedInvoiceAddsOneLineWithItsHash()
{
    // GIVEN a guest, the form and the counter at 1041
    Office office;

    // WHEN the invoice is printed
    const RechnungsErgebnis result = office.issue(office.path(QStringLiteral("gedruckt.pdf")));

    // THEN the journal holds its reservation and then its line, with the kept PDF's hash, before the
    // guest file is written
    QCOMPARE(result.ReNr, 1042);
    QVERIFY(result.journalError.isEmpty());
    const billing::JournalContents contents = billing::readJournal(office.journal());
    QCOMPARE(contents.skipped, 0);
    QCOMPARE(contents.lines.size(), std::size_t(2));
    QCOMPARE(contents.lines.front().nr, 1042);
    QVERIFY(contents.lines.front().isReservation());
    const JournalLine &line = contents.lines.back();
    QCOMPARE(line.nr, 1042);
    QCOMPARE(line.issued, QDateTime(QDate(2026, 12, 14), QTime(10, 15, 30)));
    QCOMPARE(line.kind, QStringLiteral("Rechnung"));
    QCOMPARE(line.gastNr, 6);
    QCOMPARE(line.name, QStringLiteral("Jürgen Weiß"));
    QCOMPARE(line.town, QStringLiteral("Kassel"));
    QCOMPARE(line.nights, 2);
    QCOMPARE(line.persons, 2);
    QCOMPARE(line.rooms, QStringLiteral("13"));
    QCOMPARE(line.amount, 158.0);
    QCOMPARE(line.sha256, billing::sha256OfFile(result.kopie));
    QVERIFY(line.note.isEmpty());
    QCOMPARE(office.list.at(1).ReNr, 1042);
}

void TestInvoiceJournal::unwritableJournalStopsTheInvoiceBeforeANumber()
{
    // GIVEN a journal that cannot be opened (a folder holds its name)
    Office office;
    QVERIFY(QDir().mkpath(office.journal()));
    const QString printed = office.path(QStringLiteral("gedruckt.pdf"));

    // WHEN the invoice is printed
    const QString message = hardening::ErrorOf<EInvoiceError>([&] { office.issue(printed); });

    // THEN it stops before a number is taken: no number, no copy, no print, no change
    QVERIFY2(message.startsWith(QStringLiteral("Das Rechnungsbuch „Rechnungsbuch.csv“ ist keine Datei")),
             qPrintable(message));
    QVERIFY2(message.endsWith(QStringLiteral("Es wurde keine Rechnungsnummer vergeben und nichts gedruckt.")),
             qPrintable(message));
    QCOMPARE(FileBytes(office.counter()), QByteArray("1041\r\n"));
    QVERIFY(AbgelegteRechnungen(office.ablage()).empty());
    QVERIFY(!QFile::exists(printed));
    QCOMPARE(office.list.at(1).ReNr, 0);
    QVERIFY(!office.list.changed());
}

void TestInvoiceJournal::failedPrintJournalsTheUnusedNumber()
{
    // GIVEN a printer that cannot start (a PDF into a folder that does not exist)
    Office office;

    // WHEN the invoice is printed
    const QString message =
        hardening::ErrorOf<EInvoiceError>([&] { office.issue(office.path(QStringLiteral("fehlt/gedruckt.pdf"))); });

    // THEN the number taken is journaled as unused, with the reason the host was shown
    QVERIFY2(message.endsWith(QStringLiteral("Rechnung Nr. 1042 wurde nicht gedruckt und bleibt frei.")),
             qPrintable(message));
    const billing::JournalContents contents = billing::readJournal(office.journal());
    QCOMPARE(contents.lines.size(), std::size_t(2));
    QVERIFY(contents.lines.front().isReservation());
    const JournalLine &line = contents.lines.back();
    QCOMPARE(line.nr, 1042);
    QVERIFY(!line.used());
    QCOMPARE(line.note, QStringLiteral("Nummer bleibt frei: Der Drucker konnte nicht gestartet werden."));
    QCOMPARE(line.name, QStringLiteral("Jürgen Weiß"));
    QCOMPARE(office.list.at(1).ReNr, 0);
}

QTEST_MAIN(TestInvoiceJournal)
#include "test_invoicejournal.moc"
