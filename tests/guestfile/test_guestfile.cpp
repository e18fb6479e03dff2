#include "guestfile/DataFolder.h"
#include "guestfile/GuestFile.h"
#include "guestfile/GuestRecord.h"
#include "guestfile/SettingsFolder.h"
#include "platform/AnsiText.h"
#include "platform/Convert.h"
#include "platform/DayNumber.h"
#include "platform/Fields.h"
#include "platform/IoError.h"
#include "platform/Regional.h"
#include "support/FileFaults.h"
#include "support/GastText.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <bit>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>

using guestfile::DataFolder;
using guestfile::DecodeGuestLines;
using guestfile::DecodeSatz;
using guestfile::EncodeSatz;
using guestfile::kGuestFileName;
using guestfile::MakeSettingsFolder;
using guestfile::ReadGuestFile;
using guestfile::WriteGuestFile;
using guests::TGast;
#endif

Q_DECLARE_METATYPE(TGast)

// Readable failure output for record comparisons.
char *toString(const TGast &g)
{
    return QTest::toString(Describe(g));
}

using platform::NextField;
using platform::NextFieldFloat;
using platform::NextFieldInt;

namespace {

using platform::EncodeDate;
using platform::TimeToFraction;

QLocale germanLocale()
{
    return QLocale(QLocale::German, QLocale::Germany);
}
QLocale usLocale()
{
    return QLocale(QLocale::English, QLocale::UnitedStates);
}
void useRegional(const QString &name)
{
    platform::SetRegional(name == u"us" ? usLocale() : germanLocale());
}

const QString kZeroLine = QStringLiteral("0;;0;30.12.1899;00:00:00;30.12.1899;00:00:00;;;0;;;;0; 0,00;False;False;");
const QString kMuellerDe =
    QStringLiteral("7;13;3;20.02.2025;15:00:00;23.02.2025;10:30:00;Müller;Hauptstraße 5;50667;"
                   "Köln;0221 123456;mueller@example.de;12;234,50;True;False;Frühstück um 8 Uhr");
const QString kMuellerUs =
    QStringLiteral("7;13;3;2/20/2025;3:00:00 PM;2/23/2025;10:30:00 AM;Müller;Hauptstraße 5;50667;"
                   "Köln;0221 123456;mueller@example.de;12;234.50;True;False;Frühstück um 8 Uhr");

TGast mueller()
{
    TGast g;
    g.GastNr = 7;
    g.Zimmer = QStringLiteral("13");
    g.Personen = 3;
    g.Von = EncodeDate(2025, 2, 20);
    g.Anreise = TimeToFraction(QTime(15, 0));
    g.Bis = EncodeDate(2025, 2, 23);
    g.Abreise = TimeToFraction(QTime(10, 30));
    g.Name = QStringLiteral("Müller");
    g.Strasse = QStringLiteral("Hauptstraße 5");
    g.PLZ = 50667;
    g.Ort = QStringLiteral("Köln");
    g.Telefon = QStringLiteral("0221 123456");
    g.EMail = QStringLiteral("mueller@example.de");
    g.ReNr = 12;
    g.Kosten = 234.5f;
    g.Bezahlt = true;
    g.Schluessel = false;
    g.Bemerkung = QStringLiteral("Frühstück um 8 Uhr");
    return g;
}

template <typename Change> TGast muellerWith(Change change)
{
    TGast g = mueller();
    change(g);
    return g;
}

// The German Müller line with some fields replaced (index -> new text).
QString muellerLineWith(std::initializer_list<std::pair<int, QString>> changes)
{
    QStringList fields = kMuellerDe.split(u';');
    for (const auto &[index, text] : changes)
        fields[index] = text;
    return fields.join(u';');
}

// The German Müller line cut down to its first `count` fields.
QString muellerLineFirst(int count)
{
    return kMuellerDe.split(u';').mid(0, count).join(u';');
}

template <typename F> QString conversionError(F f)
{
    try {
        f();
    } catch (const platform::EConvertError &e) {
        return e.message();
    }
    return QString();
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The permission bits as the octal mode of the owner, the group and the others.
int modeOf(const QString &path)
{
    const QFileDevice::Permissions p = QFile::permissions(path);
    const std::pair<QFileDevice::Permission, int> bits[] = {
        {QFileDevice::ReadOwner, 0400}, {QFileDevice::WriteOwner, 0200}, {QFileDevice::ExeOwner, 0100},
        {QFileDevice::ReadGroup, 0040}, {QFileDevice::WriteGroup, 0020}, {QFileDevice::ExeGroup, 0010},
        {QFileDevice::ReadOther, 0004}, {QFileDevice::WriteOther, 0002}, {QFileDevice::ExeOther, 0001}};
    int mode = 0;
    for (const auto &[flag, value] : bits)
        if (p.testFlag(flag))
            mode |= value;
    return mode;
}

QFileDevice::Permissions permissionsOf(int mode)
{
    QFileDevice::Permissions p;
    p.setFlag(QFileDevice::ReadOwner, mode & 0400);
    p.setFlag(QFileDevice::WriteOwner, mode & 0200);
    p.setFlag(QFileDevice::ReadGroup, mode & 0040);
    p.setFlag(QFileDevice::WriteGroup, mode & 0020);
    p.setFlag(QFileDevice::ReadOther, mode & 0004);
    p.setFlag(QFileDevice::WriteOther, mode & 0002);
    return p;
}

} // namespace

class TestGuestFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(germanLocale()); }
    void cleanup() { platform::SetRegional(germanLocale()); }

    void nextField_data();
    void nextField();
    void nextFieldInt_data();
    void nextFieldInt();
    void nextFieldFloat_data();
    void nextFieldFloat();
    void costReadsToTheLastBit_data();
    void costReadsToTheLastBit();

    void decodeSatz_data();
    void decodeSatz();
    void encodeSatz_data();
    void encodeSatz();
    void encodeCost_data();
    void encodeCost();
    void roundTrip_data();
    void roundTrip();
    void separatorsInTextsKeepTheRecordInShape();

    void fixtureReadsAndWritesBackByteForByte();
    void decodeGuestLines_data();
    void decodeGuestLines();
    void badLineInFileLeavesCallerUntouched();
    void missingFileIsAnIoError();
    void writePermissions_data();
    void writePermissions();
    void writeIntoImpossibleFolder_data();
    void writeIntoImpossibleFolder();
    void failedWriteKeepsOldFile();
    void writeToDevice_data();
    void writeToDevice();
    void charactersOutsideTheCodePageBecomeQuestionMarks();

    void dataFolder_data();
    void dataFolder();
    void dataFolderUnchosen();
    void settingsFolder();
};

