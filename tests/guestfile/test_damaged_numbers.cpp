// Numbers in the guest file as a person writes them, what is still unreadable listed with its line,
// field and text, and the question before a save would write it as 0; costs held to the cent.

#include "guestfile/GuestFile.h"
#include "guestfile/GuestFileSession.h"
#include "guestfile/GuestRecord.h"
#include "platform/AnsiText.h"
#include "platform/Convert.h"
#include "platform/Fields.h"
#include "platform/Regional.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using guestfile::DamagedField;
using guestfile::DamagedFieldsMessage;
using guestfile::DamagedFieldsQuestion;
using guestfile::DecodeGuestFile;
using guestfile::DecodeSatz;
using guestfile::EncodeSatz;
using guestfile::GuestFileBytes;
using guestfile::GuestFileSession;
using guestfile::kTextAfterLastField;
using guestfile::ReadGuestFile;
using guestfile::UnreadableField;
using guests::TGast;

Q_DECLARE_METATYPE(std::vector<UnreadableField>)

using platform::ReadWrittenAmount;
using platform::ReadWrittenInt;

namespace {

const QString kLine = QStringLiteral("7;13;3;20.02.2025;15:00:00;23.02.2025;10:30:00;Müller;Hauptstraße 5;50667;"
                                     "Köln;0221 123456;mueller@example.de;1040;128,00;True;False;Frühstück");

// The line with field `index` (0-based) replaced.
QString lineWith(int index, const QString &text)
{
    QStringList fields = kLine.split(u';');
    fields[index] = text;
    return fields.join(u';');
}

QByteArray fileOf(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += platform::ToAnsi(line) + "\r\n";
    return bytes;
}

} // namespace

class TestDamagedNumbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }

    void writtenAmount_data();
    void writtenAmount();
    void writtenInt_data();
    void writtenInt();
    void unreadableFieldsOfALine_data();
    void unreadableFieldsOfALine();
    void fileListsLineFieldAndText();
    void questionNamesOnlyWhatIsStillZero();
    void sessionAsksUntilSaved();
    void costsHeldToTheCent_data();
    void costsHeldToTheCent();
};

void TestDamagedNumbers::writtenAmount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<double>("value");

    QTest::newRow("file's own") << "128,00" << true << 128.0;
    QTest::newRow("point") << "19.99" << true << 19.99;
    QTest::newRow("thousands point and comma") << "1.280,00" << true << 1280.0;
    QTest::newRow("English grouping") << "1,280.00" << true << 1280.0;
    QTest::newRow("thousands point alone") << "1.280" << true << 1280.0;
    QTest::newRow("millions") << "1.234.567,89" << true << 1234567.89;
    QTest::newRow("euro sign") << "128,00 €" << true << 128.0;
    QTest::newRow("euro sign, no blank") << "128,00€" << true << 128.0;
    QTest::newRow("EUR before") << "EUR 45,50" << true << 45.5;
    QTest::newRow("blanks around") << " 1040 " << true << 1040.0;
    QTest::newRow("blank groups") << "1 280,50" << true << 1280.5;
    QTest::newRow("no-break blank groups") << QStringLiteral("1\u00A0280,50") << true << 1280.5;
    QTest::newRow("Swiss apostrophe") << "1'280.50" << true << 1280.5;
    QTest::newRow("negative") << "-45,00" << true << -45.0;
    QTest::newRow("leading zero point") << "0.125" << true << 0.125;
    QTest::newRow("decimal comma, three places") << "1,280" << true << 1.28;
    QTest::newRow("only cents") << ",50" << true << 0.5;
    QTest::newRow("fifteen digits") << "9999999999999,99" << true << 9999999999999.99;
    QTest::newRow("letter O") << "1O40" << false << 0.0;
    QTest::newRow("nan") << "nan" << false << 0.0;
    QTest::newRow("inf") << "inf" << false << 0.0;
    QTest::newRow("exponent") << "1e39" << false << 0.0;
    QTest::newRow("sixteen digits") << "99999999999999,99" << false << 0.0;
    QTest::newRow("bad groups") << "12.34.56" << false << 0.0;
    QTest::newRow("two commas") << "1,234,5" << false << 0.0;
    QTest::newRow("two decimal points") << "1.234.5,00" << false << 0.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
    QTest::newRow("euro only") << "€" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
}

void TestDamagedNumbers::writtenAmount()
{
    QFETCH(QString, text);
    QFETCH(bool, readable);
    QFETCH(double, value);

    double read = -7;
    QCOMPARE(ReadWrittenAmount(text, read), readable);
    QCOMPARE(read, readable ? value : -7.0);
}

