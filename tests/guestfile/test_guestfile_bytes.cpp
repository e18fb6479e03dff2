// The guest file read and written straight from and to its bytes must give exactly what reading
// and writing it line by line in Unicode gave (GuestFileReference.h): the same records to the last
// bit, the same error messages, the same bytes. Checked on the fuzz seeds, on hundreds of files
// mutated from them and from a usual file, on every day of two centuries, and on records with
// unusual values, each under several regional settings, since the quick ways depend on them.

#include "GuestFileReference.h"

#include "guestfile/GuestFile.h"
#include "platform/Clock.h"
#include "platform/DayNumber.h"
#include "platform/Regional.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cmath>
#include <limits>

using guestfile::kGuestFileName;
using guestfile::ReadGuestFile;
using guestfile::WriteGuestFile;
using guests::TGast;

namespace {

const QString kFileName = QStringLiteral("Gaeste.csv");

// German, US, and others whose date order, separators, time or decimal separator differ; some
// (Arabic, Korean) have characters in their formats that the file cannot hold as they are.
const std::vector<std::pair<const char *, QLocale>> &regions()
{
    static const std::vector<std::pair<const char *, QLocale>> list = {
        {"de", QLocale(QLocale::German, QLocale::Germany)},  {"us", QLocale(QLocale::English, QLocale::UnitedStates)},
        {"sv", QLocale(QLocale::Swedish, QLocale::Sweden)},  {"gb", QLocale(QLocale::English, QLocale::UnitedKingdom)},
        {"fi", QLocale(QLocale::Finnish, QLocale::Finland)}, {"hu", QLocale(QLocale::Hungarian, QLocale::Hungary)},
        {"ar", QLocale(QLocale::Arabic, QLocale::Egypt)},    {"ko", QLocale(QLocale::Korean, QLocale::SouthKorea)},
    };
    return list;
}

void addRegionRows()
{
    QTest::addColumn<QLocale>("locale");
    for (const auto &[name, locale] : regions())
        QTest::newRow(name) << locale;
}

std::vector<QByteArray> seeds()
{
    std::vector<QByteArray> files;
    for (const char *folder : {"guest_file", "guest_line"}) {
        const QDir dir(QStringLiteral(ZIMBRANA_FUZZ_CORPUS "/") + QString::fromLatin1(folder));
        for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
            QFile file(dir.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                files.push_back(file.readAll());
        }
    }
    return files;
}

TGast guest(int nr, const QString &name, double von, int nights, float kosten)
{
    TGast g;
    g.GastNr = nr;
    g.Zimmer = QString::number(1 + nr % 3);
    g.Personen = 1 + nr % 4;
    g.Von = von;
    g.Anreise = platform::TimeToFraction(QTime(14 + nr % 6, (nr * 15) % 60));
    g.Bis = von + nights;
    g.Abreise = platform::TimeToFraction(QTime(9 + nr % 3, (nr * 20) % 60, nr % 7 == 0 ? 30 : 0));
    g.Name = name;
    g.Strasse = QStringLiteral("Hauptstraße %1").arg(nr);
    g.PLZ = nr % 5 == 0 ? 1067 : 34519 + nr;
    g.Ort = nr % 2 == 0 ? QStringLiteral("Köln") : QStringLiteral("Bad Arolsen-Külte");
    g.Telefon = nr % 4 == 0 ? QString() : QStringLiteral("05691 %1").arg(1000 + nr);
    g.EMail = QStringLiteral("gast%1@example.de").arg(nr);
    g.ReNr = nr % 3 == 0 ? 0 : 2000 + nr;
    g.Kosten = kosten;
    g.Bezahlt = nr % 2 == 0;
    g.Schluessel = nr % 3 == 0;
    g.Bemerkung = nr % 4 == 1 ? QStringLiteral("Anzahlung 50 € – Frühstück um 8") : QString();
    return g;
}

// A file as the program writes it under the settings in force: the usual lines.
QByteArray usualFile()
{
    std::vector<TGast> list(1);
    const double start = platform::EncodeDate(2024, 12, 20);
    const char *const names[] = {"Jürgen Müller", "Renée Weiß", "Familie Öztürk", "Hans-Peter Groß", "Dörte Schäfer"};
    for (int nr = 1; nr <= 30; ++nr)
        list.push_back(guest(nr, QString::fromUtf8(names[nr % 5]), start + nr * 2, 1 + nr % 4,
                             static_cast<float>(45 * (1 + nr % 4)) + static_cast<float>(nr % 4) * 0.25f));
    return reference::write(list);
}

// Field values near the shapes read the quick way, and beyond them.
const QList<QByteArray> &trickyFields()
{
    static const QList<QByteArray> fields = {
        // dates
        "1.1.2025", "01.01.2025", "31.12.9999", "01.01.0001", "01.01.0000", "00.01.2025", "29.02.2024", "29.02.2025",
        "31.04.2025", "1.1.25", "01.01.99", "2025-02-20", "2/20/2025", "02/20/2025", "20.02.2025 ", "20. 02.2025",
        "20.02.02025", "20..2025", "20.02.", "20.02.2025.", "200.2.2025", "2025. 02. 20.", "2025/2/20", "0999.1.1",
        // times
        "15:00:00", "15:00", "5:0", "15:00:00 PM", "3:00:00 PM", "12:00:00 AM", "12:00:00 am", "3:00:00PM", "24:00:00",
        "23:59:59", "23:60:00", "15:00:00:00", "1500", "15.00.00", "15.00", "00:00:00 AM", "13:00:00 PM", "7:05 pm",
        // whole numbers
        "0", "-0", "+5", "007", "2147483647", "2147483648", "-2147483648", "-2147483649", "999999999", "1000000000",
        "$FF", "0x1F", "0X1f", "1e3", "12 ", "-", "5O667",
        // costs
        "0,00", "-0,00", "-0", "128,50", "128.50", "1.234,50", "1,5,0", ",5", "5,", ".", ",", "999999999999999",
        "1234567890123456", "12345678901234567", "0,1234567890123456", "0,000000000000001", "9007199254740993,5",
        "-3,25", "+3,25", "12,50 ", "inf", "nan", "3,4e38", "1e39", "0,125",
        // Booleans
        "True", "False", "true", "TRUE", "false", "1", "2", "-1", "0,0", "1,5", "ja",
        // texts and nothing
        "", "M\xFCller", "x\x80\x81\x9F\xA0\xFF", "\t", "a;b", "   ", "\x00", QByteArray(70, 'z'),
        // many separators at once, more than the fields of a line
        QByteArray(40, ';'), "x;;;;;;;;;;;;;;;;y",
        // as long as a usual time or date, but nothing of the kind
        QByteArray(8, '\xFF'), QByteArray(8, '\0'), QByteArray(10, '\xFF'), QByteArray(10, '\0')};
    return fields;
}

// One mutation of a file: bytes changed, added or dropped, fields replaced by tricky ones, line
// ends changed, separators doubled or dropped, the file cut short.
QByteArray mutated(QByteArray bytes, QRandomGenerator &random)
{
    static const char kBytes[] = ";\r\n \t.:,-+0123456789AMPx$";
    const int changes = 1 + random.bounded(3);
    for (int c = 0; c < changes; ++c) {
        const auto at = [&] { return bytes.isEmpty() ? 0 : random.bounded(static_cast<int>(bytes.size())); };
        switch (random.bounded(8)) {
        case 0:
            if (!bytes.isEmpty())
                bytes[at()] = kBytes[random.bounded(int(sizeof kBytes - 1))];
            break;
        case 1:
            if (!bytes.isEmpty())
                bytes[at()] = static_cast<char>(random.bounded(256));
            break;
        case 2: bytes.insert(at(), kBytes[random.bounded(int(sizeof kBytes - 1))]); break;
        case 3:
            if (!bytes.isEmpty())
                bytes.remove(at(), 1 + random.bounded(3));
            break;
        case 4:
        case 5: {
            // A field of a line replaced by a tricky one.
            QList<QByteArray> lines = bytes.split('\n');
            QByteArray &line = lines[random.bounded(static_cast<int>(lines.size()))];
            QList<QByteArray> fields = line.split(';');
            const int field = random.bounded(static_cast<int>(fields.size()));
            const bool ended = fields[field].endsWith('\r');
            fields[field] = trickyFields().at(random.bounded(static_cast<int>(trickyFields().size())));
            if (ended)
                fields[field] += '\r';
            line = fields.join(';');
            bytes = lines.join('\n');
            break;
        }
        case 6: {
            const QByteArray ends[] = {"\r\n", "\n", "\r", "\r\r\n", ""};
            bytes.replace("\r\n", ends[random.bounded(5)]);
            break;
        }
        default: bytes.truncate(at()); break;
        }
    }
    return bytes;
}

float randomCost(QRandomGenerator &random)
{
    switch (random.bounded(10)) {
    case 0: {
        // Exact halves of a cent, quarters and eighths: the rounding rule decides.
        const int eighths = random.bounded(-100000, 100000);
        return static_cast<float>(eighths) / 8.0f;
    }
    case 1: {
        const float special[] = {0.0f,
                                 -0.0f,
                                 0.004f,
                                 -0.004f,
                                 0.005f,
                                 -0.005f,
                                 0.015f,
                                 1e-40f,
                                 -1e-40f,
                                 std::numeric_limits<float>::max(),
                                 -std::numeric_limits<float>::max(),
                                 std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity(),
                                 std::numeric_limits<float>::quiet_NaN(),
                                 99999.995f,
                                 1e13f,
                                 9.99e14f,
                                 1e15f};
        return special[random.bounded(static_cast<int>(std::size(special)))];
    }
    case 2: return static_cast<float>(random.generateDouble() * 2e9 - 1e9);
    case 3: {
        quint32 bits = random.generate();
        float f = 0;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    default: return static_cast<float>(random.bounded(200000)) / 100.0f - 100.0f;
    }
}

double randomDay(QRandomGenerator &random)
{
    switch (random.bounded(8)) {
    case 0: {
        const double special[] = {0.0,
                                  -0.0,
                                  -0.5,
                                  0.999,
                                  -693593.0,
                                  -693594.0,
                                  -328716.0,
                                  -328717.0,
                                  2958465.0,
                                  2958466.0,
                                  3e6,
                                  -3e6,
                                  1e15,
                                  -1e15,
                                  1e300,
                                  std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN()};
        return special[random.bounded(static_cast<int>(std::size(special)))];
    }
    case 1: return random.generateDouble() * 4e6 - 1e6;            // any year, with a time of day
    default: return std::floor(random.generateDouble() * 80000.0); // 1900 to 2119
    }
}

double randomTime(QRandomGenerator &random)
{
    switch (random.bounded(6)) {
    case 0: {
        const double special[] = {0.0,
                                  -0.0,
                                  0.5,
                                  0.99999999,
                                  1.0,
                                  -0.25,
                                  1.5,
                                  45000.75,
                                  -1e10,
                                  std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN()};
        return special[random.bounded(static_cast<int>(std::size(special)))];
    }
    case 1: return random.generateDouble();
    default: return platform::TimeToFraction(QTime(random.bounded(24), random.bounded(60), random.bounded(60)));
    }
}

qint32 randomInt(QRandomGenerator &random)
{
    switch (random.bounded(4)) {
    case 0: {
        const qint32 special[] = {0,
                                  -1,
                                  9,
                                  10,
                                  99,
                                  100,
                                  999999999,
                                  1000000000,
                                  std::numeric_limits<qint32>::max(),
                                  std::numeric_limits<qint32>::min(),
                                  -2147483647};
        return special[random.bounded(static_cast<int>(std::size(special)))];
    }
    case 1: return static_cast<qint32>(random.generate());
    default: return random.bounded(100000);
    }
}

QString randomText(QRandomGenerator &random)
{
    // Plain letters, Windows-1252 letters and signs, characters the code page lacks, surrogate
    // pairs and lone halves, C1 controls, and what saving must replace.
    static const QString pieces[] = {QStringLiteral("Müller"),
                                     QStringLiteral("Straße 5"),
                                     QStringLiteral("abcdefghijklmnopq"),
                                     QStringLiteral("50 € – „ok“"),
                                     QStringLiteral("Łódź"),
                                     QStringLiteral("中文"),
                                     QStringLiteral("😀"),
                                     QString(QChar(0xD800)),
                                     QString(QChar(0xDC00)),
                                     QStringLiteral("\u0080\u0081\u008D\u009F\u00A0"),
                                     QStringLiteral(";"),
                                     QStringLiteral("\r\n"),
                                     QStringLiteral(" "),
                                     QStringLiteral("\t"),
                                     QString(QChar(0)),
                                     QStringLiteral("ÿ"),
                                     QStringLiteral("0123456789")};
    QString text;
    const int count = random.bounded(6);
    for (int i = 0; i < count; ++i)
        text += pieces[random.bounded(static_cast<int>(std::size(pieces)))];
    return text;
}

TGast randomRecord(QRandomGenerator &random)
{
    TGast g;
    g.GastNr = randomInt(random);
    g.Zimmer = random.bounded(4) == 0 ? randomText(random) : QString::number(1 + random.bounded(123));
    g.Personen = randomInt(random);
    g.Von = randomDay(random);
    g.Anreise = randomTime(random);
    g.Bis = randomDay(random);
    g.Abreise = randomTime(random);
    g.Name = randomText(random);
    g.Strasse = randomText(random);
    g.PLZ = randomInt(random);
    g.Ort = randomText(random);
    g.Telefon = randomText(random);
    g.EMail = randomText(random);
    g.ReNr = randomInt(random);
    g.Kosten = randomCost(random);
    g.Bezahlt = random.bounded(2) == 0;
    g.Schluessel = random.bounded(2) == 0;
    g.Bemerkung = randomText(random);
    return g;
}

} // namespace

class TestGuestFileBytes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // Two-digit years are read relative to today.
        platform::Clock::fix(QDateTime(QDate(2025, 2, 20), QTime(10, 0)));
        platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
    }
    void cleanup() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }

    void seedsReadAsBefore_data() { addRegionRows(); }
    void seedsReadAsBefore();
    void trickyFieldsReadAsBefore_data() { addRegionRows(); }
    void trickyFieldsReadAsBefore();
    void mutatedFilesReadAsBefore_data() { addRegionRows(); }
    void mutatedFilesReadAsBefore();
    void everyDayReadsAndWritesAsBefore_data() { addRegionRows(); }
    void everyDayReadsAndWritesAsBefore();
    void unusualRecordsWriteAsBefore_data() { addRegionRows(); }
    void unusualRecordsWriteAsBefore();
    void fileOnDiskReadsAsBefore();
};

