// How long the window "Rechnungen" takes to read a journal of 700,000 lines into its rows, and how
// much memory that holds: `bench_journal [lines]`. Writes the journal into a temporary folder
// first (chained lines, as the program appends them, without syncing each), then takes the
// window's path: read and check, fold to one entry per number, make the rows, the texts under and
// above them, and hand the rows to the window's model. The target is under 2 s.

#include "app/invoices/InvoiceOverviewModel.h"
#include "billing/InvoiceJournal.h"
#include "billing/JournalCheck.h"
#include "billing/JournalOverview.h"
#include "platform/CsvField.h"
#include "platform/Regional.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void writeJournal(const QString &path, int lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray header;
    for (const QString &name : billing::journalHeader())
        header += platform::csvField(name).toUtf8() + ';';
    file.write("\xEF\xBB\xBF" + header + "\r\n");
    QByteArray previous;
    billing::JournalLine line;
    line.kind = QString::fromUtf8(billing::kKindInvoice);
    line.town = QStringLiteral("Kassel");
    line.rooms = QStringLiteral("13");
    line.nights = 2;
    line.persons = 2;
    line.sha256 = QString(64, u'a');
    for (int i = 0; i < lines; ++i) {
        line.nr = 1000 + i;
        line.issued = QDateTime(QDate(2020, 1, 1).addDays(i / 100), QTime(10, 0));
        line.gastNr = i % 5000 + 1;
        line.name = QStringLiteral("Gast Nummer %1").arg(i % 5000);
        line.amount = 100 + i % 300;
        QByteArray fields;
        for (const QString &field : billing::journalFields(line))
            fields += platform::csvField(field).toUtf8() + ';';
        previous = billing::journalChainHash(previous, fields);
        file.write(fields + previous + ";\r\n");
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
    const int lines = argc > 1 ? std::atoi(argv[1]) : 700000;
    QTemporaryDir dir;
    const QString path = billing::journalPath(dir.path());
    writeJournal(path, lines);
    const long before = peakKiB();

    QElapsedTimer timer;
    timer.start();
    const billing::JournalSummary summary = billing::summarizeJournal(path);
    const qint64 read = timer.elapsed();
    const std::vector<guests::TGast> records(10);
    billing::InvoiceOverview overview = billing::invoiceOverview(summary, {}, records, 1000 + lines - 1);
    const QString texts =
        billing::overviewSummaryText(overview) + billing::yearTotalsLines(overview).join(u'\n') +
        billing::unheldInvoiceLines(overview).join(u'\n') +
        billing::missingLineFindings(summary.numberList(), summary.fileLines, {}, QFileInfo(path).birthTime())
            .join(u'\n');
    const qint64 rowsMade = timer.elapsed();
    app::InvoiceOverviewModel model;
    model.setRows(std::move(overview.rows));
    const QString firstRow = model.index(0, 4).data().toString();
    const qint64 total = timer.elapsed();

    std::printf("%d lines (%lld MB): read and checked %lld ms, rows made %lld ms, model %lld ms, together %lld ms "
                "(target 2000 ms)%s\n",
                lines, static_cast<long long>(QFile(path).size() / (1024 * 1024)), static_cast<long long>(read),
                static_cast<long long>(rowsMade - read), static_cast<long long>(total - rowsMade),
                static_cast<long long>(total), total < 2000 ? "" : " MISSED");
    std::printf("%d rows, %zu findings, first guest \"%s\", %lld characters of text; peak memory %ld MB before "
                "reading, %ld MB after\n",
                model.rowCount(), static_cast<std::size_t>(summary.findings.size()), qPrintable(firstRow),
                static_cast<long long>(texts.size()), before / 1024, peakKiB() / 1024);
    return summary.findings.isEmpty() && model.rowCount() == lines ? 0 : 1;
}
