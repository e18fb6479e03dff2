// CSV files for spreadsheets: fields, quoting, formula guard, code page and line ends.

#include "exchange/Csv.h"
#include "platform/Regional.h"

#include <QtTest>

class TestCsvTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void field_data();
    void field();
    void fileIsAnsiWithCrLf();
};

void TestCsvTable::field_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written");
    QTest::newRow("plain") << QStringLiteral("Jürgen Weiß") << QStringLiteral("Jürgen Weiß");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("separator") << QStringLiteral("A;B") << QStringLiteral("\"A;B\"");
    QTest::newRow("quote") << QStringLiteral("Gasthof \"Linde\"") << QStringLiteral("\"Gasthof \"\"Linde\"\"\"");
    QTest::newRow("line break") << QStringLiteral("a\nb") << QStringLiteral("\"a\nb\"");
    QTest::newRow("formula") << QStringLiteral("=HYPERLINK(\"x\")") << QStringLiteral("\"'=HYPERLINK(\"\"x\"\")\"");
    QTest::newRow("plus formula") << QStringLiteral("+1+2") << QStringLiteral("'+1+2");
    QTest::newRow("at") << QStringLiteral("@SUM(A1)") << QStringLiteral("'@SUM(A1)");
    QTest::newRow("negative amount stays a number") << QStringLiteral("-12,50") << QStringLiteral("-12,50");
    QTest::newRow("range of numbers") << QStringLiteral("1043 bis 1045") << QStringLiteral("1043 bis 1045");
}

void TestCsvTable::field()
{
    QFETCH(QString, text);
    QFETCH(QString, written);
    QCOMPARE(exchange::CsvFeld(text), written);
}

void TestCsvTable::fileIsAnsiWithCrLf()
{
    const QByteArray bytes = exchange::CsvDatei(
        {{QStringLiteral("Nummer"), QStringLiteral("Gast")}, {QStringLiteral("1042"), QStringLiteral("Weiß")}});
    QCOMPARE(bytes, QByteArray("Nummer;Gast\r\n1042;Wei\xDF\r\n"));
    QCOMPARE(exchange::CsvDatei({}), QByteArray());
}

QTEST_MAIN(TestCsvTable)
#include "test_csvtable.moc"
