// Prices, stay costs, invoice numbers and the drawn and printed invoice.

#include "billing/CreateBill.h"
#include "billing/Invoice.h"
#include "billing/InvoiceNumber.h"
#include "billing/PriceMatrix.h"
#include "billing/StayCost.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/DayNumber.h"
#include "platform/IoError.h"
#include "platform/Regional.h"
#include "support/FileFaults.h"
#include "support/GuestBuilder.h"
#include "support/ReadBack.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using billing::AnzahlZimmer;
using billing::DrawInvoice;
using billing::EInvoiceError;
using billing::InvoiceLines;
using billing::kPreisMatrixDatei;
using billing::kRechnungsvorlageDatei;
using billing::kReNummerDatei;
using billing::LiesPreisMatrix;
using billing::LoadInvoiceTemplate;
using billing::NextReNr;
using billing::PrintInvoice;
using billing::RechnungErstellen;
using billing::TextLine;
using billing::TPreisMatrix;
using billing::Uebernachtungskosten;
using guests::GuestList;
using guests::Naechte;
using guests::TGast;
#endif

using Matrix = std::array<std::array<qint32, 3>, 5>;
Q_DECLARE_METATYPE(Matrix)
Q_DECLARE_METATYPE(TGast)

namespace {

QString dataFile(const char *name)
{
    return QStringLiteral(ZIMBRANA_TEST_DATA "/") + QLatin1String(name);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

TGast stay(double von, double bis, qint32 personen, const QString &zimmer)
{
    return fixture::Stay(0, zimmer, personen, von, bis);
}

// Where the ink of a region lies; left < 0 when the region is blank.
struct Ink
{
    int left = -1, right = -1, top = -1, bottom = -1;
};

Ink inkIn(const QImage &image, int fromRow, int toRow)
{
    Ink ink;
    fromRow = std::max(fromRow, 0);
    toRow = std::min(toRow, image.height());
    for (int y = fromRow; y < toRow; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(line[x]) >= 128)
                continue;
            if (ink.left < 0 || x < ink.left)
                ink.left = x;
            ink.right = std::max(ink.right, x);
            if (ink.top < 0)
                ink.top = y;
            ink.bottom = y;
        }
    }
    return ink;
}

QImage whiteForm()
{
    QImage form(2480, 3508, QImage::Format_RGB32);
    form.fill(Qt::white);
    return form;
}

// What stands at a path instead of an ordinary file.
enum class Odd { Pipe, Device, Folder };

// Puts the odd thing at `path`.
bool makeOdd(Odd odd, const QString &path)
{
    switch (odd) {
    case Odd::Pipe: return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    case Odd::Device: return QFile::link(QStringLiteral("/dev/zero"), path); // never ends
    case Odd::Folder: return QDir().mkdir(path);
    }
    return false;
}

// A JPEG of the given size, as a scanner would save it.
QByteArray jpeg(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(0, 0, width / 2, height / 2, QColor(200, 30, 30));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 80);
    return bytes;
}

TGast invoiceGuest()
{
    TGast g;
    g.Name = QStringLiteral("Jürgen Weiß");
    g.Strasse = QStringLiteral("Hauptstraße 5");
    g.PLZ = 1067;
    g.Ort = QStringLiteral("Dresden");
    g.ReNr = 1042;
    g.Von = platform::EncodeDate(2026, 12, 27);
    g.Bis = platform::EncodeDate(2026, 12, 30);
    g.Personen = 2;
    g.Kosten = 123.4f;
    return g;
}

} // namespace

Q_DECLARE_METATYPE(Odd)

class TestBilling : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void readsPriceFile_data();
    void readsPriceFile();
    void missingPriceFileKeepsMatrix();
    void hugePriceFileIsReadOnlyAsFarAsItsLines();
    void oddFileIsRefusedAtOnce_data();
    void oddFileIsRefusedAtOnce();
    void failedPrintNamesTheNumberThatStaysFree();
    void zeroCostWithoutPriceListTakesNoNumber();

    void countsRooms_data();
    void countsRooms();
    void pricesStay_data();
    void pricesStay();
    void largeCostDoesNotOverflow();

    void nextInvoiceNumber_data();
    void nextInvoiceNumber();
    void missingCounterIsNotCreated();
    void badCounterIsLeftAlone_data();
    void badCounterIsLeftAlone();
    void failedCounterWriteKeepsOldNumber();

    void invoiceTexts_data();
    void invoiceTexts();
    void drawsLinesInPlace();
    void emptyTextDrawsNothing();

    void loadsTemplate();
    void rejectsBadTemplate_data();
    void rejectsBadTemplate();
    void loadsFormScannedAt600Dpi();
    void refusesFormTooLargeNamingWhy();
    void printsOnePage();