void TestGuestFileBytes::seedsReadAsBefore()
{
    QFETCH(QLocale, locale);
    platform::SetRegional(locale);
    const std::vector<QByteArray> files = seeds();
    QVERIFY(files.size() >= 20);
    int read = 0;
    for (const QByteArray &bytes : files) {
        const QString difference = reference::differenceInReading(bytes);
        QVERIFY2(difference.isEmpty(), qPrintable(difference + u'\n' + QString::fromLatin1(bytes.left(300))));
        const reference::Reading reading = reference::read(bytes, kFileName);
        if (reading.error.isEmpty()) {
            ++read;
            const QString written = reference::differenceInWriting(reading.records);
            QVERIFY2(written.isEmpty(), qPrintable(written));
        }
    }
    qInfo("%zu seed files (%d of them readable here) read and written as before", files.size(), read);
}

void TestGuestFileBytes::trickyFieldsReadAsBefore()
{
    QFETCH(QLocale, locale);
    platform::SetRegional(locale);
    // Every tricky value in every field of a usual line.
    const QByteArray usual = usualFile();
    const QByteArray line =
        usual.mid(usual.indexOf('\n') + 1).left(usual.indexOf('\n', usual.indexOf('\n') + 1) - usual.indexOf('\n') - 1);
    const QList<QByteArray> fields = line.chopped(1).split(';');
    QCOMPARE(fields.size(), 18);
    int files = 0;
    for (qsizetype k = 0; k < fields.size(); ++k) {
        for (const QByteArray &value : trickyFields()) {
            QList<QByteArray> changed = fields;
            changed[k] = value;
            const QByteArray bytes = changed.join(';') + "\r\n";
            const QString difference = reference::differenceInReading(bytes);
            QVERIFY2(difference.isEmpty(), qPrintable(difference + u'\n' + QString::fromLatin1(bytes)));
            ++files;
        }
    }
    qInfo("%d lines with a tricky field read as before", files);
}

