#include "billing/BookingConfirmation.h"

#include "platform/DataFolderLayout.h"

#include "platform/FileIo.h"
#include "platform/IoError.h"
#include "register/Rooms.h"

#include <QBuffer>
#include <QDate>
#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

#include <cmath>

namespace billing {

using guests::kRaeume;
using guests::Naechte;
using guests::RoomMask;
using guests::TGast;

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);

// Day 0 is what a record holds before it has a date.
bool hasDate(platform::TDateTime day)
{
    return platform::IsCalendarDay(day) && day >= 1;
}

QString dayText(platform::TDateTime day)
{
    if (!hasDate(day))
        return QStringLiteral("–");
    return platform::DayToDate(day).toString(QStringLiteral("dd.MM.yyyy"));
}

QString dayWithWeekday(platform::TDateTime day)
{
    if (!hasDate(day))
        return QStringLiteral("–");
    const QDate date = platform::DayToDate(day);
    return kGerman.toString(date, QStringLiteral("ddd, dd.MM.yyyy"));
}

// A time of day, or empty when none is set (00:00 is what a booking holds without one).
QString timeText(platform::TDateTime time)
{
    const double fraction = time - std::floor(time);
    if (!std::isfinite(time) || fraction <= 0)
        return {};
    return platform::FractionToTime(fraction).toString(QStringLiteral("HH:mm"));
}

QString roomsText(const QString &zimmer)
{
    QStringList rooms;
    for (int room = 1; room <= kRaeume; ++room)
        if (RoomMask(zimmer) & (1u << (room - 1)))
            rooms << QString::number(room);
    if (rooms.isEmpty())
        return QStringLiteral("–");
    if (rooms.size() == 1)
        return rooms.front();
    const QString last = rooms.takeLast();
    return rooms.join(QStringLiteral(", ")) + QStringLiteral(" und ") + last;
}

QString priceText(double kosten)
{
    return kGerman.toString(kosten, 'f', 2) + QStringLiteral(" €");
}

QString nightsText(const TGast &g)
{
    const qint32 n = Naechte(g);
    return QString::number(n);
}

QString guestName(const TGast &g)
{
    const QString name = g.Name.simplified();
    return name.isEmpty() ? QStringLiteral("Gast %1").arg(g.GastNr) : name;
}

} // namespace

QList<QPair<QString, QString>> confirmationPlaceholders()
{
    return {{QStringLiteral("{Name}"), QStringLiteral("Name des Gastes")},
            {QStringLiteral("{Anreise}"), QStringLiteral("Tag der Anreise")},
            {QStringLiteral("{Abreise}"), QStringLiteral("Tag der Abreise")},
            {QStringLiteral("{Naechte}"), QStringLiteral("Zahl der Nächte")},
            {QStringLiteral("{Zimmer}"), QStringLiteral("gebuchte Zimmer")},
            {QStringLiteral("{Personen}"), QStringLiteral("Zahl der Personen")},
            {QStringLiteral("{Preis}"), QStringLiteral("Preis des Aufenthalts")},
            {QStringLiteral("{Haus}"), QStringLiteral("Name des Hauses")}};
}

QString fillPlaceholders(const QString &text, const TGast &g, const Briefkopf &house)
{
    static const QRegularExpression placeholder(QStringLiteral("\\{([^{}\\s]{1,20})\\}"));
    QString out;
    qsizetype from = 0;
    for (QRegularExpressionMatchIterator it = placeholder.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(from, m.capturedStart() - from);
        from = m.capturedEnd();
        QString key = m.captured(1).toLower();
        key.replace(QStringLiteral("ä"), QStringLiteral("ae"));
        QString value;
        if (key == u"name")
            value = guestName(g);
        else if (key == u"anreise")
            value = dayText(g.Von);
        else if (key == u"abreise")
            value = dayText(g.Bis);
        else if (key == u"naechte")
            value = nightsText(g);
        else if (key == u"zimmer")
            value = roomsText(g.Zimmer);
        else if (key == u"personen")
            value = QString::number(g.Personen);
        else if (key == u"preis")
            value = priceText(g.Kosten);
        else if (key == u"haus")
            value = house.name.simplified();
        else
            value = m.captured(0);
        out += value;
    }
    out += text.mid(from);
    return out;
}