private:
    QTemporaryDir tmp_;
};

void TestBilling::initTestCase()
{
    platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
    platform::Clock::fix(QDateTime(QDate(2027, 1, 5), QTime(10, 0)));
    QVERIFY(tmp_.isValid());
}

void TestBilling::cleanupTestCase()
{
    platform::Clock::release();
}

// --- price file -------------------------------------------------------------------------------

void TestBilling::readsPriceFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("content"); // written to `path` first unless empty
    QTest::addColumn<Matrix>("expected");

    // Extra fields and lines are ignored, blanks around the line are not part of a value,
    // "x" and "12 " (a blank before the separator) are no numbers, a short line ends in zeros.
    QTest::newRow("fixture") << dataFile("billing_preismatrix.dat") << QByteArray()
                             << Matrix{{{45, 42, 38}, {68, 64, 58}, {88, 82, 76}, {104, 0, 0}, {120, 0, 104}}};
    QTest::newRow("three lines") << tmp_.filePath(QStringLiteral("three.dat"))
                                 << QByteArray("1;2;3\r\n4;5;6\r\n7;8;9\r\n")
                                 << Matrix{{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {0, 0, 0}, {0, 0, 0}}};
    QTest::newRow("two values") << tmp_.filePath(QStringLiteral("two.dat"))
                                << QByteArray("1;2;3\n4;5\n7;8;9\n10;11;12\n13;14;15")
                                << Matrix{{{1, 2, 3}, {4, 5, 0}, {7, 8, 9}, {10, 11, 12}, {13, 14, 15}}};
    QTest::newRow("hex, sign, empty line")
        << tmp_.filePath(QStringLiteral("hex.dat")) << QByteArray("$1F;0x10;-3\r\n\r\n;;7\r\n")
        << Matrix{{{31, 16, -3}, {0, 0, 0}, {0, 0, 7}, {0, 0, 0}, {0, 0, 0}}};
    QTest::newRow("empty file") << tmp_.filePath(QStringLiteral("empty.dat")) << QByteArray("\r\n") << Matrix{};
}

void TestBilling::readsPriceFile()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, content);
    QFETCH(Matrix, expected);
    if (!content.isEmpty())
        writeFile(path, content);

    TPreisMatrix m;
    for (auto &row : m.Preis)
        row.fill(-99); // every cell must be overwritten, also the missing ones
    QVERIFY(LiesPreisMatrix(path, m));
    QCOMPARE(m.Preis, expected);
}

void TestBilling::missingPriceFileKeepsMatrix()
{
    TPreisMatrix fresh;
    QVERIFY(!LiesPreisMatrix(tmp_.filePath(QStringLiteral("nicht_da.dat")), fresh));
    QCOMPARE(fresh.Preis, Matrix{});

    TPreisMatrix known;
    known.Preis[0] = {45, 42, 38};
    QVERIFY(!LiesPreisMatrix(tmp_.filePath(QStringLiteral("nicht_da.dat")), known));
    QCOMPARE(known.Preis[0], (std::array<qint32, 3>{45, 42, 38}));
}

void TestBilling::hugePriceFileIsReadOnlyAsFarAsItsLines()
{
#ifdef Q_OS_UNIX
    // GIVEN a price file of five lines followed by 200 MB (a file someone pasted into by mistake)
    const QString path = tmp_.filePath(QStringLiteral("riesig.dat"));
    writeFile(path, "1;2;3\r\n4;5;6\r\n7;8;9\r\n10;11;12\r\n13;14;15\r\n");
    QVERIFY(QFile::resize(path, 200LL * 1024 * 1024));

    // WHEN it is read at start
    QElapsedTimer timer;
    timer.start();
    TPreisMatrix m;
    QVERIFY(LiesPreisMatrix(path, m));

    // THEN the five lines count, and the start is not held up
    QCOMPARE(m.Preis, (Matrix{{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}, {13, 14, 15}}}));
    QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(QFile::remove(path));
#else
    QSKIP("needs a sparse file");
#endif
}

void TestBilling::oddFileIsRefusedAtOnce_data()
{
    QTest::addColumn<Odd>("odd");
    QTest::addColumn<int>("code");
    QTest::newRow("pipe") << Odd::Pipe << int(platform::kNotAFile);
    QTest::newRow("device") << Odd::Device << int(platform::kNotAFile);
    QTest::newRow("folder") << Odd::Folder << int(platform::kPathNotFound);
}

