// The counts under the invoice list: gaps count their numbers, cancellations and changed copies
// are named only where there are any, and an unused number is no invoice.

#include "billing/JournalOverview.h"

#include <QtTest>

using billing::OverviewRow;
using Kind = billing::OverviewRow::Kind;

namespace {

OverviewRow row(Kind kind, qint32 nr, qint32 until, const QString &copy = QString(), bool changed = false)
{
    OverviewRow r;
    r.kind = kind;
    r.nr = nr;
    r.until = until;
    r.copy = copy;
    r.changed = changed;
    return r;
}

} // namespace

class TestOverviewSummary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void summary_data();
    void summary();
};

void TestOverviewSummary::summary_data()
{
    QTest::addColumn<std::vector<OverviewRow>>("rows");
    QTest::addColumn<QString>("text");
    const QString pdf = QStringLiteral("Rechnungen/Rechnung 1.pdf");
    QTest::newRow("empty") << std::vector<OverviewRow>{} << QStringLiteral("0 Rechnungen, 0 Lücken, 0 ohne Kopie");
    QTest::newRow("one of each") << std::vector<OverviewRow>{row(Kind::Invoice, 1, 1, pdf), row(Kind::Gap, 2, 2),
                                                             row(Kind::Invoice, 3, 3)}
                                 << QStringLiteral("2 Rechnungen, 1 Lücke, 1 ohne Kopie");
    QTest::newRow("a gap of three numbers")
        << std::vector<OverviewRow>{row(Kind::Invoice, 1, 1, pdf), row(Kind::Gap, 2, 4)}
        << QStringLiteral("1 Rechnung, 3 Lücken, 0 ohne Kopie");
    QTest::newRow("unused is no invoice")
        << std::vector<OverviewRow>{row(Kind::Unused, 7, 7)} << QStringLiteral("0 Rechnungen, 0 Lücken, 0 ohne Kopie");
    QTest::newRow("cancellation and changed copy")
        << std::vector<OverviewRow>{row(Kind::Invoice, 1, 1, pdf, true), row(Kind::Cancellation, 2, 2, pdf),
                                    row(Kind::Cancellation, 3, 3)}
        << QStringLiteral("1 Rechnung, 0 Lücken, 1 ohne Kopie, 2 Stornos, 1 verändert");
}

void TestOverviewSummary::summary()
{
    QFETCH(std::vector<OverviewRow>, rows);
    QFETCH(QString, text);
    billing::InvoiceOverview overview;
    overview.rows = rows;
    QCOMPARE(billing::overviewSummaryText(overview), text);
}

QTEST_GUILESS_MAIN(TestOverviewSummary)
#include "test_overviewsummary.moc"
