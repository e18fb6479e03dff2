#include "app/privacy/PersonalDataExport.h"

#include "app/AppContext.h"
#include "app/ExportTargets.h"
#include "app/PrintFrame.h"
#include "exchange/Csv.h"
#include "platform/Clock.h"
#include "platform/FileNames.h"
#include "platform/PrivateFiles.h"
#include "register/PersonalData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPrinter>

namespace app {

using guests::TGast;

QString PersonalDataFiles::message() const
{
    return QStringLiteral("Die Auskunft über %1 gespeichert:\n\n%2\n%3")
        .arg(stays == 1 ? QStringLiteral("1 Aufenthalt ist") : QStringLiteral("%1 Aufenthalte ist").arg(stays),
             QDir::toNativeSeparators(pdf), QDir::toNativeSeparators(csv));
}

QString personalDataFileName(const QString &name, qint32 gastNr)
{
    return platform::guestFileName(QStringLiteral("Auskunft"), gastNr, name);
}

void printPersonalDataReport(QPrinter &printer, const exchange::PersonalDataReport &report)
{
    PrintFrame frame(printer);
    QPainter &painter = frame.painter();
    // Pixel sizes in the frame's screen units, so the page looks as a window would show it.
    QFont plain(QStringLiteral("Liberation Sans"));
    plain.setPixelSize(13);
    QFont bold = plain;
    bold.setBold(true);
    QFont titleFont = bold;
    titleFont.setPixelSize(19);
    const double line = 18;
    const QRectF area = frame.area();
    double y = frame.drawTitle(report.title, titleFont, plain, 2 * line).bottom() + line;
    const double labelWidth = area.width() * 0.3;

    const auto room = [&](double needed) {
        if (y + needed <= area.bottom())
            return;
        printer.newPage();
        y = area.top();
    };
    const auto text = [&](const QRectF &box, const QString &s, const QFont &font) {
        painter.setFont(font);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, s);
    };
    painter.setFont(plain);
    for (const QString &intro : report.intro) {
        const double h = painter.boundingRect(QRectF(0, 0, area.width(), 1e6), Qt::TextWordWrap, intro).height();
        room(h);
        text(QRectF(area.left(), y, area.width(), h), intro, plain);
        y += h + line * 0.2;
    }
    for (const exchange::PersonalDataReport::Stay &stay : report.stays) {
        y += line * 0.6;
        room(3 * line);
        text(QRectF(area.left(), y, area.width(), line), stay.heading, bold);
        y += line * 1.2;
        for (const auto &[label, value] : stay.fields) {
            painter.setFont(plain);
            const double h = std::max(
                line,
                painter.boundingRect(QRectF(0, 0, area.width() - labelWidth, 1e6), Qt::TextWordWrap, value).height());
            room(h);
            text(QRectF(area.left(), y, labelWidth, h), label, plain);
            text(QRectF(area.left() + labelWidth, y, area.width() - labelWidth, h), value, plain);
            y += h;
        }
    }
    frame.finish();
}

std::optional<PersonalDataFiles> savePersonalData(AppContext &context, QWidget *parent, int index)
{
    const std::vector<TGast> &records = context.guests().records();
    const std::vector<int> stays = guests::staysOfPerson(records, index);
    const TGast &person = records.at(static_cast<std::size_t>(index));
    const QString base = personalDataFileName(person.Name, person.GastNr);
    PersonalDataFiles files;
    files.stays = static_cast<int>(stays.size());
    files.csv = QFileInfo(SuggestedExport(context.dataFolder(), base, QStringLiteral("csv"))).absoluteFilePath();
    files.pdf = QFileInfo(SuggestedExport(context.dataFolder(), base, QStringLiteral("pdf"))).absoluteFilePath();
    for (const QString &path : {files.csv, files.pdf})
        if (!MayWriteTo(parent, context.dialogs(), context.dataFolder(), path))
            return std::nullopt;

    // Personal data: for the owner's eyes only, like the guest file, from the first byte on (the
    // CSV is saved that way; the printer is given a file made so).
    exchange::saveCsvFile(files.csv, exchange::personalDataRows(records, stays), exchange::kGuestListCodePage);
    platform::PrivateFile pdfFile(files.pdf);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(files.pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const exchange::PersonalDataReport report = exchange::personalDataReport(records, stays, platform::Now());
    printer.setDocName(report.title);
    printPersonalDataReport(printer, report);
    pdfFile.keep();
    // Files of an earlier "Auskunft" replaced here become the owner's alone too.
    for (const QString &path : {files.csv, files.pdf})
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return files;
}

} // namespace app