QString defaultConfirmationText()
{
    return QStringLiteral(
        "Guten Tag {Name},\n"
        "\n"
        "vielen Dank für Ihre Buchung. Wir freuen uns, Sie vom {Anreise} bis zum {Abreise} in "
        "Zimmer {Zimmer} bei uns zu begrüßen.\n"
        "\n"
        "Anreise: Ihr Zimmer ist am Anreisetag ab 15:00 Uhr für Sie bereit. Kommen Sie später als 20:00 Uhr an, "
        "geben Sie uns bitte kurz Bescheid, damit wir Ihnen den Schlüssel hinterlegen können.\n"
        "\n"
        "Stornierung: Bis 14 Tage vor der Anreise können Sie kostenfrei stornieren. Danach berechnen wir 50 %, "
        "ab 3 Tagen vor der Anreise 80 % des "
        "Übernachtungspreises.\n"
        "\n"
        "Mit freundlichen Grüßen\n"
        "{Haus}");
}

QString confirmationGaps(const TGast &g)
{
    QStringList missing;
    if (g.Name.simplified().isEmpty())
        missing << QStringLiteral("der Name des Gastes");
    if (RoomMask(g.Zimmer) == 0)
        missing << QStringLiteral("das Zimmer");
    if (!hasDate(g.Von))
        missing << QStringLiteral("der Tag der Anreise");
    if (!hasDate(g.Bis))
        missing << QStringLiteral("der Tag der Abreise");
    if (!missing.isEmpty())
        return QStringLiteral("Für eine Buchungsbestätigung fehlt noch: %1.").arg(missing.join(QStringLiteral(", ")));
    if (std::floor(g.Bis) <= std::floor(g.Von))
        return QStringLiteral("Die Abreise (%1) liegt nicht nach der Anreise (%2): so kann die Buchung nicht "
                              "bestätigt werden.")
            .arg(dayText(g.Bis), dayText(g.Von));
    return {};
}

ConfirmationContent confirmationContent(const TGast &g, const Briefkopf &house, const QString &hostText,
                                        platform::TDateTime today)
{
    ConfirmationContent c;
    c.house = BriefkopfZeilen(house);
    c.guest << guestName(g);
    if (!g.Strasse.trimmed().isEmpty())
        c.guest << g.Strasse.simplified();
    const QString ort = g.Ort.simplified();
    if (g.PLZ > 0 || !ort.isEmpty())
        c.guest << (g.PLZ > 0 ? QStringLiteral("%1 %2").arg(g.PLZ, 5, 10, QChar(u'0')).arg(ort) : ort).trimmed();
    c.date = dayText(today);
    c.title = QStringLiteral("Buchungsbestätigung");
    const QString arrivalTime = timeText(g.Anreise);
    const QString departureTime = timeText(g.Abreise);
    c.facts << qMakePair(QStringLiteral("Zimmer"), roomsText(g.Zimmer));
    c.facts << qMakePair(QStringLiteral("Personen"), QString::number(g.Personen));
    c.facts << qMakePair(QStringLiteral("Anreise"),
                         dayWithWeekday(g.Von) +
                             (arrivalTime.isEmpty() ? QString() : QStringLiteral(" ab ") + arrivalTime));
    c.facts << qMakePair(QStringLiteral("Abreise"),
                         dayWithWeekday(g.Bis) +
                             (departureTime.isEmpty() ? QString() : QStringLiteral(" bis ") + departureTime));
    c.facts << qMakePair(QStringLiteral("Nächte"), nightsText(g));
    if (g.Kosten > 0)
        c.facts << qMakePair(QStringLiteral("Preis"), priceText(g.Kosten));
    c.text = fillPlaceholders(hostText, g, house);
    return c;
}

