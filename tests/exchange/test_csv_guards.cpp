// What the CSV exports must not do: run a guest's text as a spreadsheet formula, or turn a
// character the code page lacks into "?".

#include "exchange/Csv.h"
#include "exchange/CsvExport.h"
#include "platform/Regional.h"

#include <QTest>

class TestCsvGuards : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }
    void guestListGuardsFormulas_data();
    void guestListGuardsFormulas();
    void invoiceListKeepsEveryCharacter_data();
    void invoiceListKeepsEveryCharacter();
};

void TestCsvGuards::guestListGuardsFormulas_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written");
    QTest::newRow("leading TAB") << QStringLiteral("\t=1+2") << QStringLiteral("'\t=1+2");
    QTest::newRow("leading CR") << QStringLiteral("\r=1+2") << QStringLiteral("\"'\r=1+2\"");
    QTest::newRow("equals") << QStringLiteral("=1+2") << QStringLiteral("'=1+2");
    QTest::newRow("TAB inside stays") << QStringLiteral("a\tb") << QStringLiteral("a\tb");
    QTest::newRow("plain name") << QStringLiteral("Jürgen Weiß") << QStringLiteral("Jürgen Weiß");
}

void TestCsvGuards::guestListGuardsFormulas()
{
    QFETCH(QString, text);
    QFETCH(QString, written);
    QCOMPARE(CsvFeld(text, true), written);

    // The whole export: the guarded field as it stands in the file.
    TGast gast;
    gast.Name = text;
    const QByteArray bytes = GaesteAlsCsv({TGast(), gast}, {1});
    QVERIFY2(bytes.contains((u';' + written + u';').toUtf8()), bytes.constData());
}

void TestCsvGuards::invoiceListKeepsEveryCharacter_data()
{
    QTest::addColumn<QString>("gast");
    QTest::addColumn<QByteArray>("bytes");
    // What fits the code page stays in it, as the tax adviser's programs know it.
    QTest::newRow("fits the code page") << QStringLiteral("Weiß") << QByteArray("1042;Wei\xDF\r\n");
    QTest::newRow("Turkish G with breve") << QStringLiteral("Ğül Yılmaz")
                                          << QByteArray("\xEF\xBB\xBF"
                                                        "1042;") +
                                                 QStringLiteral("Ğül Yılmaz").toUtf8() + "\r\n";
    QTest::newRow("Polish") << QStringLiteral("Łódź")
                            << QByteArray("\xEF\xBB\xBF"
                                          "1042;") +
                                   QStringLiteral("Łódź").toUtf8() + "\r\n";
}

void TestCsvGuards::invoiceListKeepsEveryCharacter()
{
    QFETCH(QString, gast);
    QFETCH(QByteArray, bytes);
    const QByteArray written = exchange::CsvDatei({{QStringLiteral("1042"), gast}});
    QCOMPARE(written, bytes);
    QVERIFY(!written.contains('?'));
}

QTEST_MAIN(TestCsvGuards)
#include "test_csv_guards.moc"