void TestGuestFile::nextField_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("rest");

    QTest::newRow("trimmed around") << "  a;b  "
                                    << ";" << QStringList{"a", "b", ""} << "";
    QTest::newRow("controls trimmed, blank before separator kept") << "\t\x01"
                                                                      "a b ;c\r"
                                                                   << ";" << QStringList{"a b ", "c"} << "";
    QTest::newRow("blank after separator trimmed") << "a; b"
                                                   << ";" << QStringList{"a", "b"} << "";
    QTest::newRow("no-break space is not trimmed") << "\u00a0a;b"
                                                   << ";" << QStringList{"\u00a0a"} << "b";
    QTest::newRow("empty fields") << ";;x"
                                  << ";" << QStringList{"", "", "x", ""} << "";
    QTest::newRow("empty line again and again") << ""
                                                << ";" << QStringList{"", "", ""} << "";
    QTest::newRow("rest after one field") << "a;  b;c  "
                                          << ";" << QStringList{"a"} << "  b;c";
    QTest::newRow("rest trimmed on the next call") << "a;  b;c  "
                                                   << ";" << QStringList{"a", "b"} << "c";
    QTest::newRow("no separator") << "abc"
                                  << "," << QStringList{"abc", ""} << "";
    QTest::newRow("two-character separator") << "a<>b<c<>d"
                                             << "<>" << QStringList{"a", "b<c", "d"} << "";
}

