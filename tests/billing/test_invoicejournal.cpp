// The invoice journal "Rechnungen/Rechnungsbuch.csv": one line per number taken, appended durably,
// read back whole lines only, and written by the invoice's own steps before the record changes.

#include "billing/CreateBill.h"
#include "billing/InvoiceArchive.h"
#include "billing/InvoiceJournal.h"
#include "billing/JournalCheck.h"
#include "billing/LineReader.h"
#include "billing/Sha256.h"
#include "hardening/HardeningSupport.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/IoError.h"
#include "platform/Regional.h"
#include "support/GuestBuilder.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QPrinter>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <thread>

#include <sys/file.h>
#include <sys/stat.h>

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

QByteArray sha256Hex(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

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

// A journal of five chained invoices 1042 to 1046 (amounts 102 to 106 euros), and its lines as
// the file holds them, the header first; each line keeps its CR.
QList<QByteArray> chainedJournal(const QString &path)
{
    for (int nr = 1042; nr <= 1046; ++nr)
        billing::appendJournalLine(path, invoiceLine(nr, QStringLiteral("Gast %1").arg(nr), 100 + nr % 100 - 40));
    QList<QByteArray> lines = FileBytes(path).split('\n');
    lines.removeLast(); // what follows the last line end
    return lines;
}

QByteArray joined(const QList<QByteArray> &lines)
{
    return lines.join('\n') + '\n';
}

// A line's bytes up to and including the ";" that ends its 16th field.
QByteArray withoutChain(const QByteArray &line)
{
    return line.left(line.size() - 1 - 65); // CR, and 64 hex digits with their ";"
}

const QString kBrokenChain =
    QStringLiteral("geändert, eingefügt oder verschoben, oder eine Zeile davor wurde entfernt – "
                   "die Prüfsumme passt nicht zur Zeile davor");

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
    void chainHashOfPieces_data();
    void chainHashOfPieces();
    void lineViewHoldsTheValuesAsWritten();
    void chainNamesHandChanges_data();
    void chainNamesHandChanges();
    void linesFromBeforeTheChainStayAsTheyAre();
    void copiesWithoutALineAreNamed_data();
    void copiesWithoutALineAreNamed();
    void lineEndsOfOtherSystems_data();
    void lineEndsOfOtherSystems();
    void lineReaderSplitsAtEveryLineEnd_data();
    void lineReaderSplitsAtEveryLineEnd();
    void linkOrPipeIsRefused_data();
    void linkOrPipeIsRefused();
    void appendWaitsForAnotherCopyAndTakesBackOnlyItsOwn();
    void twoWritersKeepOneChain();

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
    const JournalLine looksGuarded = invoiceLine(1047, QStringLiteral("'=Gast"), 1);
    QTest::newRow("a name that looks guarded already") << looksGuarded << looksGuarded;
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
    // Each line ends with its chain's value: SHA-256 of the value before (none for the first), "\n"
    // and the line's 16 fields as written.
    const QString first = QStringLiteral("1042;14.12.2026;10:15:30;Rechnung;;6;Weiß;Kassel;18.12.2026;20.12.2026;2;2;"
                                         "1, 3;158,00;%1;;")
                              .arg(kHash);
    const QString second = QStringLiteral("1050;14.12.2026;10:15:30;Storno;1042;6;Weiß;Kassel;18.12.2026;20.12.2026;"
                                          "2;2;1, 3;-158,00;%1;;")
                               .arg(kHash);
    const QByteArray firstChain = sha256Hex("\n" + first.toUtf8());
    QCOMPARE(lines[0], QStringLiteral("Nummer;Datum;Uhrzeit;Art;Zu Rechnung;Gast Nr.;Name;Ort;Anreise;Abreise;"
                                      "Nächte;Personen;Zimmer;Betrag;SHA-256 der Kopie;Hinweis;Kette;"));
    QCOMPARE(lines[1], first + QString::fromLatin1(firstChain) + u';');
    QCOMPARE(lines[2], second + QString::fromLatin1(sha256Hex(firstChain + "\n" + second.toUtf8())) + u';');
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

void TestInvoiceJournal::chainHashOfPieces_data()
{
    // Lengths around the 64-byte blocks and the 56 bytes after which the length needs a block of
    // its own, cut into three pieces at the given places.
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("firstCut");
    QTest::addColumn<int>("secondCut");
    QTest::newRow("nothing") << 0 << 0 << 0;
    QTest::newRow("one byte") << 1 << 0 << 1;
    QTest::newRow("55: length fits the block") << 55 << 10 << 20;
    QTest::newRow("56: length needs another block") << 56 << 55 << 56;
    QTest::newRow("63") << 63 << 0 << 63;
    QTest::newRow("64: one whole block") << 64 << 32 << 64;
    QTest::newRow("65") << 65 << 64 << 64;
    QTest::newRow("a journal line, cut as the chain hashes it") << 210 << 64 << 65;
    QTest::newRow("many blocks, cut inside blocks") << 1000 << 7 << 999;
}

void TestInvoiceJournal::chainHashOfPieces()
{
    QFETCH(int, length);
    QFETCH(int, firstCut);
    QFETCH(int, secondCut);
    QByteArray bytes(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(i * 37 + length);
    const QByteArrayView all(bytes);
    const QByteArray expected = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);

    // The processor's way (where it has one) and Qt's give the digest of the bytes as one piece
    const std::initializer_list<QByteArrayView> pieces{all.first(firstCut), all.sliced(firstCut, secondCut - firstCut),
                                                       all.sliced(secondCut)};
    const billing::Sha256Digest digest = billing::sha256Digest(pieces);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(digest.data()), 32), expected);
    const billing::Sha256Digest portable = billing::sha256DigestPortable(pieces);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(portable.data()), 32), expected);
    const std::array<char, 64> hex = billing::hexOf(digest);
    QCOMPARE(QByteArray(hex.data(), 64), expected.toHex());
    QCOMPARE(billing::journalChainHash(bytes.first(firstCut), all.sliced(firstCut)),
             sha256Hex(bytes.first(firstCut) + '\n' + bytes.sliced(firstCut)));
}