void TestBilling::oddFileIsRefusedAtOnce()
{
#ifdef Q_OS_UNIX
    QFETCH(Odd, odd);
    QFETCH(int, code);
    // GIVEN a pipe, a device or a folder named like the price file and the invoice counter
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString prices = dir.filePath(QLatin1String(kPreisMatrixDatei));
    const QString counter = dir.filePath(QLatin1String(kReNummerDatei));
    QVERIFY(makeOdd(odd, prices));
    QVERIFY(makeOdd(odd, counter));
    QElapsedTimer timer;
    timer.start();

    // WHEN the prices are read THEN the matrix stays as it was
    TPreisMatrix m;
    m.Preis[0] = {45, 42, 38};
    QVERIFY(!LiesPreisMatrix(prices, m));
    QCOMPARE(m.Preis[0], (std::array<qint32, 3>{45, 42, 38}));

    // WHEN a number is taken THEN the user reads why, and no number is handed out
    try {
        NextReNr(counter);
        QFAIL("a number was handed out");
    } catch (const platform::EInOutError &e) {
        QCOMPARE(e.message(), platform::IoErrorText(code) + u'\n' + QDir::toNativeSeparators(counter));
    }
    // AND neither waited for the pipe or read the endless device
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
#else
    QSKIP("pipes and devices");
#endif
}

// --- stay cost --------------------------------------------------------------------------------

void TestBilling::countsRooms_data()
{
    QTest::addColumn<QString>("zimmer");
    QTest::addColumn<int>("rooms");
    QTest::newRow("none") << QString() << 0;
    QTest::newRow("one") << QStringLiteral("1") << 1;
    QTest::newRow("all three") << QStringLiteral("123") << 3;
    QTest::newRow("reverse") << QStringLiteral("31") << 2;
    QTest::newRow("same room twice") << QStringLiteral("22") << 1;
    QTest::newRow("with a dash") << QStringLiteral("1-") << 1;
    QTest::newRow("no such room") << QStringLiteral("4") << 0;
}

void TestBilling::countsRooms()
{
    QFETCH(QString, zimmer);
    QFETCH(int, rooms);
    QCOMPARE(AnzahlZimmer(zimmer), rooms);
}

void TestBilling::pricesStay_data()
{
    QTest::addColumn<double>("von");
    QTest::addColumn<double>("bis");
    QTest::addColumn<int>("personen");
    QTest::addColumn<QString>("zimmer");
    QTest::addColumn<int>("nights");
    QTest::addColumn<float>("cost");

    const double day = platform::EncodeDate(2026, 12, 27);
    const QString r1 = QStringLiteral("1");
    // Prices from the fixture: 45;42;38 / 68;64;58 / 88;82;76 / 104;0;0 / 120;0;104.
    QTest::newRow("no night") << day << day << 2 << r1 << 0 << 0.0f;
    QTest::newRow("1 night") << day << day + 1 << 1 << r1 << 1 << 45.0f;
    QTest::newRow("2 nights") << day << day + 2 << 2 << r1 << 2 << 128.0f;
    QTest::newRow("3 nights") << day << day + 3 << 3 << r1 << 3 << 228.0f;
    QTest::newRow("5 nights, 3 rooms") << day << day + 5 << 3 << QStringLiteral("123") << 5 << 1140.0f;
    QTest::newRow("2.75 days are 2 nights") << day << day + 2.75 << 1 << r1 << 2 << 84.0f;
    QTest::newRow("departure before arrival") << day + 3 << day << 2 << QStringLiteral("2") << 3 << 174.0f;
    QTest::newRow("4 persons, 2 rooms") << day << day + 1 << 4 << QStringLiteral("12") << 1 << 208.0f;
    QTest::newRow("5 persons: group") << day << day + 1 << 5 << r1 << 1 << 120.0f;
    QTest::newRow("7 persons, 4 nights") << day << day + 4 << 7 << r1 << 4 << 416.0f;
    QTest::newRow("no persons as one") << day << day + 1 << 0 << r1 << 1 << 45.0f;
    QTest::newRow("negative persons as one") << day << day + 2 << -3 << r1 << 2 << 84.0f;
    QTest::newRow("no room") << day << day + 2 << 2 << QString() << 2 << 0.0f;
    QTest::newRow("same room twice") << day << day + 1 << 1 << QStringLiteral("22") << 1 << 45.0f;
    QTest::newRow("unreadable price") << day << day + 2 << 4 << r1 << 2 << 0.0f;
}