void TestGuestFile::nextField()
{
    QFETCH(QString, line);
    QFETCH(QString, separator);
    QFETCH(QStringList, fields);
    QFETCH(QString, rest);

    // The cut on a view of the line gives the same fields and leaves the same rest.
    QStringView view(line);
    for (const QString &expected : fields)
        QCOMPARE(NextField(view, separator).toString(), expected);
    QCOMPARE(view.toString(), rest);

    for (const QString &expected : fields)
        QCOMPARE(NextField(line, separator), expected);
    QCOMPARE(line, rest);
}

void TestGuestFile::nextFieldInt_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<qint32>("expected");
    QTest::addColumn<QString>("rest");

    QTest::newRow("decimal") << "42;x" << 42 << "x";
    QTest::newRow("negative") << "-5" << -5 << "";
    QTest::newRow("plus") << "+7;" << 7 << "";
    QTest::newRow("leading blanks of the line") << "  12;3" << 12 << "3";
    QTest::newRow("hex dollar") << "$1F" << 31 << "";
    QTest::newRow("hex 0x") << "0x1f;" << 31 << "";
    QTest::newRow("largest") << "2147483647" << 2147483647 << "";
    QTest::newRow("smallest") << "-2147483648" << qint32(-2147483647 - 1) << "";
    QTest::newRow("out of range") << "2147483648;1" << 0 << "1";
    QTest::newRow("blank before separator") << "12 ;34" << 0 << "34";
    QTest::newRow("letters") << "12a" << 0 << "";
    QTest::newRow("decimal point") << "1.5" << 0 << "";
    QTest::newRow("empty") << ";5" << 0 << "5";
    QTest::newRow("sign only") << "-" << 0 << "";
    QTest::newRow("dollar only") << "$" << 0 << "";
}

void TestGuestFile::nextFieldInt()
{
    QFETCH(QString, line);
    QFETCH(qint32, expected);
    QFETCH(QString, rest);

    QStringView view(line);
    QCOMPARE(NextFieldInt(view, u";"), expected);
    QCOMPARE(view.toString(), rest);

    QCOMPARE(NextFieldInt(line, QStringLiteral(";")), expected);
    QCOMPARE(line, rest);
}

void TestGuestFile::nextFieldFloat_data()
{
    QTest::addColumn<QString>("regional");
    QTest::addColumn<QString>("line");
    QTest::addColumn<double>("expected");

    QTest::newRow("zero comma") << "de"
                                << "0,00" << 0.0;
    QTest::newRow("padded cost") << "de"
                                 << " 0,50;True" << 0.5;
    QTest::newRow("comma") << "de"
                           << "12,50" << 12.5;
    QTest::newRow("point under German settings") << "de"
                                                 << "12.50" << 12.5;
    QTest::newRow("comma under US settings") << "us"
                                             << "12,50" << 12.5;
    QTest::newRow("point under US settings") << "us"
                                             << "234.50" << 234.5;
    QTest::newRow("negative") << "de"
                              << "-3,25" << -3.25;
    QTest::newRow("exponent") << "de"
                              << "1e2" << 100.0;
    QTest::newRow("comma and exponent") << "de"
                                        << "2,5E-1" << 0.25;
    QTest::newRow("blank before separator") << "de"
                                            << "12,50 ;x" << 12.5;
    QTest::newRow("thousands point") << "de"
                                     << "1.234,50" << 0.0;
    QTest::newRow("second comma") << "de"
                                  << "1,234,5" << 0.0;
    QTest::newRow("inner blank") << "de"
                                 << "1 000" << 0.0;
    QTest::newRow("text") << "de"
                          << "zwölf" << 0.0;
    QTest::newRow("infinity word") << "de"
                                   << "inf" << 0.0;
    QTest::newRow("overflow") << "de"
                              << "1e999" << 0.0;
    QTest::newRow("empty") << "de"
                           << "" << 0.0;
    QTest::newRow("exponent without digits") << "de"
                                             << "1e" << 0.0;
}

void TestGuestFile::nextFieldFloat()
{
    QFETCH(QString, regional);
    QFETCH(QString, line);
    QFETCH(double, expected);

    useRegional(regional);
    QStringView view(line);
    QCOMPARE(NextFieldFloat(view, u";"), expected);
    QCOMPARE(NextFieldFloat(line, QStringLiteral(";")), expected);
}

