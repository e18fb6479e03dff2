// The files around invoices that hold a guest's address are the host's only, and what a cut-off
// invoice left behind goes.

#include "billing/InvoiceArchive.h"
#include "billing/InvoiceFiles.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using billing::KeepPrintedFilePrivate;
using billing::LegeRechnungAb;
using billing::PruefeAblage;
using billing::RemoveInvoiceLeftovers;

namespace {

int modeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777) : -1;
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestInvoiceFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ::umask(022); }
    void keptCopiesFolderIsTheOwnersOnly();
    void invoicePrintedToAFile_data();
    void invoicePrintedToAFile();
    void leftoversOfACutOffInvoiceAreRemoved();
};

void TestInvoiceFiles::keptCopiesFolderIsTheOwnersOnly()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("Rechnungen"));
    PruefeAblage(folder);
    QCOMPARE(modeOf(folder), 0700);
    // also when the first copy makes it
    const QString other = dir.filePath(QStringLiteral("b/Rechnungen"));
    LegeRechnungAb(other, 7, "%PDF-1.4\n");
    QCOMPARE(modeOf(other), 0700);
    QCOMPARE(modeOf(QDir(other).filePath(QStringLiteral("Rechnung 7.pdf"))), 0400);
}

void TestInvoiceFiles::invoicePrintedToAFile_data()
{
    QTest::addColumn<QString>("where"); // below the temporary folder
    QTest::addColumn<int>("mode");
    QTest::newRow("in the data folder") << "daten/Rechnung 12.pdf" << 0600;
    QTest::newRow("in a folder below it") << "daten/Ausdrucke/Rechnung 12.pdf" << 0600;
    QTest::newRow("elsewhere: as the host chose") << "anderswo/Rechnung 12.pdf" << 0644;
}

void TestInvoiceFiles::invoicePrintedToAFile()
{
    QFETCH(QString, where);
    QFETCH(int, mode);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(where);
    QVERIFY(QDir().mkpath(QFileInfo(file).path()));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("daten"))));
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    {
        QPainter painter(&printer);
        painter.drawText(100, 100, QStringLiteral("Rechnung"));
    }
    QCOMPARE(modeOf(file), 0644);
    KeepPrintedFilePrivate(printer, dir.filePath(QStringLiteral("daten")) + u'/');
    QCOMPARE(modeOf(file), mode);
}

void TestInvoiceFiles::leftoversOfACutOffInvoiceAreRemoved()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QStringList leftovers{QStringLiteral(".Rechnung 1042.pdf.neu"), QStringLiteral(".Schreibprobe-aB3xYz"),
                                QStringLiteral("..Rechnung 1042.pdf.neu.pc1-4711-abc123.tmp")};
    const QStringList kept{QStringLiteral("Rechnung 1041.pdf"), QStringLiteral("Rechnung 1042.pdf.neu"),
                           QStringLiteral(".notiz")};
    for (const QString &name : leftovers + kept)
        QVERIFY(writeBytes(dir.filePath(name), "x"));
    RemoveInvoiceLeftovers(dir.path());
    QStringList expected = kept;
    expected.sort();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
}

QTEST_MAIN(TestInvoiceFiles)
#include "test_invoicefiles.moc"