void TestBilling::pricesStay()
{
    QFETCH(double, von);
    QFETCH(double, bis);
    QFETCH(int, personen);
    QFETCH(QString, zimmer);
    QFETCH(int, nights);
    QFETCH(float, cost);

    TPreisMatrix m;
    QVERIFY(LiesPreisMatrix(dataFile("billing_preismatrix.dat"), m));
    const TGast g = stay(von, bis, personen, zimmer);
    QCOMPARE(Naechte(g), nights);
    QCOMPARE(Uebernachtungskosten(g, m), cost);
}

void TestBilling::largeCostDoesNotOverflow()
{
    TPreisMatrix m;
    m.Preis[0][2] = 2'000'000'000;
    const TGast g = stay(0, 1'000'000, 1, QStringLiteral("123"));
    QCOMPARE(Uebernachtungskosten(g, m), 6'000'000'000'000'000.0); // exact: costs are held as double

    // The largest values the file and the day numbers allow.
    constexpr qint32 top = std::numeric_limits<qint32>::max();
    m.Preis[0][2] = top;
    const TGast far = stay(0, 1e12, 1, QStringLiteral("123"));
    QCOMPARE(Naechte(far), top);
    QCOMPARE(Uebernachtungskosten(far, m), 3.0 * double(top) * double(top));
    m.Preis[0][2] = std::numeric_limits<qint32>::min();
    QCOMPARE(Uebernachtungskosten(far, m), -3.0 * double(top) * (double(top) + 1));
}

// --- invoice number ---------------------------------------------------------------------------

void TestBilling::nextInvoiceNumber_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("further lines dropped") << QByteArray("41\r\nold\r\n") << 42 << QByteArray("42\r\n");
    QTest::newRow("no line end") << QByteArray("1041") << 1042 << QByteArray("1042\r\n");
    QTest::newRow("LF only") << QByteArray("9\n") << 10 << QByteArray("10\r\n");
    QTest::newRow("leading blanks and sign") << QByteArray("  +99\r\n") << 100 << QByteArray("100\r\n");
    QTest::newRow("zero") << QByteArray("0\r\n") << 1 << QByteArray("1\r\n");
}

void TestBilling::nextInvoiceNumber()
{
    QFETCH(QByteArray, before);
    QFETCH(int, number);
    QFETCH(QByteArray, after);
    const QString path = tmp_.filePath(QLatin1String(kReNummerDatei));
    writeFile(path, before);
    QCOMPARE(NextReNr(path), number);
    QCOMPARE(readFile(path), after);
    QCOMPARE(NextReNr(path), number + 1);
    QVERIFY(QFile::remove(path));
}

void TestBilling::missingCounterIsNotCreated()
{
    const QString path = tmp_.filePath(QStringLiteral("fehlt.DAT"));
    try {
        NextReNr(path);
        QFAIL("no error for a missing counter file");
    } catch (const platform::EInOutError &e) {
        QCOMPARE(e.code(), int(platform::kFileNotFound));
        QVERIFY(e.message().startsWith(QStringLiteral("Datei nicht gefunden\n")));
    }
    QVERIFY(!QFile::exists(path));
}

void TestBilling::badCounterIsLeftAlone_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("'' ist kein gültiger Integerwert");
    QTest::newRow("blank line") << QByteArray("\r\n7\r\n") << QStringLiteral("'' ist kein gültiger Integerwert");
    QTest::newRow("letters") << QByteArray("abc\r\n") << QStringLiteral("'abc' ist kein gültiger Integerwert");
    QTest::newRow("trailing blank") << QByteArray("41 \r\n") << QStringLiteral("'41 ' ist kein gültiger Integerwert");
    // The next number would be 0, the "no invoice" value, or below it.
    const QString negative =
        QStringLiteral("ReNummer.DAT enthält die Rechnungsnummer %1; eine Rechnungsnummer kann nicht "
                       "negativ sein. Bitte tragen Sie dort die zuletzt vergebene Nummer ein.\n"
                       "%path");
    QTest::newRow("minus one") << QByteArray("-1\r\n") << negative.arg(-1);
    QTest::newRow("smallest number") << QByteArray("-2147483648\r\n") << negative.arg(-2147483647 - 1);
    QTest::newRow("largest number")
        << QByteArray("2147483647\r\n")
        << QStringLiteral(
               "Die Rechnungsnummer 2147483647 ist die größte mögliche; es kann keine weitere vergeben werden.");
}

void TestBilling::badCounterIsLeftAlone()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const QString path = tmp_.filePath(QLatin1String(kReNummerDatei));
    writeFile(path, content);
    try {
        NextReNr(path);
        QFAIL("no error for a bad counter");
    } catch (const platform::EConvertError &e) {
        QCOMPARE(e.message(), QString(message).replace(QStringLiteral("%path"), QDir::toNativeSeparators(path)));
    }
    QCOMPARE(readFile(path), content);
    QVERIFY(QFile::remove(path));
}

