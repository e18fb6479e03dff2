#pragma once
// Reading what the program wrote with the tools a host's other programs would use: iCalendar files
// with Debian's python3-icalendar, PDF files with poppler: its library for bytes, its pdftotext and
// pdfinfo for files (all installed by `make test`). No test scans a PDF's bytes itself.

#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QStringList>
#include <QTest>
#include <poppler-qt6.h>

#include <memory>

namespace readback {

// A PDF as poppler reads it, from its bytes; null when poppler cannot read it.
inline std::unique_ptr<Poppler::Document> PdfDocument(const QByteArray &pdf)
{
    auto document = Poppler::Document::loadFromData(pdf);
    return document && !document->isLocked() ? std::move(document) : nullptr;
}

// The number of pages poppler finds; -1 when it cannot read the file.
inline int PdfPageCount(const QByteArray &pdf)
{
    const auto document = PdfDocument(pdf);
    return document ? document->numPages() : -1;
}

// The size of a PDF's first page in points; empty when there is none.
inline QSizeF PdfPageSize(const QByteArray &pdf)
{
    const auto document = PdfDocument(pdf);
    const auto page = document && document->numPages() > 0 ? document->page(0) : nullptr;
    return page ? page->pageSizeF() : QSizeF();
}

// Runs a program to its end; its standard output, or a failed test when it cannot run or fails.
inline QString Run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        QTest::qFail(
            qPrintable(QStringLiteral("%1 failed (%2): %3")
                           .arg(program, process.errorString(), QString::fromUtf8(process.readAllStandardError()))),
            __FILE__, __LINE__);
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Every calendar and event the parser finds, one line each (see ics_events.py). Debian's own
// python3, where python3-icalendar lives, whatever else the PATH offers.
inline QStringList IcsLines(const QStringList &files)
{
    const QString script = QStringLiteral(ZIMBRANA_TEST_DATA "/../support/ics_events.py");
    return Run(QStringLiteral("/usr/bin/python3"), QStringList{script} + files).split(u'\n', Qt::SkipEmptyParts);
}

// The text of a PDF file, in reading order with the layout's columns kept apart.
inline QString PdfText(const QString &pdf)
{
    return Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

inline int PdfPages(const QString &pdf)
{
    const QString info = Run(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

// "Page size:      595.276 x 841.89 pts (A4)"
inline QString PdfPageSize(const QString &pdf)
{
    const QString info = Run(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("Page size:\\s+(.*)")).match(info);
    return size.hasMatch() ? size.captured(1).trimmed() : QString();
}

} // namespace readback