void TestGuestFileBytes::mutatedFilesReadAsBefore()
{
    QFETCH(QLocale, locale);
    platform::SetRegional(locale);
    // The same mutations in every run, so that a difference found is found again.
    QRandomGenerator random(20250220);
    std::vector<QByteArray> bases = seeds();
    bases.push_back(usualFile());
    constexpr int kMutations = 400;
    int readable = 0;
    for (int i = 0; i < kMutations; ++i) {
        // The usual file most often, since it goes the quick way until a mutation leads it off.
        const QByteArray &base = i % 2 == 0 ? bases.back() : bases[static_cast<std::size_t>(i / 2) % bases.size()];
        const QByteArray bytes = mutated(base, random);
        const QString difference = reference::differenceInReading(bytes);
        QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("mutation %1: ").arg(i) + difference + u'\n' +
                                                  QString::fromLatin1(bytes.toPercentEncoding(" ;:.,-"))));
        const reference::Reading reading = reference::read(bytes, kFileName);
        if (reading.error.isEmpty()) {
            ++readable;
            const QString written = reference::differenceInWriting(reading.records);
            QVERIFY2(written.isEmpty(), qPrintable(QStringLiteral("mutation %1: ").arg(i) + written));
        }
    }
    // Both outcomes must be tried, or the mutations test only one side. (Under some settings the
    // program cannot read the dates it writes, and then no file is readable.)
    if (reference::read(usualFile(), kFileName).error.isEmpty())
        QVERIFY(readable > kMutations / 10);
    QVERIFY(readable < kMutations);
    qInfo("%d mutated files read as before (%d readable, %d with an error)", kMutations, readable,
          kMutations - readable);
}