void TestDamagedNumbers::writtenInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<qint32>("value");

    QTest::newRow("plain") << "1040" << true << 1040;
    QTest::newRow("trailing blank") << "1040 " << true << 1040;
    QTest::newRow("blanks around") << "  1040\t" << true << 1040;
    QTest::newRow("thousands point") << "1.040" << true << 1040;
    QTest::newRow("thousands blank") << "12 345" << true << 12345;
    QTest::newRow("postal code with leading zero") << "01067" << true << 1067;
    QTest::newRow("negative") << "-1" << true << -1;
    QTest::newRow("hexadecimal as before") << "$1F" << true << 31;
    QTest::newRow("letter O") << "1O40" << false << 0;
    QTest::newRow("country before postal code") << "D-01067" << false << 0;
    QTest::newRow("decimal") << "1.5" << false << 0;
    QTest::newRow("beyond 32 bits") << "2.147.483.648" << false << 0;
    QTest::newRow("bad group") << "1.04" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
}

void TestDamagedNumbers::writtenInt()
{
    QFETCH(QString, text);
    QFETCH(bool, readable);
    QFETCH(qint32, value);

    qint32 read = -7;
    QCOMPARE(ReadWrittenInt(text, read), readable);
    QCOMPARE(read, readable ? value : -7);
}

void TestDamagedNumbers::unreadableFieldsOfALine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<std::vector<UnreadableField>>("unreadable");

    using List = std::vector<UnreadableField>;
    QTest::newRow("a sound line") << kLine << List{};
    QTest::newRow("forms a person writes") << lineWith(13, "1040 ").replace("128,00", "1.280,00 €") << List{};
    QTest::newRow("empty numbers are no damage") << lineWith(9, "") << List{};
    QTest::newRow("invoice number") << lineWith(13, "1O40") << List{{14, "1O40"}};
    QTest::newRow("postal code") << lineWith(9, "D-01067") << List{{10, "D-01067"}};
    QTest::newRow("cost nan") << lineWith(14, "nan") << List{{15, "nan"}};
    QTest::newRow("cost 1e39") << lineWith(14, "1e39") << List{{15, "1e39"}};
    QTest::newRow("guest number and persons")
        << lineWith(0, "7x").replace(";13;3;", ";13;drei;") << List{{1, "7x"}, {3, "drei"}};
    QTest::newRow("remark after a ';'") << kLine + QStringLiteral("; Hund an der Leine")
                                        << List{{kTextAfterLastField, " Hund an der Leine"}};
    QTest::newRow("fields beyond the 18th") << kLine + QStringLiteral(";x;y") << List{{kTextAfterLastField, "x;y"}};
}

void TestDamagedNumbers::unreadableFieldsOfALine()
{
    QFETCH(QString, line);
    QFETCH(std::vector<UnreadableField>, unreadable);

    TGast gast;
    std::vector<UnreadableField> found;
    DecodeSatz(gast, line, &found);
    QCOMPARE(found.size(), unreadable.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        QCOMPARE(found[i].field, unreadable[i].field);
        QCOMPARE(found[i].text, unreadable[i].text);
    }
    // The same line read from a whole file, the quick way where it can: the same fields.
    std::vector<DamagedField> damaged;
    const std::vector<TGast> records = DecodeGuestFile(fileOf({kLine, line}), QStringLiteral("Gaeste.csv"), &damaged);
    QCOMPARE(records.size(), std::size_t(2));
    QCOMPARE(records[1], gast);
    QCOMPARE(damaged.size(), unreadable.size());
    for (const DamagedField &d : damaged) {
        QCOMPARE(d.line, qsizetype(2));
        QCOMPARE(d.record, std::size_t(1));
    }
}

void TestDamagedNumbers::fileListsLineFieldAndText()
{
    const QByteArray bytes = fileOf({kLine, QString(), lineWith(13, "1O40"), kLine, lineWith(14, "nan")});
    std::vector<DamagedField> damaged;
    const std::vector<TGast> records = DecodeGuestFile(bytes, QStringLiteral("Gaeste.csv"), &damaged);
    QCOMPARE(records.size(), std::size_t(4)); // the blank line holds no record
    QCOMPARE(damaged.size(), std::size_t(2));
    QCOMPARE(damaged[0], (DamagedField{3, 1, {14, "1O40"}}));
    QCOMPARE(damaged[1], (DamagedField{5, 3, {15, "nan"}}));
    QCOMPARE(records[1].ReNr, 0);
    QCOMPARE(records[3].Kosten, 0.0);

    const QString message = DamagedFieldsMessage(damaged, QStringLiteral("Gaeste.csv"));
    QVERIFY2(message.contains(QStringLiteral("Zeile 3, Rechnung Nr.: „1O40“")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("Zeile 5, Kosten: „nan“")), qPrintable(message));
    QVERIFY(DamagedFieldsMessage({}, QStringLiteral("Gaeste.csv")).isEmpty());
}