void TestBilling::failedCounterWriteKeepsOldNumber()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(kReNummerDatei));
    writeFile(path, "41\r\n");
    bool thrown = false;
    {
        const testsupport::DiskFull full(0);
        QVERIFY(full.ok());
        try {
            NextReNr(path);
        } catch (const platform::EInOutError &) {
            thrown = true;
        }
    }
    QVERIFY(thrown);
    QCOMPARE(readFile(path), QByteArray("41\r\n"));
    // No half-written temporary file is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QLatin1String(kReNummerDatei)});
    // Once writing works again the next number follows the old one.
    QCOMPARE(NextReNr(path), 42);
#else
    QSKIP("needs a file size limit");
#endif
}

// --- invoice ----------------------------------------------------------------------------------

void TestBilling::invoiceTexts_data()
{
    QTest::addColumn<TGast>("guest");
    QTest::addColumn<QStringList>("lines");

    const QString blanks(36, u' ');
    const QString closing = QStringLiteral("Wir hoffen, Sie hatten einen angenehmen Aufenthalt.");
    const QString date = QStringLiteral("05.01.2027");
    const QString number = QStringLiteral("Rechnung Nr. 1042");
    const QString period = QStringLiteral("Für die Nutzung unserer Klosterherberge vom 27.12.2026 bis 30.12.2026");

    QTest::newRow("typical") << invoiceGuest()
                             << QStringList{QStringLiteral("Jürgen Weiß"),
                                            QStringLiteral("Hauptstraße 5"),
                                            QStringLiteral("01067 Dresden"),
                                            date,
                                            number,
                                            period,
                                            QStringLiteral("3 Übernachtungen mit 2 Personen berechnen wir Ihnen") +
                                                blanks + QStringLiteral(" 123,40 Euro"),
                                            closing};

    // No postal code entered: the town stands alone, not after "00000".
    QTest::newRow("empty record")
        << TGast{}
        << QStringList{QString(),
                       QString(),
                       QString(),
                       date,
                       QStringLiteral("Rechnung Nr. 0"),
                       QStringLiteral("Für die Nutzung unserer Klosterherberge vom 30.12.1899 bis 30.12.1899"),
                       QStringLiteral("0 Übernachtungen mit 0 Personen berechnen wir Ihnen") + blanks +
                           QStringLiteral("   0,00 Euro"),
                       closing};

    TGast one = invoiceGuest();
    one.Bis = one.Von + 1;
    one.Personen = 1;
    one.PLZ = 6108;
    one.Ort = QStringLiteral("Halle (Saale)");
    one.Kosten = 45;
    QTest::newRow("one night, one person, postal code with a leading zero")
        << one
        << QStringList{QStringLiteral("Jürgen Weiß"),
                       QStringLiteral("Hauptstraße 5"),
                       QStringLiteral("06108 Halle (Saale)"),
                       date,
                       number,
                       QStringLiteral("Für die Nutzung unserer Klosterherberge vom 27.12.2026 bis 28.12.2026"),
                       QStringLiteral("1 Übernachtung mit 1 Person berechnen wir Ihnen") + blanks +
                           QStringLiteral("  45,00 Euro"),
                       closing};

    TGast mixed = one;
    mixed.Bis = mixed.Von + 2;
    mixed.Personen = 2;
    mixed.PLZ = 1;
    mixed.Ort = QStringLiteral("Ort");
    QTest::newRow("two nights, two persons, the smallest code")
        << mixed
        << QStringList{QStringLiteral("Jürgen Weiß"),
                       QStringLiteral("Hauptstraße 5"),
                       QStringLiteral("00001 Ort"),
                       date,
                       number,
                       QStringLiteral("Für die Nutzung unserer Klosterherberge vom 27.12.2026 bis 29.12.2026"),
                       QStringLiteral("2 Übernachtungen mit 2 Personen berechnen wir Ihnen") + blanks +
                           QStringLiteral("  45,00 Euro"),
                       closing};

    TGast solo = one;
    solo.Bis = solo.Von + 3;
    solo.PLZ = 123456; // no German code, but what the file holds is printed as it is
    QTest::newRow("three nights, one person, six digits")
        << solo
        << QStringList{QStringLiteral("Jürgen Weiß"),
                       QStringLiteral("Hauptstraße 5"),
                       QStringLiteral("123456 Halle (Saale)"),
                       date,
                       number,
                       period,
                       QStringLiteral("3 Übernachtungen mit 1 Person berechnen wir Ihnen") + blanks +
                           QStringLiteral("  45,00 Euro"),
                       closing};

    TGast big = invoiceGuest();
    big.PLZ = 34519;
    big.Ort = QStringLiteral("Diemelsee %1");
    big.Von = platform::EncodeDate(2027, 1, 14);
    big.Bis = platform::EncodeDate(2027, 1, 2); // entered the wrong way round
    big.Personen = 7;
    big.Kosten = 12345.5f;
    QTest::newRow("large numbers")
        << big
        << QStringList{QStringLiteral("Jürgen Weiß"),
                       QStringLiteral("Hauptstraße 5"),
                       QStringLiteral("34519 Diemelsee %1"),
                       date,
                       number,
                       QStringLiteral("Für die Nutzung unserer Klosterherberge vom 14.01.2027 bis 02.01.2027"),
                       QStringLiteral("12 Übernachtungen mit 7 Personen berechnen wir Ihnen") + blanks +
                           QStringLiteral("12345,50 Euro"),
                       closing};
}

