// Guest files that are damaged or merely unusual: binary garbage, NUL bytes, a 10 MB line, old
// Mac line ends, bytes the code page leaves undefined, a million records. Each gives a short
// error that names the line, or the right records; never a crash, a hang, or memory out of all
// proportion to the file.

#include "HardeningSupport.h"
#include "platform/AnsiText.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <sys/resource.h>

using guestfile::kGuestFileName;
using guestfile::ReadGuestFile;
using guestfile::WriteGuestFile;
using guests::TGast;

using platform::EConvertError;
using namespace hardening;

namespace {

constexpr qsizetype kTenMegabytes = 10 * 1024 * 1024;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

const QByteArray kRecordZero = "0;;0;30.12.1899;00:00:00;30.12.1899;00:00:00;;;0;;;;0; 0,00;False;False;";

// A guest line with the given name and remark, in Windows-1252.
QByteArray muellerLine(const QByteArray &name = "M\xFCller", const QByteArray &remark = "Fr\xFChst\xFC"
                                                                                        "ck um 8 Uhr")
{
    return "7;13;3;20.02.2025;15:00:00;23.02.2025;10:30:00;" + name +
           ";Hauptstra\xDF"
           "e 5;50667;K\xF6ln;0221 123456;mueller@example.de;12;234,50;True;False;" +
           remark;
}

TGast mueller(const QString &name = QStringLiteral("Müller"),
              const QString &remark = QStringLiteral("Frühstück um 8 Uhr"))
{
    TGast g;
    g.GastNr = 7;
    g.Zimmer = QStringLiteral("13");
    g.Personen = 3;
    g.Von = platform::EncodeDate(2025, 2, 20);
    g.Anreise = platform::TimeToFraction(QTime(15, 0));
    g.Bis = platform::EncodeDate(2025, 2, 23);
    g.Abreise = platform::TimeToFraction(QTime(10, 30));
    g.Name = name;
    g.Strasse = QStringLiteral("Hauptstraße 5");
    g.PLZ = 50667;
    g.Ort = QStringLiteral("Köln");
    g.Telefon = QStringLiteral("0221 123456");
    g.EMail = QStringLiteral("mueller@example.de");
    g.ReNr = 12;
    g.Kosten = 234.5f;
    g.Bezahlt = true;
    g.Bemerkung = remark;
    return g;
}

QByteArray crlf(const QList<QByteArray> &lines)
{
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + "\r\n";
    return bytes;
}

QByteArray randomBytes(quint32 seed, qsizetype size)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &b : bytes)
        b = static_cast<char>(random.bounded(256));
    return bytes;
}

bool isBlank(const QString &line)
{
    return std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() <= 32; });
}

long peakMemoryKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Writes the bytes as the guest file of a fresh folder and reads it.
class GuestFileWith
{
public:
    explicit GuestFileWith(const QByteArray &bytes) : path_(dir_.filePath(QString::fromLatin1(kGuestFileName)))
    {
        QVERIFY(WriteBytes(path_, bytes));
    }
    QString path() const { return path_; }

private:
    QTemporaryDir dir_;
    QString path_;
};

QString readError(const QString &path)
{
    return ErrorOf<EConvertError>([&] { ReadGuestFile(path); });
}

} // namespace

Q_DECLARE_METATYPE(std::vector<TGast>)

class TestBadFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { UseGermanSettings(); }

    void damagedLineIsNamedBriefly_data();
    void damagedLineIsNamedBriefly();
    void binaryGarbageIsNamedByItsFirstLine_data();
    void binaryGarbageIsNamedByItsFirstLine();
    void unusualFileReadsRight_data();
    void unusualFileReadsRight();
    void millionRecords();
};