void TestInvoiceJournal::lineViewHoldsTheValuesAsWritten()
{
    // GIVEN a cancellation whose texts need quotes and a guard, written to the journal
    QTemporaryDir dir;
    const QString path = billing::journalPath(dir.path());
    JournalLine written = invoiceLine(1043, QStringLiteral("=Weiß; \"am See\""), -158.05);
    written.kind = QString::fromUtf8(billing::kKindCancellation);
    written.refersTo = 1042;
    written.note = QStringLiteral("+1 Nacht");
    billing::appendJournalLine(path, written);

    // WHEN it is read as a view
    std::vector<JournalLine> lines;
    const billing::JournalRead read = billing::forEachJournalLineView(path, [&](const billing::JournalLineView &v) {
        QCOMPARE(v.nr, 1043);
        QCOMPARE(v.date, QDate(2026, 12, 14));
        QCOMPARE(v.time, QTime(10, 15, 30));
        QVERIFY(v.cancellation);
        QCOMPARE(v.refersTo, 1042);
        QCOMPARE(v.gastNr, 6);
        QCOMPARE(QString::fromUtf8(v.name), QStringLiteral("=Weiß; \"am See\""));
        QCOMPARE(v.town, QByteArrayView("Kassel"));
        QCOMPARE(v.von, platform::EncodeDate(2026, 12, 18));
        QCOMPARE(v.bis, platform::EncodeDate(2026, 12, 20));
        QCOMPARE(v.rooms, QByteArrayView("1, 3"));
        QCOMPARE(v.amount, -158.05);
        QCOMPARE(v.sha256, QByteArrayView(kHash.toLatin1()));
        QCOMPARE(v.note, QByteArrayView("+1 Nacht"));
        QVERIFY(v.used() && !v.isReservation());
        lines.push_back(v.line());
    });

    // THEN it holds the values as written, and makes the line that was written
    QCOMPARE(read.skipped, 0);
    QCOMPARE(lines, std::vector<JournalLine>{written});
}