void TestGuestFile::costReadsToTheLastBit_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("cents") << "128,50";
    QTest::newRow("one tenth") << "0,1";
    QTest::newRow("three tenths") << "0,3";
    QTest::newRow("five cents") << "45,05";
    QTest::newRow("many decimals") << "0,000000000000001";
    QTest::newRow("fifteen digits") << "123456789012,345";
    QTest::newRow("fifteen nines") << "999999999999999";
    QTest::newRow("sixteen digits") << "9999999999999999";
    QTest::newRow("seventeen digits") << "0,30000000000000004";
    QTest::newRow("leading zeros") << "000000000000000000012,5";
    QTest::newRow("plus sign") << "+12,5";
    QTest::newRow("negative") << "-0,07";
    QTest::newRow("zero") << "0,00";
    QTest::newRow("negative zero") << "-0,00";
    QTest::newRow("point") << "19.99";
    QTest::newRow("exponent") << "1,25e3";
}

// A cost reads as exactly the number that the full conversion of the C locale makes of it, to
// the last bit and with the sign of a zero, however it is read.
void TestGuestFile::costReadsToTheLastBit()
{
    QFETCH(QString, text);
    QString dotted = text;
    dotted.replace(u',', u'.');
    bool ok = false;
    const double expected = QLocale::c().toDouble(dotted, &ok);
    QVERIFY(ok);

    QString line = text;
    const double read = NextFieldFloat(line, QStringLiteral(";"));
    QCOMPARE(std::bit_cast<quint64>(read), std::bit_cast<quint64>(expected));
}

void TestGuestFile::decodeSatz_data()
{
    QTest::addColumn<QString>("regional");
    QTest::addColumn<QString>("line");
    QTest::addColumn<TGast>("expected");
    QTest::addColumn<QString>("error");

    const TGast none;
    QTest::newRow("full line") << "de" << kMuellerDe << mueller() << "";
    QTest::newRow("full line, US") << "us" << kMuellerUs << mueller() << "";
    QTest::newRow("CR LF left at the end") << "de" << kMuellerDe + "\r\n" << mueller() << "";
    QTest::newRow("without Bemerkung") << "de" << muellerLineFirst(17)
                                       << muellerWith([](TGast &g) { g.Bemerkung.clear(); }) << "";
    QTest::newRow("';' ends Bemerkung") << "de" << muellerLineWith({{17, "Hund; Katze"}})
                                        << muellerWith([](TGast &g) { g.Bemerkung = "Hund"; }) << "";
    QTest::newRow("padded text") << "de" << muellerLineWith({{1, " 13 "}})
                                 << muellerWith([](TGast &g) { g.Zimmer = "13 "; }) << "";
    QTest::newRow("malformed numbers") << "de"
                                       << muellerLineWith(
                                              {{0, "7x"}, {2, "3 "}, {9, "5O667"}, {13, "1.5"}, {14, "1.234,50"}})
                                       << muellerWith([](TGast &g) {
                                              g.GastNr = 0;
                                              g.Personen = 3; // blanks around a number are no damage
                                              g.PLZ = 0;
                                              g.ReNr = 0;
                                              g.Kosten = 1234.5; // as a person writes it
                                          })
                                       << "";
    QTest::newRow("cost beyond float") << "de" << muellerLineWith({{14, "1e300"}})
                                       << muellerWith([](TGast &g) { g.Kosten = 0; }) << "";
    QTest::newRow("Booleans true, TRUE") << "de" << muellerLineWith({{15, "true"}, {16, "TRUE"}})
                                         << muellerWith([](TGast &g) { g.Schluessel = true; }) << "";
    QTest::newRow("Booleans 0, 1") << "de" << muellerLineWith({{15, "0"}, {16, "1"}}) << muellerWith([](TGast &g) {
        g.Bezahlt = false;
        g.Schluessel = true;
    }) << "";
    QTest::newRow("Boolean false") << "de" << muellerLineWith({{15, "false"}})
                                   << muellerWith([](TGast &g) { g.Bezahlt = false; }) << "";
    QTest::newRow("Boolean ja") << "de" << muellerLineWith({{16, "ja"}}) << none
                                << "'ja' ist kein gültiger boolescher Wert";
    QTest::newRow("cut after Name") << "de" << muellerLineFirst(8) << none << "'' ist kein gültiger boolescher Wert";
    QTest::newRow("cut before Von") << "de" << muellerLineFirst(3) << none << "'' ist kein gültiges Datum";
    QTest::newRow("bad date") << "de" << muellerLineWith({{5, "31.02.2025"}}) << none
                              << "'31.02.2025' ist kein gültiges Datum";
    QTest::newRow("bad time") << "de" << muellerLineWith({{6, "25:00:00"}}) << none
                              << "'25:00:00' ist keine gültige Uhrzeit";
    // A file written in the German formats, because the regional ones did not read back.
    QTest::newRow("German date under US settings") << "us" << kMuellerDe << mueller() << "";
    QTest::newRow("US date under German settings")
        << "de" << kMuellerUs << none << "'2/20/2025' ist kein gültiges Datum";
}