QByteArray confirmationPdf(const ConfirmationContent &content, int gastNr)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Buchungsbestätigung %1").arg(gastNr));
        writer.setCreator(QStringLiteral("Zimbrana"));
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer))
            throw EInvoiceError(QStringLiteral("Die Buchungsbestätigung konnte nicht als PDF erstellt werden."));
        const qreal mm = writer.resolution() / 25.4;
        const QRectF page(20 * mm, 20 * mm, writer.width() - 40 * mm, writer.height() - 40 * mm);
        const auto font = [&painter](qreal points, bool bold = false) {
            QFont f(QStringLiteral("Liberation Sans"));
            f.setPointSizeF(points);
            f.setBold(bold);
            painter.setFont(f);
        };
        qreal y = page.top();
        const auto line = [&](const QString &text, Qt::Alignment align = Qt::AlignLeft) {
            const qreal h = QFontMetricsF(painter.font(), &writer).lineSpacing();
            painter.drawText(QRectF(page.left(), y, page.width(), h), align | Qt::AlignVCenter, text);
            y += h;
        };
        for (qsizetype i = 0; i < content.house.size(); ++i) {
            font(i == 0 ? 16 : 10, i == 0);
            line(content.house[i], Qt::AlignRight);
        }
        y += 10 * mm;
        font(11);
        for (const QString &l : content.guest)
            line(l);
        y += 6 * mm;
        line(content.date, Qt::AlignRight);
        y += 6 * mm;
        font(15, true);
        line(content.title);
        y += 3 * mm;
        font(11);
        const qreal labelWidth = 35 * mm;
        for (const auto &[label, value] : content.facts) {
            const qreal h = QFontMetricsF(painter.font(), &writer).lineSpacing();
            painter.drawText(QRectF(page.left(), y, labelWidth, h), Qt::AlignLeft | Qt::AlignVCenter, label + u':');
            painter.drawText(QRectF(page.left() + labelWidth, y, page.width() - labelWidth, h),
                             Qt::AlignLeft | Qt::AlignVCenter, value);
            y += h;
        }
        y += 8 * mm;
        // The host's text fills the rest of the page; a long one is set smaller so the letter stays one page.
        const QRectF rest(page.left(), y, page.width(), page.bottom() - y);
        qreal points = 11;
        for (;; points -= 0.5) {
            font(points);
            const QRectF needed =
                painter.boundingRect(rest, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, content.text);
            if (needed.height() <= rest.height() || points <= 6)
                break;
        }
        painter.drawText(rest, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, content.text);
        if (!painter.end())
            throw EInvoiceError(QStringLiteral("Die Buchungsbestätigung konnte nicht als PDF erstellt werden."));
    }
    return bytes;
}

QString confirmationFileName(const TGast &g)
{
    QString name = g.Name.simplified();
    static const QRegularExpression forbidden(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    name.replace(forbidden, QStringLiteral("_"));
    name = name.left(60).trimmed();
    while (name.startsWith(u'.'))
        name.remove(0, 1);
    QString file = QStringLiteral("Bestätigung %1").arg(g.GastNr);
    if (!name.isEmpty())
        file += u' ' + name;
    if (hasDate(g.Von))
        file += u' ' + dayText(g.Von);
    return file + QStringLiteral(".pdf");
}

QString confirmationFolder(const QString &dataFolder)
{
    return platform::DataFolderLayout(dataFolder).confirmationFolder();
}

QString saveConfirmation(const QString &dataFolder, const TGast &g, const Briefkopf &house, const QString &hostText,
                         platform::TDateTime today)
{
    const QByteArray pdf = confirmationPdf(confirmationContent(g, house, hostText, today), g.GastNr);
    const QString folder = confirmationFolder(dataFolder);
    if (!QDir().mkpath(folder))
        platform::ThrowLastIoError(folder);
    const QString path = QDir(folder).filePath(confirmationFileName(g));
    platform::SaveFileAtomic(path, pdf);
    return path;
}

QString confirmationSubject(const TGast &g, const Briefkopf &house)
{
    const QString name = house.name.simplified();
    return QStringLiteral("Buchungsbestätigung%1: %2 bis %3")
        .arg(name.isEmpty() ? QString() : u' ' + name, dayText(g.Von), dayText(g.Bis));
}

} // namespace billing
