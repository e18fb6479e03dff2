// The one CSV writer: fields, quoting, the formula guard, code pages and line ends, as every
// export (guest list, figures, invoice list) writes them.

#include "exchange/Csv.h"
#include "exchange/GuestListCsv.h"
#include "platform/CsvField.h"
#include "platform/Regional.h"

#include <QTest>

using guests::TGast;

class TestCsv : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }
    void field_data();
    void field();
    void codePage_data();
    void codePage();
};

void TestCsv::field_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written");
    QTest::newRow("plain") << QStringLiteral("Jürgen Weiß") << QStringLiteral("Jürgen Weiß");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("separator") << QStringLiteral("spät; nach 22 Uhr") << QStringLiteral("\"spät; nach 22 Uhr\"");
    QTest::newRow("quote") << QStringLiteral("Gasthof \"Linde\"") << QStringLiteral("\"Gasthof \"\"Linde\"\"\"");
    QTest::newRow("line break") << QStringLiteral("Zeile 1\nZeile 2") << QStringLiteral("\"Zeile 1\nZeile 2\"");
    QTest::newRow("blank before") << QStringLiteral(" Weg 1") << QStringLiteral("\" Weg 1\"");
    QTest::newRow("blank after") << QStringLiteral("Weg 1 ") << QStringLiteral("\"Weg 1 \"");
    QTest::newRow("TAB inside stays") << QStringLiteral("a\tb") << QStringLiteral("a\tb");
    QTest::newRow("range of numbers") << QStringLiteral("1043 bis 1045") << QStringLiteral("1043 bis 1045");
    // What a spreadsheet would run as a formula.
    QTest::newRow("equals") << QStringLiteral("=1+2") << QStringLiteral("'=1+2");
    QTest::newRow("formula with quotes") << QStringLiteral("=HYPERLINK(\"x\")")
                                         << QStringLiteral("\"'=HYPERLINK(\"\"x\"\")\"");
    QTest::newRow("plus formula") << QStringLiteral("+1+2") << QStringLiteral("'+1+2");
    QTest::newRow("telephone with plus") << QStringLiteral("+49 561 1234") << QStringLiteral("'+49 561 1234");
    QTest::newRow("minus formula") << QStringLiteral("-1+A1") << QStringLiteral("'-1+A1");
    QTest::newRow("minus cell") << QStringLiteral("-A1") << QStringLiteral("'-A1");
    QTest::newRow("minus alone") << QStringLiteral("-") << QStringLiteral("'-");
    QTest::newRow("at") << QStringLiteral("@SUM(A1)") << QStringLiteral("'@SUM(A1)");
    QTest::newRow("leading TAB") << QStringLiteral("\t=1+2") << QStringLiteral("'\t=1+2");
    QTest::newRow("leading CR") << QStringLiteral("\r=1+2") << QStringLiteral("\"'\r=1+2\"");
    // A text that starts like a guarded one gets its own guard, so reading drops exactly one "'".
    QTest::newRow("apostrophe before equals") << QStringLiteral("'=1") << QStringLiteral("''=1");
    QTest::newRow("apostrophe before minus") << QStringLiteral("'-A1") << QStringLiteral("''-A1");
    QTest::newRow("two apostrophes before at") << QStringLiteral("''@x") << QStringLiteral("'''@x");
    QTest::newRow("apostrophe alone") << QStringLiteral("'") << QStringLiteral("'");
    QTest::newRow("apostrophe before letter") << QStringLiteral("'s Hüttle") << QStringLiteral("'s Hüttle");
    // A plain number with a sign is a number, whoever wrote it: it stays as it is.
    QTest::newRow("negative amount") << QStringLiteral("-12,50") << QStringLiteral("-12,50");
    QTest::newRow("minus one") << QStringLiteral("-1") << QStringLiteral("-1");
    QTest::newRow("plus three") << QStringLiteral("+3") << QStringLiteral("+3");
    QTest::newRow("negative thousands") << QStringLiteral("-1.280,00") << QStringLiteral("-1.280,00");
}

void TestCsv::field()
{
    QFETCH(QString, text);
    QFETCH(QString, written);
    QCOMPARE(exchange::csvField(text), written);
    // Reading the field (without its quotes) gives the text back.
    QString unquoted = written;
    if (unquoted.startsWith(u'"'))
        unquoted = unquoted.mid(1, unquoted.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
    QCOMPARE(platform::csvUnguarded(unquoted), text);

    // The same field in each export: as a guest's name in the guest list, and as a cell of a table
    // in either code page (the figures, the invoice list).
    TGast gast;
    gast.Name = text;
    const QByteArray guests = exchange::guestListCsv({TGast(), gast}, {1});
    QVERIFY2(guests.contains((u';' + written + u';').toUtf8()), guests.constData());
    const QList<QStringList> table{{QStringLiteral("1042"), text}};
    QCOMPARE(exchange::csvFile(table, exchange::CsvCodePage::Utf8WithBom),
             QByteArray("\xEF\xBB\xBF") + (QStringLiteral("1042;") + written + QStringLiteral("\r\n")).toUtf8());
    QVERIFY(exchange::csvFile(table, exchange::CsvCodePage::AnsiUnlessLacking)
                .endsWith(QStringLiteral(";%1\r\n").arg(written).toLatin1()));
}

void TestCsv::codePage_data()
{
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QByteArray>("bytes");
    const int ansi = int(exchange::CsvCodePage::AnsiUnlessLacking);
    const int utf8 = int(exchange::CsvCodePage::Utf8WithBom);
    const QByteArray bom("\xEF\xBB\xBF");
    const QList<QStringList> weiss{{QStringLiteral("Nummer"), QStringLiteral("Gast")},
                                   {QStringLiteral("1042"), QStringLiteral("Weiß")}};
    // What fits the code page stays in it, as the tax adviser's programs know it.
    QTest::newRow("ANSI with CR LF") << ansi << weiss << QByteArray("Nummer;Gast\r\n1042;Wei\xDF\r\n");
    QTest::newRow("ANSI, one row") << ansi << QList<QStringList>{{QStringLiteral("1042"), QStringLiteral("Weiß")}}
                                   << QByteArray("1042;Wei\xDF\r\n");
    // A character the code page lacks makes the whole file UTF-8, so nothing becomes "?".
    QTest::newRow("Turkish G with breve")
        << ansi << QList<QStringList>{{QStringLiteral("1042"), QStringLiteral("Ğül Yılmaz")}}
        << bom + QStringLiteral("1042;Ğül Yılmaz\r\n").toUtf8();
    QTest::newRow("Polish") << ansi << QList<QStringList>{{QStringLiteral("1042"), QStringLiteral("Łódź")}}
                            << bom + QStringLiteral("1042;Łódź\r\n").toUtf8();
    QTest::newRow("UTF-8 always") << utf8 << weiss << bom + QStringLiteral("Nummer;Gast\r\n1042;Weiß\r\n").toUtf8();
    QTest::newRow("no rows, ANSI") << ansi << QList<QStringList>{} << QByteArray();
    QTest::newRow("no rows, UTF-8") << utf8 << QList<QStringList>{} << QByteArray();
}

void TestCsv::codePage()
{
    QFETCH(int, codePage);
    QFETCH(QList<QStringList>, rows);
    QFETCH(QByteArray, bytes);
    const QByteArray written = exchange::csvFile(rows, exchange::CsvCodePage(codePage));
    QCOMPARE(written, bytes);
    QVERIFY(!written.contains('?'));
}

QTEST_MAIN(TestCsv)
#include "test_csv.moc"