void TestGuestFile::decodeSatz()
{
    QFETCH(QString, regional);
    QFETCH(QString, line);
    QFETCH(TGast, expected);
    QFETCH(QString, error);

    useRegional(regional);
    TGast before;
    before.GastNr = 99;
    before.Name = QStringLiteral("bisher");
    TGast gast = before;
    QCOMPARE(conversionError([&] { DecodeSatz(gast, line); }), error);
    // A failed line must not leave a half-filled record behind.
    QCOMPARE(gast, error.isEmpty() ? expected : before);
}

void TestGuestFile::encodeSatz_data()
{
    QTest::addColumn<QString>("regional");
    QTest::addColumn<TGast>("gast");
    QTest::addColumn<QString>("line");

    QTest::newRow("empty record") << "de" << TGast() << kZeroLine;
    QTest::newRow("full record") << "de" << mueller() << kMuellerDe;
    QTest::newRow("full record, US") << "us" << mueller() << kMuellerUs;
}

void TestGuestFile::encodeSatz()
{
    QFETCH(QString, regional);
    QFETCH(TGast, gast);
    QFETCH(QString, line);

    useRegional(regional);
    QCOMPARE(EncodeSatz(gast), line);
}

void TestGuestFile::encodeCost_data()
{
    QTest::addColumn<QString>("regional");
    QTest::addColumn<float>("cost");
    QTest::addColumn<QString>("field");

    QTest::newRow("zero padded") << "de" << 0.0f << " 0,00";
    QTest::newRow("small padded") << "de" << 0.5f << " 0,50";
    QTest::newRow("12.5") << "de" << 12.5f << "12,50";
    QTest::newRow("234.5") << "de" << 234.5f << "234,50";
    QTest::newRow("1234.5, no thousands separator") << "de" << 1234.5f << "1234,50";
    QTest::newRow("negative") << "de" << -3.25f << "-3,25";
    QTest::newRow("US point") << "us" << 12.5f << "12.50";
}

void TestGuestFile::encodeCost()
{
    QFETCH(QString, regional);
    QFETCH(float, cost);
    QFETCH(QString, field);

    useRegional(regional);
    TGast gast;
    gast.Kosten = cost;
    QCOMPARE(EncodeSatz(gast).split(u';').at(14), field);
}

void TestGuestFile::roundTrip_data()
{
    QTest::addColumn<QString>("regional");
    QTest::addColumn<TGast>("gast");

    QTest::newRow("Müller") << "de" << mueller();
    QTest::newRow("Müller, US") << "us" << mueller();
    QTest::newRow("empty") << "de" << TGast();
    const TGast edges = muellerWith([](TGast &g) {
        g.GastNr = 2147483647;
        g.Zimmer = QStringLiteral("123");
        g.Von = EncodeDate(1999, 12, 31);
        g.Anreise = TimeToFraction(QTime(23, 59, 59));
        g.Bis = EncodeDate(2100, 3, 1);
        g.Abreise = TimeToFraction(QTime(0, 0, 1));
        g.Telefon.clear();
        g.ReNr = -1;
        g.Kosten = 99.99;
        g.Bezahlt = false;
        g.Schluessel = true;
        g.Bemerkung = QStringLiteral("\"Stammgast\", zahlt 50 € bar");
    });
    QTest::newRow("edge values") << "de" << edges;
    QTest::newRow("edge values, US") << "us" << edges;
}