void TestInvoiceJournal::chainNamesHandChanges_data()
{
    // Lines of the file: 1 the header, 2 to 6 the invoices 1042 to 1046.
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("at"); // the line of the file it concerns
    QTest::addColumn<QStringList>("findings");
    QTest::addColumn<int>("read"); // lines read back
    QTest::addColumn<int>("skipped");
    const auto broken = [](int line) {
        return QStringLiteral("Rechnungsbuch Zeile %1: %2").arg(line).arg(kBrokenChain);
    };
    QTest::newRow("untouched") << "none" << 0 << QStringList() << 5 << 0;
    QTest::newRow("an amount changed") << "field" << 4 << QStringList{broken(4)} << 5 << 0;
    QTest::newRow("a line removed") << "remove" << 3 << QStringList{broken(3)} << 4 << 0;
    // The copy does not fit where it stands, nor does the line after it.
    QTest::newRow("a line inserted") << "insert" << 5 << QStringList{broken(5), broken(6)} << 6 << 0;
    QTest::newRow("two lines swapped") << "swap" << 3 << QStringList{broken(3), broken(4), broken(5)} << 5 << 0;
    QTest::newRow("a line without chain after chained ones")
        << "unchained" << 7
        << QStringList{QStringLiteral("Rechnungsbuch Zeile 7: ohne Prüfsumme nach Zeilen mit Prüfsumme – von Hand "
                                      "eingefügt oder verändert")}
        << 6 << 0;
    QTest::newRow("a chain value garbled")
        << "garble" << 4
        << QStringList{QStringLiteral("Rechnungsbuch Zeile 4: die Prüfsumme ist unlesbar – von Hand verändert"),
                       broken(5)}
        << 5 << 0;
    // A crash, not a hand: the line was cut off just before its chain value while written.
    QTest::newRow("last line cut off before its chain value") << "cut" << 6 << QStringList() << 4 << 1;
}

void TestInvoiceJournal::chainNamesHandChanges()
{
    QFETCH(QString, change);
    QFETCH(int, at);
    QFETCH(QStringList, findings);
    QFETCH(int, read);
    QFETCH(int, skipped);
    // GIVEN a chained journal, changed by hand
    const QTemporaryDir dir;
    const QString path = billing::journalPath(dir.path());
    QList<QByteArray> lines = chainedJournal(path);
    const int i = at - 1;
    QByteArray bytes;
    if (change == QLatin1String("field")) {
        QVERIFY(lines[i].contains(";104,00;"));
        lines[i].replace(";104,00;", ";140,00;");
    } else if (change == QLatin1String("remove")) {
        lines.removeAt(i);
    } else if (change == QLatin1String("insert")) {
        lines.insert(i, lines[2]);
    } else if (change == QLatin1String("swap")) {
        lines.swapItemsAt(i, i + 1);
    } else if (change == QLatin1String("unchained")) {
        lines.insert(i, withoutChain(lines[2]) + '\r');
    } else if (change == QLatin1String("garble")) {
        const QByteArray value = lines[i].mid(lines[i].size() - 66, 64);
        lines[i] = withoutChain(lines[i]) + value.toUpper() + ";\r";
    }
    bytes = joined(lines);
    if (change == QLatin1String("cut"))
        bytes = joined(lines.first(i)) + withoutChain(lines[i]);
    QVERIFY(WriteBytes(path, bytes));

    // WHEN it is read
    const billing::JournalContents contents = billing::readJournal(path);

    // THEN each line that breaks the chain is named by its line in the file; readable lines still count
    QCOMPARE(contents.findings, findings);
    QCOMPARE(int(contents.lines.size()), read);
    QCOMPARE(contents.skipped, skipped);
}