void TestBilling::invoiceTexts()
{
    QFETCH(TGast, guest);
    QFETCH(QStringList, lines);
    QCOMPARE(InvoiceLines(guest, platform::Today()), lines);
}

void TestBilling::drawsLinesInPlace()
{
    QImage form = whiteForm();
    TGast g = invoiceGuest();
    g.PLZ = 34519; // a blank before the post code would move its first ink
    DrawInvoice(form, g, platform::Today());

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(50);
    const QFontMetricsF fm(font, &form);
    const qreal h = fm.height();
    const qreal w = fm.horizontalAdvance(u'+');
    QVERIFY2(w > 20 && w < 40 && h > 45 && h < 70, qPrintable(QStringLiteral("w %1, h %2").arg(w).arg(h)));

    const QStringList texts = InvoiceLines(g, platform::Today());
    const int rows[8] = {13, 15, 16, 20, 24, 26, 27, 30};
    const int columns[8] = {10, 10, 10, 70, 10, 10, 10, 10};
    constexpr qreal tolerance = 3;
    int previousBandEnd = 0;
    for (int i = 0; i < 8; ++i) {
        const qreal x = columns[i] * w;
        const qreal y = rows[i] * h;
        // Ink must appear where the text's own glyph outlines put it when its line box starts at (x, y).
        const QRectF glyphs = fm.tightBoundingRect(texts.at(i)).translated(x, y + fm.ascent());
        const Ink ink = inkIn(form, int(y), int(y + h));
        const QString where = QStringLiteral("line %1 \"%2\": ink %3..%4 x %5..%6, expected %7..%8 x %9..%10")
                                  .arg(i + 1)
                                  .arg(texts.at(i))
                                  .arg(ink.left)
                                  .arg(ink.right)
                                  .arg(ink.top)
                                  .arg(ink.bottom)
                                  .arg(glyphs.left())
                                  .arg(glyphs.right())
                                  .arg(glyphs.top())
                                  .arg(glyphs.bottom());
        QVERIFY2(qAbs(ink.left - glyphs.left()) <= tolerance, qPrintable(where));
        QVERIFY2(qAbs(ink.top - glyphs.top()) <= tolerance, qPrintable(where));
        QVERIFY2(qAbs(ink.bottom - glyphs.bottom()) <= tolerance, qPrintable(where));
        QVERIFY2(qAbs(ink.right - glyphs.right()) <= tolerance, qPrintable(where));
        // Nothing between this line and the one before.
        QVERIFY2(inkIn(form, previousBandEnd, int(y) - 1).left < 0, qPrintable(where));
        previousBandEnd = int(y + h) + 1;
    }
    QVERIFY(inkIn(form, previousBandEnd, form.height()).left < 0);
}

void TestBilling::emptyTextDrawsNothing()
{
    QImage form = whiteForm();
    TGast g = invoiceGuest();
    g.Name.clear();
    DrawInvoice(form, g, platform::Today());
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(50);
    const qreal h = QFontMetricsF(font, &form).height();
    QVERIFY(inkIn(form, int(13 * h) - 2, int(14 * h) + 2).left < 0);
    QVERIFY(inkIn(form, int(15 * h), int(16 * h)).left >= 0); // the street is still there

    QImage blank = whiteForm();
    const QImage before = blank;
    TextLine(blank, QString(), QStringLiteral("Arial"), 0xFF000000, 50, 1, 1);
    QCOMPARE(blank, before);
}