void TestBadFiles::damagedLineIsNamedBriefly_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QByteArray zero = kRecordZero;
    const QString sixtyX = QString(60, u'x') + u'…';
    QTest::newRow("NUL inside a date") << crlf({zero, "1;1;1;01.0" + QByteArray(1, '\0') +
                                                          ".2025;12:00:00;02.01.2025;10:00:00;;;0;;;;0;0;False;False;"})
                                       << QStringLiteral(
                                              "'01.0\uFFFD.2025' ist kein gültiges Datum\nGaeste.csv, Zeile 2");
    QTest::newRow("10 MB line") << crlf({zero, "1;1;1;" + QByteArray(kTenMegabytes, 'x') + ";12:00:00"})
                                << QStringLiteral("'%1' ist kein gültiges Datum\nGaeste.csv, Zeile 2").arg(sixtyX);
    QTest::newRow("10 MB line without a separator")
        << QByteArray(kTenMegabytes, 'x') << QStringLiteral("'' ist kein gültiges Datum\nGaeste.csv, Zeile 1");
    QTest::newRow("10 MB of date separators")
        << crlf({"1;1;1;" + QByteArray(kTenMegabytes, '.')})
        << QStringLiteral("'%1…' ist kein gültiges Datum\nGaeste.csv, Zeile 1").arg(QString(60, u'.'));
    QTest::newRow("10 MB of time separators")
        << crlf({"1;1;1;01.01.2025;" + QByteArray(kTenMegabytes, ':')})
        << QStringLiteral("'%1…' ist keine gültige Uhrzeit\nGaeste.csv, Zeile 1").arg(QString(60, u':'));
    QTest::newRow("old Mac line ends, third line bad")
        << QByteArray(zero + '\r' + muellerLine() + '\r' + muellerLine().replace("10:30:00", "25:00:00") + '\r')
        << QStringLiteral("'25:00:00' ist keine gültige Uhrzeit\nGaeste.csv, Zeile 3");
    // The program never writes one; a CR put in by hand ends the line, and the cut record shows.
    QTest::newRow("line break inside a text")
        << crlf({zero, muellerLine("M\xFC\rller")})
        << QStringLiteral("'' ist kein gültiger boolescher Wert\nGaeste.csv, Zeile 2");
}

void TestBadFiles::damagedLineIsNamedBriefly()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const GuestFileWith file(bytes);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(readError(file.path()), message);
    // Not a hang: a 10 MB line is read in well under a second without sanitizers.
    QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
}

void TestBadFiles::binaryGarbageIsNamedByItsFirstLine_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("64 KiB") << randomBytes(1, 64 * 1024);
    QTest::newRow("1 MiB") << randomBytes(2, 1024 * 1024);
    QTest::newRow("1 MiB behind a good line") << QByteArray(crlf({muellerLine()}) + randomBytes(3, 1024 * 1024));
    QTest::newRow("1 MiB without line ends") << randomBytes(4, 1024 * 1024).replace('\n', 'n').replace('\r', 'r');
}

void TestBadFiles::binaryGarbageIsNamedByItsFirstLine()
{
    QFETCH(QByteArray, bytes);
    const GuestFileWith file(bytes);
    const QStringList lines = platform::SplitAnsiLines(bytes);
    qsizetype firstBad = 0;
    while (isBlank(lines.at(firstBad)) || (firstBad == 0 && lines.at(0) == platform::FromAnsi(muellerLine())))
        ++firstBad;

    const QString message = readError(file.path());
    QCOMPARE(message.section(u'\n', 1), QStringLiteral("Gaeste.csv, Zeile %1").arg(firstBad + 1));
    QVERIFY2(message.size() < 200, qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("' ist kein")), qPrintable(message));
}

void TestBadFiles::unusualFileReadsRight_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<std::vector<TGast>>("records");
    QTest::addColumn<bool>("savedAlike"); // saving writes the very same bytes back

    const QByteArray nul(1, '\0');
    const TGast zero;
    const TGast one = mueller();
    TGast two = mueller(QStringLiteral("Schäfer"));
    two.GastNr = 8;
    QByteArray twoLine = muellerLine("Sch\xE4"
                                     "fer")
                             .replace("7;13;", "8;13;");

    QTest::newRow("old Mac line ends") << QByteArray(muellerLine() + '\r' + twoLine + '\r')
                                       << std::vector<TGast>{one, two} << false;
    QTest::newRow("mixed line ends") << QByteArray(muellerLine() + "\n" + twoLine + "\r" + muellerLine() + "\r\n")
                                     << std::vector<TGast>{one, two, one} << false;
    QTest::newRow("NUL bytes inside texts")
        << crlf({muellerLine("M\xFC" + nul + "ller", "Fr\xFC" + nul +
                                                         "hst\xFC"
                                                         "ck")})
        << std::vector<TGast>{mueller(QStringLiteral("Mü") + QChar(0) + QStringLiteral("ller"),
                                      QStringLiteral("Frü") + QChar(0) + QStringLiteral("hstück"))}
        << true;
    QTest::newRow("NUL bytes at line ends and between records")
        << QByteArray(muellerLine() + nul + nul + "\r\n" + QByteArray(4096, '\0') + "\r\n" + twoLine + "\r\n")
        << std::vector<TGast>{one, two} << false;
    QTest::newRow("bytes undefined in Windows-1252")
        << crlf({muellerLine("\x81\x8D\x8F\x90\x9D", "\x80\x9F")})
        << std::vector<TGast>{mueller(QStringLiteral("\u0081\u008D\u008F\u0090\u009D"), QStringLiteral("€Ÿ"))} << true;
    QTest::newRow("10 MB remark") << crlf({muellerLine("M\xFCller", QByteArray(kTenMegabytes, 'a'))})
                                  << std::vector<TGast>{mueller(QStringLiteral("Müller"), QString(kTenMegabytes, u'a'))}
                                  << true;
    QTest::newRow("only blank lines") << QByteArray("\r\n \r\n\t\r\n") << std::vector<TGast>{zero} << false;
}