void TestInvoiceJournal::linesFromBeforeTheChainStayAsTheyAre()
{
    // GIVEN a journal a host kept before lines were chained: 16 fields, a header without "Kette"
    const QTemporaryDir dir;
    const QString path = billing::journalPath(dir.path());
    const QByteArray old = "\xEF\xBB\xBFNummer;Datum;Uhrzeit;Art;Zu Rechnung;Gast Nr.;Name;Ort;Anreise;Abreise;"
                           "N\xC3\xA4"
                           "chte;Personen;Zimmer;Betrag;SHA-256 der Kopie;Hinweis;\r\n"
                           "1040;01.12.2026;09:00:00;Rechnung;;3;Anna;Kassel;;;0;1;;90,00;" +
                           kHash.toLatin1() +
                           ";;\r\n"
                           "1041;02.12.2026;09:00:00;Rechnung;;4;Bert;Kassel;;;0;1;;80,00;;Nummer bleibt frei: "
                           "Papierstau;\r\n";
    QVERIFY(WriteBytes(path, old));

    // WHEN two lines are appended
    billing::appendJournalLine(path, invoiceLine(1042, QStringLiteral("Weiß"), 158));
    billing::appendJournalLine(path, invoiceLine(1043, QStringLiteral("Otto"), 70));

    // THEN the old lines stay byte for byte, the chain starts after them, and nothing is found
    const QByteArray bytes = FileBytes(path);
    QVERIFY(bytes.startsWith(old));
    const QList<QByteArray> added = bytes.mid(old.size()).split('\n');
    QCOMPARE(added[0].right(66), sha256Hex("\n" + withoutChain(added[0])) + ";\r");
    const billing::JournalContents contents = billing::readJournal(path);
    QCOMPARE(contents.findings, QStringList());
    QCOMPARE(contents.skipped, 0);
    QCOMPARE(contents.lines.size(), std::size_t(4));
    QCOMPARE(contents.lines[1].note, QStringLiteral("Nummer bleibt frei: Papierstau"));
    QCOMPARE(contents.lines[3].name, QStringLiteral("Otto"));
}

void TestInvoiceJournal::copiesWithoutALineAreNamed_data()
{
    // Lines of the file: 1 the header, 2 to 6 the invoices 1042 to 1046, each with its kept copy.
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("findings");
    QTest::newRow("untouched") << "none" << QStringList();
    QTest::newRow("cut short by two lines")
        << "cut"
        << QStringList{QStringLiteral("Rechnungsbuch nach Zeile 4 (seinem Ende): keine Zeile zu den abgelegten Kopien "
                                      "Nr. 1045, 1046 – das Rechnungsbuch wurde gekürzt")};
    const QString emptied = QStringLiteral("Rechnungsbuch: ohne Zeilen, aber Kopien wurden abgelegt, nachdem es "
                                           "angelegt war (Nr. 1042, 1043, 1044, 1045, 1046) – das Rechnungsbuch "
                                           "wurde geleert");
    QTest::newRow("emptied to its header") << "header" << QStringList{emptied};
    QTest::newRow("emptied to nothing") << "empty" << QStringList{emptied};
    QTest::newRow("a line taken out")
        << "remove"
        << QStringList{QStringLiteral("Rechnungsbuch Zeile 4: ") + kBrokenChain,
                       QStringLiteral("Rechnungsbuch: keine Zeile zu den abgelegten Kopien Nr. 1044 – Zeilen wurden "
                                      "daraus entfernt")};
    // Invoices 1040 and 1041 were kept long before the journal was begun.
    QTest::newRow("copies from before the journal") << "older" << QStringList();
}

void TestInvoiceJournal::copiesWithoutALineAreNamed()
{
    QFETCH(QString, change);
    QFETCH(QStringList, findings);
    // GIVEN a journal and the copies kept after it was begun
    const QTemporaryDir dir;
    const QString path = billing::journalPath(dir.path());
    const QList<QByteArray> lines = chainedJournal(path);
    for (int nr = 1042; nr <= 1046; ++nr)
        QVERIFY(WriteBytes(dir.filePath(billing::RechnungsDateiname(nr)), "%PDF"));
    if (change == QLatin1String("older")) {
        for (const int nr : {1040, 1041}) {
            QFile copy(dir.filePath(billing::RechnungsDateiname(nr)));
            QVERIFY(copy.open(QIODevice::WriteOnly));
            QVERIFY(copy.setFileTime(QDateTime(QDate(2025, 3, 1), QTime(9, 0)), QFileDevice::FileModificationTime));
        }
    }

    // WHEN the journal is changed in place (by a hand or a tool that keeps the file)
    if (change == QLatin1String("cut"))
        QVERIFY(WriteBytes(path, joined(lines.first(4))));
    else if (change == QLatin1String("header"))
        QVERIFY(WriteBytes(path, joined(lines.first(1))));
    else if (change == QLatin1String("empty"))
        QVERIFY(WriteBytes(path, QByteArray()));
    else if (change == QLatin1String("remove"))
        QVERIFY(WriteBytes(path, joined(lines.first(3) + lines.mid(4))));

    // THEN the findings name it, for the main window and the window "Rechnungen"
    QCOMPARE(billing::journalFindings(dir.path()), findings);
}