void TestGuestFile::roundTrip()
{
    QFETCH(QString, regional);
    QFETCH(TGast, gast);

    useRegional(regional);
    TGast back;
    DecodeSatz(back, EncodeSatz(gast));
    QCOMPARE(back, gast);
}

void TestGuestFile::separatorsInTextsKeepTheRecordInShape()
{
    const TGast gast = muellerWith([](TGast &g) {
        g.Name = QStringLiteral("Müller; Hans");
        g.Bemerkung = QStringLiteral("Hund\r\nKatze; Maus");
    });
    const QString line = EncodeSatz(gast);
    QCOMPARE(line.count(u';'), 17);
    QVERIFY(!line.contains(u'\n') && !line.contains(u'\r'));

    TGast back;
    DecodeSatz(back, line);
    QCOMPARE(back, muellerWith([](TGast &g) {
                 g.Name = QStringLiteral("Müller, Hans");
                 g.Bemerkung = QStringLiteral("Hund  Katze, Maus");
             }));
}

void TestGuestFile::fixtureReadsAndWritesBackByteForByte()
{
    const QString fixture = QStringLiteral(ZIMBRANA_TEST_DATA "/guestfile_gaeste.csv");
    const std::vector<TGast> records = ReadGuestFile(fixture);
    QCOMPARE(records.size(), std::size_t(4));
    QCOMPARE(records[0], TGast());
    QCOMPARE(records[1].Name, QStringLiteral("Müller"));
    QCOMPARE(records[1].Strasse, QStringLiteral("Hauptstraße 5"));
    QCOMPARE(records[1].Ort, QStringLiteral("Köln"));
    QCOMPARE(records[1].Von, EncodeDate(2025, 2, 20));
    QCOMPARE(records[1].Anreise, TimeToFraction(QTime(15, 0)));
    QCOMPARE(records[1].Kosten, 234.5f);
    QVERIFY(records[1].Bezahlt && records[1].Schluessel);
    QCOMPARE(records[2].Name, QStringLiteral("Weiß, Jörg"));
    QCOMPARE(records[2].Kosten, 1234.5f);
    QCOMPARE(records[2].Bemerkung, QStringLiteral("Anzahlung 50 € erhalten"));
    QCOMPARE(records[3].Bis, EncodeDate(2026, 1, 2));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString copy = dir.filePath(kGuestFileName);
    WriteGuestFile(copy, records);
    QCOMPARE(fileBytes(copy), fileBytes(fixture));
}

void TestGuestFile::decodeGuestLines_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<qint32>>("gastNrs");
    QTest::addColumn<QString>("error");

    const QString first = muellerLineWith({{0, "1"}});
    const QString second = muellerLineWith({{0, "2"}});
    QTest::newRow("blank lines skipped") << QStringList{"", kZeroLine, "   ", "\t\x1a", first, "", second, ""}
                                         << QList<qint32>{0, 1, 2} << "";
    QTest::newRow("no lines") << QStringList() << QList<qint32>{0} << "";
    QTest::newRow("only blank lines") << QStringList{"", " ", ""} << QList<qint32>{0} << "";
    QTest::newRow("bad date in line 4") << QStringList{kZeroLine, "", first, muellerLineWith({{3, "31.02.2025"}})}
                                        << QList<qint32>()
                                        << "'31.02.2025' ist kein gültiges Datum\nGaeste.csv, Zeile 4";
    QTest::newRow("short line 2") << QStringList{kZeroLine, muellerLineFirst(12), first} << QList<qint32>()
                                  << "'' ist kein gültiger boolescher Wert\nGaeste.csv, Zeile 2";
}

void TestGuestFile::decodeGuestLines()
{
    QFETCH(QStringList, lines);
    QFETCH(QList<qint32>, gastNrs);
    QFETCH(QString, error);

    std::vector<TGast> records;
    QCOMPARE(conversionError([&] { records = DecodeGuestLines(lines, QStringLiteral("Gaeste.csv")); }), error);
    QList<qint32> numbers;
    for (const TGast &g : records)
        numbers.append(g.GastNr);
    QCOMPARE(numbers, gastNrs);
    if (gastNrs == QList<qint32>{0})
        QCOMPARE(records.front(), TGast());
}