void TestDamagedNumbers::questionNamesOnlyWhatIsStillZero()
{
    const QByteArray bytes =
        fileOf({kLine, lineWith(13, "1O40"), lineWith(9, "D-01067"), kLine + QStringLiteral(";überzählig")});
    std::vector<DamagedField> damaged;
    std::vector<TGast> records = DecodeGuestFile(bytes, QStringLiteral("Gaeste.csv"), &damaged);
    QCOMPARE(damaged.size(), std::size_t(3));

    QString question = DamagedFieldsQuestion(damaged, records, QStringLiteral("Gaeste.csv"));
    QVERIFY2(question.contains(QStringLiteral("Zeile 2, Rechnung Nr.: „1O40“")), qPrintable(question));
    QVERIFY2(question.contains(QStringLiteral("Zeile 3, PLZ: „D-01067“")), qPrintable(question));
    QVERIFY2(question.contains(QStringLiteral("Zeile 4, nach dem 18. Feld: „überzählig“")), qPrintable(question));
    QVERIFY(question.contains(QStringLiteral("als 0")));

    // The host typed the invoice number into the form: it is no longer named.
    records[1].ReNr = 1040;
    question = DamagedFieldsQuestion(damaged, records, QStringLiteral("Gaeste.csv"));
    QVERIFY(!question.contains(QStringLiteral("1O40")));
    QVERIFY(question.contains(QStringLiteral("D-01067")));

    records[2].PLZ = 1067;
    records.pop_back();
    QCOMPARE(DamagedFieldsQuestion(damaged, records, QStringLiteral("Gaeste.csv")), QString());
}

void TestDamagedNumbers::sessionAsksUntilSaved()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Gaeste.csv"));
    platform::SaveFileAtomic(path, fileOf({kLine, lineWith(13, "1040 "), lineWith(14, "128,00 €x")}));

    GuestFileSession session;
    const std::vector<TGast> records = session.read(path);
    QCOMPARE(records[1].ReNr, 1040);
    QCOMPARE(session.damaged().size(), std::size_t(1));
    QVERIFY(session.messageAboutDamaged().contains(QStringLiteral("Zeile 3, Kosten: „128,00 €x“")));
    QVERIFY(session.questionAboutDamaged(records).contains(QStringLiteral("128,00 €x")));

    session.write(path, records);
    QVERIFY(session.damaged().empty());
    QCOMPARE(session.questionAboutDamaged(records), QString());
    // Only the damaged field became 0; the one written with a blank kept its number.
    const std::vector<TGast> again = ReadGuestFile(path);
    QCOMPARE(again[1].ReNr, 1040);
    QCOMPARE(again[2].Kosten, 0.0);
}

void TestDamagedNumbers::costsHeldToTheCent_data()
{
    QTest::addColumn<QString>("regional");
    QTest::addColumn<double>("cost");
    QTest::addColumn<QString>("field");

    for (const char *regional : {"de", "us"}) {
        const bool de = QByteArray(regional) == "de";
        const auto f = [de](QString text) { return de ? text : text.replace(u',', u'.'); };
        QTest::addRow("%s 1.234.567,89", regional) << regional << 1234567.89 << f("1234567,89");
        QTest::addRow("%s 99.999.999,99", regional) << regional << 99999999.99 << f("99999999,99");
        QTest::addRow("%s 0,01", regional) << regional << 0.01 << f(" 0,01");
        QTest::addRow("%s 167.772,17", regional) << regional << 167772.17 << f("167772,17");
        QTest::addRow("%s -45,10", regional) << regional << -45.10 << f("-45,10");
    }
}

// Saved and read again, a cost is the very same number, written with its two decimals.
void TestDamagedNumbers::costsHeldToTheCent()
{
    QFETCH(QString, regional);
    QFETCH(double, cost);
    QFETCH(QString, field);

    platform::SetRegional(regional == u"us" ? QLocale(QLocale::English, QLocale::UnitedStates)
                                            : QLocale(QLocale::German, QLocale::Germany));
    TGast gast;
    gast.Kosten = cost;
    const QByteArray bytes = GuestFileBytes({TGast(), gast});
    QCOMPARE(EncodeSatz(gast).split(u';').at(14), field);
    QVERIFY2(bytes.contains(";" + field.toLatin1() + ";"), bytes.constData());
    const std::vector<TGast> back = DecodeGuestFile(bytes, QStringLiteral("Gaeste.csv"));
    QCOMPARE(back.at(1).Kosten, cost);
    TGast general;
    DecodeSatz(general, EncodeSatz(gast));
    QCOMPARE(general.Kosten, cost);
    platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
}

QTEST_MAIN(TestDamagedNumbers)
#include "test_damaged_numbers.moc"
