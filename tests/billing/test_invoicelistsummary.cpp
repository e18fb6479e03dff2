// The summary line of the invoice list: invoices, gaps and missing copies counted from the lines
// the overview gives, so a gap or a number held twice is counted as the host reads the table.

#include "billing/InvoiceArchive.h"

#include <QTest>

using billing::InvoiceListSummary;
using billing::invoiceListSummaryText;
using billing::RechnungsZeile;
using billing::summarizeInvoiceList;

namespace {

// "42" an invoice with its copy, "42-" one whose copy is missing, "43..45" a gap.
std::vector<RechnungsZeile> Rows(const QStringList &codes)
{
    std::vector<RechnungsZeile> rows;
    for (const QString &code : codes) {
        RechnungsZeile row;
        if (code.contains(QStringLiteral(".."))) {
            row.luecke = true;
            row.nr = code.section(QStringLiteral(".."), 0, 0).toInt();
            row.bis = code.section(QStringLiteral(".."), 1, 1).toInt();
        } else {
            row.nr = row.bis = QString(code).remove(u'-').toInt();
            if (!code.endsWith(u'-'))
                row.kopie = QStringLiteral("Rechnungen/Rechnung %1.pdf").arg(row.nr);
        }
        rows.push_back(row);
    }
    return rows;
}

} // namespace

class TestInvoiceListSummary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void counts_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("invoices");
        QTest::addColumn<int>("gaps");
        QTest::addColumn<int>("withoutCopy");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QStringList{} << 0 << 0 << 0 << "0 Rechnungen, 0 Lücken, 0 ohne Kopie";
        QTest::newRow("one kept") << QStringList{"41"} << 1 << 0 << 0 << "1 Rechnung, 0 Lücken, 0 ohne Kopie";
        QTest::newRow("copy missing") << QStringList{"41", "42-"} << 2 << 0 << 1
                                      << "2 Rechnungen, 0 Lücken, 1 ohne Kopie";
        // A run of missing numbers is one gap, and a gap has no copy to miss.
        QTest::newRow("one gap of three")
            << QStringList{"40", "41..43", "44"} << 2 << 1 << 0 << "2 Rechnungen, 1 Lücke, 0 ohne Kopie";
        QTest::newRow("two gaps") << QStringList{"40..40", "41-", "42..45", "46"} << 2 << 2 << 1
                                  << "2 Rechnungen, 2 Lücken, 1 ohne Kopie";
        // A number two records hold gives two lines, and the host sees two invoices.
        QTest::newRow("number twice") << QStringList{"42", "42-"} << 2 << 0 << 1
                                      << "2 Rechnungen, 0 Lücken, 1 ohne Kopie";
    }
    void counts()
    {
        QFETCH(QStringList, rows);
        QFETCH(int, invoices);
        QFETCH(int, gaps);
        QFETCH(int, withoutCopy);
        QFETCH(QString, text);
        const InvoiceListSummary summary = summarizeInvoiceList(Rows(rows));
        QCOMPARE(summary.invoices, invoices);
        QCOMPARE(summary.gaps, gaps);
        QCOMPARE(summary.withoutCopy, withoutCopy);
        QCOMPARE(invoiceListSummaryText(summary), text);
    }
};

QTEST_GUILESS_MAIN(TestInvoiceListSummary)
#include "test_invoicelistsummary.moc"