void TestBilling::loadsTemplate()
{
    QImage colours(40, 30, QImage::Format_ARGB32);
    colours.fill(Qt::transparent);
    QPainter(&colours).fillRect(0, 0, 20, 30, QColor(0, 0, 255));
    const QString png = tmp_.filePath(QStringLiteral("vorlage.png"));
    QVERIFY(colours.save(png));

    const QImage form = LoadInvoiceTemplate(png);
    QCOMPARE(form.size(), QSize(40, 30));
    QCOMPARE(form.format(), QImage::Format_RGB32);
    QCOMPARE(form.pixel(5, 5), qRgb(0, 0, 255));
    QCOMPARE(form.pixel(30, 5), qRgb(255, 255, 255)); // transparent parts are paper

    const QString jpeg = tmp_.filePath(QLatin1String(kRechnungsvorlageDatei));
    QVERIFY(whiteForm().save(jpeg, "JPG", 90));
    QImage invoice = LoadInvoiceTemplate(jpeg);
    QCOMPARE(invoice.size(), QSize(2480, 3508));
    DrawInvoice(invoice, invoiceGuest(), platform::Today()); // paintable as loaded
    QVERIFY(inkIn(invoice, 0, invoice.height()).left >= 0);
}

void TestBilling::rejectsBadTemplate_data()
{
    QTest::addColumn<QByteArray>("content"); // "<missing>", "<pipe>": no file, a pipe
    QTest::addColumn<QString>("why");
    const QByteArray form = jpeg(600, 800);
    QByteArray damaged = form;
    for (qsizetype i = damaged.size() / 2; i < damaged.size() / 2 + 64; ++i)
        damaged[i] = '\x37';
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        whiteForm().save(&buffer, "PNG");
    }

    QTest::newRow("missing") << QByteArray("<missing>") << "fehlt";
    QTest::newRow("pipe") << QByteArray("<pipe>")
                          << "kann nicht gelesen werden: Keine gewöhnliche Datei, sondern ein Gerät oder eine Pipe";
    QTest::newRow("garbage") << QByteArray("\xFF\xD8\xFF\xE0 kein Bild, nur Text")
                             << "ist beschädigt oder unvollständig";
    QTest::newRow("text") << QByteArray("45;42;38\r\n") << "ist kein lesbares Bild";
    QTest::newRow("empty") << QByteArray("") << "ist kein lesbares Bild";
    // JPEG fills what is missing or broken with grey and calls it a warning; an invoice on it would
    // be half empty.
    QTest::newRow("JPEG cut in half") << form.first(form.size() / 2) << "ist beschädigt oder unvollständig";
    QTest::newRow("JPEG without its last bytes") << form.first(form.size() - 20) << "ist beschädigt oder unvollständig";
    QTest::newRow("JPEG damaged in the middle") << damaged << "ist beschädigt oder unvollständig";
    QTest::newRow("PNG cut in half") << png.first(png.size() / 2) << "ist beschädigt oder unvollständig";
}

void TestBilling::rejectsBadTemplate()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, why);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(kRechnungsvorlageDatei));
    if (content == "<pipe>")
        QVERIFY(makeOdd(Odd::Pipe, path));
    else if (content != "<missing>")
        writeFile(path, content);
    try {
        LoadInvoiceTemplate(path);
        QFAIL("no error for a bad form");
    } catch (const EInvoiceError &e) {
        QCOMPARE(e.message(),
                 QStringLiteral("Die Rechnungsvorlage REVORL.JPG %1.\n").arg(why) + QDir::toNativeSeparators(path));
    }
    QCOMPARE(QFile::exists(path), content != "<missing>");
    // The guard against absurd images is the program's; it is back as it was.
    QCOMPARE(QImageReader::allocationLimit(), 128);
}

void TestBilling::loadsFormScannedAt600Dpi()
{
    // GIVEN the form scanned at 600 dpi, beyond Qt's usual 128 MB for an image
    const QString path = tmp_.filePath(QLatin1String(kRechnungsvorlageDatei));
    writeFile(path, jpeg(4960, 7016));

    // WHEN it is loaded THEN it is whole and can be drawn on
    QImage form = LoadInvoiceTemplate(path);
    QCOMPARE(form.size(), QSize(4960, 7016));
    QCOMPARE(qRed(form.pixel(10, 10)) > 150 && qGreen(form.pixel(10, 10)) < 100, true);
    QCOMPARE(form.pixel(4950, 7000), qRgb(255, 255, 255));
    const QImage blank = form;
    DrawInvoice(form, invoiceGuest(), platform::Today());
    QVERIFY(form != blank);
    QCOMPARE(QImageReader::allocationLimit(), 128);
    QVERIFY(QFile::remove(path));
}