void TestGuestFile::badLineInFileLeavesCallerUntouched()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(kGuestFileName);
    const QStringList lines = {kZeroLine, QString(), muellerLineWith({{15, "vielleicht"}}), kMuellerDe};
    QVERIFY(writeBytes(path, platform::ToAnsi(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))));

    std::vector<TGast> list = {TGast(), mueller()};
    const std::vector<TGast> before = list;
    const QString message = conversionError([&] { list = ReadGuestFile(path); });
    QCOMPARE(message, QStringLiteral("'vielleicht' ist kein gültiger boolescher Wert\nGaeste.csv, Zeile 3"));
    QVERIFY(list == before);
}

void TestGuestFile::missingFileIsAnIoError()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(kGuestFileName);
    try {
        ReadGuestFile(path);
        QFAIL("a missing file was read");
    } catch (const platform::EInOutError &e) {
        QCOMPARE(e.code(), int(platform::kFileNotFound));
        QCOMPARE(e.path(), path);
    }
}

void TestGuestFile::writePermissions_data()
{
    QTest::addColumn<int>("existingMode"); // 0: no file yet
    QTest::addColumn<int>("expectedMode");

    QTest::newRow("new file is private") << 0 << 0600;
    QTest::newRow("existing 0640 stays") << 0640 << 0640;
    QTest::newRow("existing 0644 stays") << 0644 << 0644;
}

void TestGuestFile::writePermissions()
{
#ifndef Q_OS_UNIX
    QSKIP("Permission bits are a Unix matter");
#endif
    QFETCH(int, existingMode);
    QFETCH(int, expectedMode);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(kGuestFileName);
    if (existingMode != 0) {
        QVERIFY(writeBytes(path, "alt\r\n"));
        QVERIFY(QFile::setPermissions(path, permissionsOf(existingMode)));
        QCOMPARE(modeOf(path), existingMode);
    }
    WriteGuestFile(path, {TGast(), mueller()});
    QCOMPARE(modeOf(path), expectedMode);
    QCOMPARE(fileBytes(path), platform::ToAnsi(kZeroLine + "\r\n" + kMuellerDe + "\r\n"));
}

void TestGuestFile::writeIntoImpossibleFolder_data()
{
    QTest::addColumn<QString>("folder");

    QTest::newRow("missing folder") << "fehlt";
    QTest::newRow("folder is a file") << "datei";
}

void TestGuestFile::writeIntoImpossibleFolder()
{
    QFETCH(QString, folder);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("datei")), "x"));
    const QString path = dir.filePath(folder + u'/' + kGuestFileName);
    bool failed = false;
    try {
        WriteGuestFile(path, {TGast(), mueller()});
    } catch (const platform::EInOutError &e) {
        failed = true;
        QCOMPARE(e.path(), path);
    }
    QVERIFY(failed);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"datei"});
    QCOMPARE(fileBytes(dir.filePath(QStringLiteral("datei"))), QByteArray("x"));
}

void TestGuestFile::failedWriteKeepsOldFile()
{
#ifndef Q_OS_UNIX
    QSKIP("Needs a file size limit to make the write fail");
#else
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(kGuestFileName);
    WriteGuestFile(path, {TGast(), mueller()});
    const QByteArray old = fileBytes(path);

    // Tests run as root, whom permissions do not stop; a file size limit below the new
    // content stops every user. The limit holds only around the write, with nothing logged.
    int code = 0;
    bool failed = false;
    {
        const testsupport::DiskFull full(100);
        QVERIFY(full.ok());
        try {
            WriteGuestFile(path, {TGast(), mueller(), mueller(), mueller()});
        } catch (const platform::EInOutError &e) {
            failed = true;
            code = e.code();
        }
    }

    QVERIFY(failed);
    QCOMPARE(code, int(platform::kDiskFull));
    QCOMPARE(fileBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QString::fromLatin1(kGuestFileName)});
#endif
}