void TestBadFiles::unusualFileReadsRight()
{
    QFETCH(QByteArray, bytes);
    QFETCH(std::vector<TGast>, records);
    QFETCH(bool, savedAlike);
    const GuestFileWith file(bytes);

    std::vector<TGast> read;
    try {
        read = ReadGuestFile(file.path());
    } catch (const std::exception &error) {
        QFAIL(error.what());
    }
    QCOMPARE(read, records);

    // Saved and read again, nothing changes.
    WriteGuestFile(file.path(), read);
    if (savedAlike)
        QCOMPARE(FileBytes(file.path()), bytes);
    QCOMPARE(ReadGuestFile(file.path()), records);
}

void TestBadFiles::millionRecords()
{
    // A million records take seconds in a plain build but over half a minute under the
    // sanitizers, so that build reads a fifth of them unless told otherwise; `make fuzz` runs
    // the million in a Release build.
    int guests = kSanitized ? 200000 : 1000000;
    if (qEnvironmentVariableIsSet("ZIMBRANA_HARDENING_RECORDS"))
        guests = qEnvironmentVariableIntValue("ZIMBRANA_HARDENING_RECORDS");

    // GIVEN a file of record 0 and `guests` guests, as the program writes it
    QByteArray bytes = kRecordZero + "\r\n";
    bytes.reserve(static_cast<qsizetype>(guests) * 100);
    for (int nr = 1; nr <= guests; ++nr)
        bytes += QByteArray::number(nr) + ";1;2;20.02.2025;14:00:00;22.02.2025;10:00:00;Gast " +
                 QByteArray::number(nr) + ";Weg 1;12345;Ort;;;0;100,00;True;False;\r\n";
    const GuestFileWith file(bytes);
    const long memoryBefore = peakMemoryKiB();

    // WHEN it is read and saved again
    QElapsedTimer timer;
    timer.start();
    std::vector<TGast> read = ReadGuestFile(file.path());
    const qint64 readMs = timer.restart();
    const long memoryGrowthKiB = peakMemoryKiB() - memoryBefore;
    WriteGuestFile(file.path(), read);
    const qint64 writeMs = timer.elapsed();
    qInfo("%d records (%lld MB): read in %lld ms, saved in %lld ms, peak memory grew by %ld MB", guests + 1,
          bytes.size() / 1000000, readMs, writeMs, memoryGrowthKiB / 1024);

    // THEN every record is there, and saving writes the file byte for byte as it was
    QCOMPARE(read.size(), std::size_t(guests) + 1);
    TGast last;
    last.GastNr = guests;
    last.Zimmer = QStringLiteral("1");
    last.Personen = 2;
    last.Von = platform::EncodeDate(2025, 2, 20);
    last.Anreise = platform::TimeToFraction(QTime(14, 0));
    last.Bis = platform::EncodeDate(2025, 2, 22);
    last.Abreise = platform::TimeToFraction(QTime(10, 0));
    last.Name = QStringLiteral("Gast %1").arg(guests);
    last.Strasse = QStringLiteral("Weg 1");
    last.PLZ = 12345;
    last.Ort = QStringLiteral("Ort");
    last.Kosten = 100;
    last.Bezahlt = true;
    QCOMPARE(read.back(), last);
    QVERIFY(FileBytes(file.path()) == bytes);
    // Memory in proportion to the file: its lines and records take a few times its size (Unicode
    // text, one allocation per text field, the sanitizers' guard zones; 8 times under them).
    QVERIFY2(memoryGrowthKiB / 1024 < 12 * bytes.size() / 1000000 + 256, qPrintable(QString::number(memoryGrowthKiB)));
}

QTEST_GUILESS_MAIN(TestBadFiles)
#include "test_badfiles.moc"