void TestGuestFileBytes::everyDayReadsAndWritesAsBefore()
{
    QFETCH(QLocale, locale);
    platform::SetRegional(locale);
    // Every day from 1995 to 2035, the days around 30 December 1899, and the turn of February into
    // March of every century year and of the years around it, from 1000 to 9999.
    std::vector<double> days;
    for (double day = platform::EncodeDate(1995, 1, 1); day <= platform::EncodeDate(2035, 12, 31); ++day)
        days.push_back(day);
    for (double day = -3; day <= 3; ++day)
        days.push_back(day);
    for (int year = 1000; year <= 9900; year += 100)
        for (int y = std::max(year - 1, 1000); y <= year + 1; ++y)
            for (double day = platform::EncodeDate(y, 2, 27); day <= platform::EncodeDate(y, 3, 1); ++day)
                days.push_back(day);
    days.push_back(platform::EncodeDate(1000, 1, 1));
    days.push_back(platform::EncodeDate(9999, 12, 31));
    days.push_back(platform::EncodeDate(999, 12, 31));

    std::vector<TGast> list(1);
    for (std::size_t i = 0; i + 1 < days.size(); i += 2) {
        TGast g = guest(static_cast<int>(i), QStringLiteral("Tag"), days[i], 0, 1.5f);
        g.Bis = days[i + 1];
        list.push_back(g);
    }
    const QString written = reference::differenceInWriting(list);
    QVERIFY2(written.isEmpty(), qPrintable(written));
    const QString read = reference::differenceInReading(reference::write(list));
    QVERIFY2(read.isEmpty(), qPrintable(read));
}