void TestInvoiceJournal::lineEndsOfOtherSystems_data()
{
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::newRow("CR LF") << QByteArray("\r\n");
    QTest::newRow("LF") << QByteArray("\n");
    QTest::newRow("CR alone, as on an old Mac") << QByteArray("\r");
}

void TestInvoiceJournal::lineEndsOfOtherSystems()
{
    QFETCH(QByteArray, lineEnd);
    // GIVEN a journal whose line ends another system changed
    const QTemporaryDir dir;
    const QString path = billing::journalPath(dir.path());
    chainedJournal(path);
    const billing::JournalContents written = billing::readJournal(path);
    QVERIFY(WriteBytes(path, FileBytes(path).replace("\r\n", lineEnd)));

    // WHEN it is read, and appended to
    const billing::JournalContents contents = billing::readJournal(path);
    billing::appendJournalLine(path, invoiceLine(1047, QStringLiteral("Neu"), 9));
    const billing::JournalContents after = billing::readJournal(path);

    // THEN the lines are those written, the chain holds, and the new line follows them
    QVERIFY(contents.lines == written.lines);
    QCOMPARE(contents.skipped, 0);
    QCOMPARE(contents.findings, QStringList());
    QCOMPARE(after.lines.size(), std::size_t(6));
    QCOMPARE(after.lines.back().nr, 1047);
    QCOMPARE(after.findings, QStringList());
    QCOMPARE(after.skipped, 0);
}

void TestInvoiceJournal::lineReaderSplitsAtEveryLineEnd_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<bool>("lastEnded");
    // The reader reads 256 KiB at a time: these put a line end across the edge of a piece.
    const QByteArray piece(256 * 1024 - 1, 'x');
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QList<QByteArray>{"a", "b"} << true;
    QTest::newRow("LF") << QByteArray("a\nb\n") << QList<QByteArray>{"a", "b"} << true;
    QTest::newRow("CR") << QByteArray("a\rb\r") << QList<QByteArray>{"a", "b"} << true;
    QTest::newRow("mixed, empty lines, no last end")
        << QByteArray("a\r\rb\n\nc") << QList<QByteArray>{"a", "", "b", "", "c"} << false;
    QTest::newRow("empty") << QByteArray() << QList<QByteArray>{} << true;
    QTest::newRow("CR LF across two pieces") << piece + "\r\nb\r\n" << QList<QByteArray>{piece, "b"} << true;
    QTest::newRow("CR alone at the end of a piece") << piece + "\rb" << QList<QByteArray>{piece, "b"} << false;
    QTest::newRow("CR alone at the end of the file") << piece + "\r" << QList<QByteArray>{piece} << true;
    QTest::newRow("a line longer than a piece") << piece + piece + "\n" << QList<QByteArray>{piece + piece} << true;
}

void TestInvoiceJournal::lineReaderSplitsAtEveryLineEnd()
{
    QFETCH(QByteArray, text);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(bool, lastEnded);
    QBuffer device(&text);
    QVERIFY(device.open(QIODevice::ReadOnly));
    billing::LineReader reader(device, QStringLiteral("test"));
    QList<QByteArray> read;
    QByteArrayView line;
    bool ended = true;
    bool endedLast = true;
    while (reader.next(line, ended)) {
        read << line.toByteArray();
        endedLast = ended;
    }
    QCOMPARE(read, lines);
    QCOMPARE(endedLast, lastEnded);
}

void TestInvoiceJournal::linkOrPipeIsRefused_data()
{
    QTest::addColumn<bool>("link");
    QTest::newRow("a symbolic link to a journal") << true;
    QTest::newRow("a named pipe") << false;
}