void TestGuestFile::writeToDevice_data()
{
    QTest::addColumn<qint64>("capacity");
    QTest::addColumn<bool>("ok");

    QTest::newRow("fails inside the first line") << qint64(20) << false;
    QTest::newRow("fails inside the second line") << qint64(100) << false;
    QTest::newRow("room enough") << qint64(100000) << true;
}

void TestGuestFile::writeToDevice()
{
    QFETCH(qint64, capacity);
    QFETCH(bool, ok);

    const std::vector<TGast> records = {TGast(), mueller()};
    const QByteArray all = platform::ToAnsi(kZeroLine + "\r\n" + kMuellerDe + "\r\n");
    testsupport::FailingDevice device(capacity);
    QVERIFY(device.open(QIODevice::WriteOnly));
    QCOMPARE(WriteGuestFile(device, records), ok);
    QCOMPARE(device.written, all.first(std::min<qint64>(capacity, all.size())));
}

void TestGuestFile::charactersOutsideTheCodePageBecomeQuestionMarks()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(kGuestFileName);
    const TGast gast = muellerWith([](TGast &g) {
        g.Ort = QStringLiteral("Łódź");
        g.Bemerkung = QStringLiteral("50 € für Ödön Győri");
    });
    WriteGuestFile(path, {TGast(), gast});

    const QByteArray bytes = fileBytes(path);
    QVERIFY(bytes.contains(";?\xf3"
                           "d?;"));
    QVERIFY(bytes.contains(";50 \x80 f\xfcr \xd6"
                           "d\xf6n Gy?ri\r\n"));
    const std::vector<TGast> back = ReadGuestFile(path);
    QCOMPARE(back.size(), std::size_t(2));
    QCOMPARE(back[1], muellerWith([](TGast &g) {
                 g.Ort = QStringLiteral("?ód?");
                 g.Bemerkung = QStringLiteral("50 € für Ödön Gy?ri");
             }));
}

void TestGuestFile::dataFolder_data()
{
    QTest::addColumn<QString>("chosenFile");
    QTest::addColumn<QString>("folder");

    QTest::newRow("other name") << "/x/y/other.DAT"
                                << "/x/y/";
    QTest::newRow("same name") << "/x/y/Gaeste.csv"
                               << "/x/y/";
    QTest::newRow("folder with dots and blanks") << "/home/wirt/Meine Daten.2025/g.csv"
                                                 << "/home/wirt/Meine Daten.2025/";
    QTest::newRow("relative") << "sub/dir/a.csv"
                              << "sub/dir/";
    QTest::newRow("bare name") << "a.csv"
                               << "";
}

void TestGuestFile::dataFolder()
{
    QFETCH(QString, chosenFile);
    QFETCH(QString, folder);

    DataFolder data;
    data.chooseFromFile(chosenFile);
    QVERIFY(data.chosen());
    QCOMPARE(data.folder(), folder);
    QCOMPARE(data.pathOf(kGuestFileName), folder + QString::fromLatin1(kGuestFileName));
}

void TestGuestFile::dataFolderUnchosen()
{
    DataFolder data;
    QVERIFY(!data.chosen());
    QCOMPARE(data.pathOf(kGuestFileName), QStringLiteral("Gaeste.csv"));
    // A file read by this name from the current directory is the one the program means.
    QCOMPARE(QFileInfo(data.pathOf(kGuestFileName)).absoluteFilePath(), QDir::current().filePath("Gaeste.csv"));
}

void TestGuestFile::settingsFolder()
{
    QStandardPaths::setTestModeEnabled(true);
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString expected = base + QStringLiteral("/Kestrumbel/test_guestfile/");
    QDir(expected).removeRecursively();

    const QString folder = MakeSettingsFolder();
    QDir made(folder);
    const bool empty = made.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    const bool exists = made.exists();
    // Made a second time, the folder is simply found.
    const QString again = MakeSettingsFolder();
    made.removeRecursively();
    QStandardPaths::setTestModeEnabled(false);

    QCOMPARE(folder, expected);
    QVERIFY(exists);
    QVERIFY(empty);
    QCOMPARE(again, expected);
}

QTEST_GUILESS_MAIN(TestGuestFile)
#include "test_guestfile.moc"