void TestBilling::refusesFormTooLargeNamingWhy()
{
    // GIVEN a form whose header claims 20000 × 30000 pixels (2.4 GB once loaded)
    QByteArray bytes = jpeg(64, 48);
    const qsizetype frame = bytes.indexOf("\xFF\xC0");
    QVERIFY(frame > 0);
    bytes[frame + 5] = char(30000 >> 8); // height, then width, big-endian
    bytes[frame + 6] = char(30000 & 0xFF);
    bytes[frame + 7] = char(20000 >> 8);
    bytes[frame + 8] = char(20000 & 0xFF);
    const QString path = tmp_.filePath(QLatin1String(kRechnungsvorlageDatei));
    writeFile(path, bytes);

    // WHEN it is loaded THEN the host reads the real reason, and what to do
    try {
        LoadInvoiceTemplate(path);
        QFAIL("no error for an oversized form");
    } catch (const EInvoiceError &e) {
        QCOMPARE(e.message(),
                 QStringLiteral("Die Rechnungsvorlage REVORL.JPG ist mit 20000 × 30000 Bildpunkten zu groß: "
                                "sie bräuchte 2289 MB Speicher, höchstens 512 MB sind vorgesehen. Bitte "
                                "scannen Sie das Formular mit höchstens 600 dpi.\n") +
                     QDir::toNativeSeparators(path));
    }
    QVERIFY(QFile::remove(path));
}

void TestBilling::printsOnePage()
{
    const QString pdf = tmp_.filePath(QStringLiteral("rechnung.pdf"));
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));

    QImage invoice = whiteForm();
    DrawInvoice(invoice, invoiceGuest(), platform::Today());
    PrintInvoice(printer, invoice);
    QCOMPARE(printer.resolution(), 600);

    const QByteArray bytes = readFile(pdf);
    QCOMPARE(readback::PdfPageCount(bytes), 1);
    // The form goes to the printer as one picture: poppler finds no text on the page, yet the
    // lines drawn onto the form show when the page is rendered.
    const auto document = readback::PdfDocument(bytes);
    const auto page = document->page(0);
    QVERIFY(page->text(QRectF()).trimmed().isEmpty());
    const QImage rendered = page->renderToImage(50, 50).convertToFormat(QImage::Format_Grayscale8);
    int dark = 0;
    for (int y = 0; y < rendered.height(); ++y)
        for (int x = 0; x < rendered.width(); ++x)
            dark += qGray(rendered.pixel(x, y)) < 128;
    QVERIFY2(dark > 100, qPrintable(QString::number(dark)));
}

void TestBilling::failedPrintNamesTheNumberThatStaysFree()
{
    QTemporaryDir dir;
    const QString counter = dir.filePath(QStringLiteral("ReNummer.DAT"));
    QFile file(counter);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("41\r\n");
    file.close();
    QImage form(620, 877, QImage::Format_RGB32);
    form.fill(Qt::white);
    const QString formPath = dir.filePath(QStringLiteral("REVORL.JPG"));
    QVERIFY(form.save(formPath, "JPG"));
    GuestList list;
    list.appendNew();
    list.modifyCurrent([](TGast &g) { g.Kosten = 150; });
    list.markSaved();

    // A printer that cannot start: a PDF into a folder that does not exist.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("fehlt/rechnung.pdf")));
    QString message;
    try {
        RechnungErstellen(list, 1, {formPath, [&] { return counter; }}, nullptr, printer, platform::Today());
    } catch (const EInvoiceError &error) {
        message = error.message();
    }
    QVERIFY2(message.endsWith(QStringLiteral("Rechnung Nr. 42 wurde nicht gedruckt und bleibt frei.")),
             qPrintable(message));
    QCOMPARE(list.current().ReNr, 0); // the record names no invoice that nobody has
    QVERIFY(!list.changed());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("42\r\n")); // taken all the same: the books show the gap
}

void TestBilling::zeroCostWithoutPriceListTakesNoNumber()
{
    QTemporaryDir dir;
    QImage form(62, 87, QImage::Format_RGB32);
    form.fill(Qt::white);
    const QString formPath = dir.filePath(QStringLiteral("REVORL.JPG"));
    QVERIFY(form.save(formPath, "JPG"));
    GuestList list;
    list.appendNew();
    QPrinter printer;
    bool asked = false;
    QVERIFY_THROWS_EXCEPTION(EInvoiceError, RechnungErstellen(list, 1,
                                                              {formPath,
                                                               [&] {
                                                                   asked = true;
                                                                   return QString();
                                                               }},
                                                              nullptr, printer, platform::Today()));
    QVERIFY(!asked);
    QVERIFY_THROWS_EXCEPTION(EInvoiceError,
                             RechnungErstellen(list, 0, {formPath, [] { return QString(); }}, nullptr, printer, 0));
}

QTEST_MAIN(TestBilling)
#include "test_billing.moc"