void TestGuestFileBytes::unusualRecordsWriteAsBefore()
{
    QFETCH(QLocale, locale);
    platform::SetRegional(locale);
    QRandomGenerator random(4711);
    std::vector<TGast> list;
    for (int i = 0; i < 3000; ++i)
        list.push_back(randomRecord(random));
    const QString written = reference::differenceInWriting(list);
    QVERIFY2(written.isEmpty(), qPrintable(written));

    // The device form writes the same bytes.
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(WriteGuestFile(buffer, list));
    QCOMPARE(buffer.data(), reference::write(list));

    // And what was written reads back as the reference reads it.
    const QString read = reference::differenceInReading(reference::write(list));
    QVERIFY2(read.isEmpty(), qPrintable(read));
}

void TestGuestFileBytes::fileOnDiskReadsAsBefore()
{
    // Many lines, so that the reader hands back the pages it has read, with unusual lines and a
    // bad one far in; each read from the disk as the reference reads its bytes.
    QByteArray bytes;
    const QByteArray usual = usualFile();
    for (int i = 0; i < 600; ++i)
        bytes += usual;
    QByteArray unusual = bytes;
    unusual.replace("Köln", "K\xF6ln\x81");
    unusual.replace(";True;", ";true;");
    const QByteArray bad = bytes + "1;1;1;31.02.2025;12:00:00;01.03.2025;10:00:00;;;0;;;;0;0;False;False;\r\n" + usual;

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(kGuestFileName);
    const std::array<const QByteArray *, 3> contents = {&bytes, &unusual, &bad};
    for (const QByteArray *content : contents) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(*content), content->size());
        file.close();

        const reference::Reading expected = reference::read(*content, kFileName);
        QVERIFY2(expected.error.isEmpty() == (content != &bad), qPrintable(expected.error));
        std::vector<TGast> records;
        QString error;
        try {
            records = ReadGuestFile(path);
        } catch (const platform::EConvertError &e) {
            error = e.message();
        }
        QCOMPARE(error, expected.error);
        QCOMPARE(records.size(), expected.records.size());
        for (std::size_t i = 0; i < records.size(); ++i)
            QVERIFY2(reference::same(records[i], expected.records[i]),
                     qPrintable(reference::exactly(records[i]) + u'\n' + reference::exactly(expected.records[i])));
    }
}

QTEST_GUILESS_MAIN(TestGuestFileBytes)
#include "test_guestfile_bytes.moc"