void TestInvoiceJournal::linkOrPipeIsRefused()
{
    QFETCH(bool, link);
    // GIVEN something by the journal's name that is not the journal's own file
    const QTemporaryDir dir;
    const QString path = billing::journalPath(dir.path());
    const QString elsewhere = dir.filePath(QStringLiteral("anderswo.csv"));
    billing::appendJournalLine(elsewhere, invoiceLine(1042, QStringLiteral("Weiß"), 158));
    const QByteArray target = FileBytes(elsewhere);
    if (link)
        QVERIFY(QFile::link(elsewhere, path));
    else
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const QString what = link ? QStringLiteral("ein Verweis (symbolischer Link) auf „%1“").arg(elsewhere)
                              : QStringLiteral("eine benannte Pipe (FIFO)");
    const QString expected = QStringLiteral("Das Rechnungsbuch „Rechnungsbuch.csv“ ist keine Datei, sondern %1.\n%2")
                                 .arg(what, platform::ShownPath(path));

    // WHEN it is read, checked and appended to
    const QString read = hardening::ErrorOf<EInvoiceError>([&] { billing::readJournal(path); });
    const QString checked = hardening::ErrorOf<EInvoiceError>([&] { billing::checkJournalWritable(path); });
    const QString appended = hardening::ErrorOf<EInvoiceError>(
        [&] { billing::appendJournalLine(path, invoiceLine(1043, QStringLiteral("Anna"), 1)); });

    // THEN each refuses in German, naming it, and what it points to stays as it was
    QCOMPARE(read, expected);
    QCOMPARE(checked, expected);
    QCOMPARE(appended, expected);
    QCOMPARE(FileBytes(elsewhere), target);
}

void TestInvoiceJournal::appendWaitsForAnotherCopyAndTakesBackOnlyItsOwn()
{
    // GIVEN a journal that another copy of the program is appending to just now
    const QTemporaryDir dir;
    const QString path = billing::journalPath(dir.path());
    billing::appendJournalLine(path, invoiceLine(1042, QStringLiteral("Weiß"), 158));
    const QByteArray before = FileBytes(path);
    QFile other(path);
    QVERIFY(other.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered));
    QCOMPARE(::flock(other.handle(), LOCK_EX), 0);
    const QByteArray othersLine = "Zeile des anderen Programms;\r\n";

    // WHEN this copy appends on a disk that runs full during its line
    QString message;
    std::atomic<bool> done = false;
    {
        const testsupport::DiskFull full(static_cast<rlim_t>(before.size() + othersLine.size() + 20));
        QVERIFY(full.ok());
        std::thread writer([&] {
            message = hardening::ErrorOf<EInvoiceError>(
                [&] { billing::appendJournalLine(path, invoiceLine(1043, QStringLiteral("Anna"), 1)); });
            done = true;
        });
        QThread::msleep(300);
        // THEN it waits while the other holds the journal
        const bool waited = !done;
        QCOMPARE(other.write(othersLine), othersLine.size());
        ::flock(other.handle(), LOCK_UN);
        writer.join();
        QVERIFY(waited);
    }

    // THEN it fails plainly and takes back its own bytes only: the other's line stays
    QVERIFY2(message.startsWith(QStringLiteral("In das Rechnungsbuch „Rechnungsbuch.csv“ kann nicht geschrieben "
                                               "werden (Zu wenig Speicherplatz).")),
             qPrintable(message));
    QCOMPARE(FileBytes(path), before + othersLine);
}

void TestInvoiceJournal::twoWritersKeepOneChain()
{
    // GIVEN two copies of the program appending to one journal at the same time
    const QTemporaryDir dir;
    const QString path = billing::journalPath(dir.path());
    constexpr int kEach = 20;
    QString problemsA;
    QString problemsB;
    const auto appender = [&path](qint32 first, QString &problems) {
        return std::thread([&path, &problems, first] {
            for (qint32 nr = first; nr < first + kEach; ++nr) {
                const QString error = hardening::ErrorOf<EInvoiceError>(
                    [&] { billing::appendJournalLine(path, invoiceLine(nr, QStringLiteral("Gast"), 1)); });
                if (error != QLatin1String("<none>"))
                    problems = error;
            }
        });
    };
    std::thread a = appender(2000, problemsA);
    std::thread b = appender(3000, problemsB);
    a.join();
    b.join();

    // THEN every line is there once, whole, and the chain holds through them all
    QCOMPARE(problemsA, QString());
    QCOMPARE(problemsB, QString());
    const billing::JournalContents contents = billing::readJournal(path);
    QCOMPARE(contents.lines.size(), std::size_t(2 * kEach));
    QCOMPARE(contents.skipped, 0);
    QCOMPARE(contents.findings, QStringList());
    QCOMPARE(FileBytes(path).count("Nummer;"), 1);
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
