#include "exchange/ICalendar.h"

#include "platform/AnsiText.h"
#include "platform/DayNumber.h"
#include "register/Rooms.h"

#include <QDir>

#include <cmath>
#include <map>

namespace exchange {

using guests::kRaeume;
using guests::RoomMask;
using guests::TGast;

namespace {

constexpr int kZeileOktette = 75;

// A day number as an iCalendar date; empty when it is no date the format can hold.
QByteArray IcsDatum(platform::TDateTime day)
{
    // Day 1 is 31.12.1899, day 2958465 is 31.12.9999; 0 is a record that has no date yet.
    if (!std::isfinite(day) || day < 1 || day > 2958465)
        return {};
    const QDate date = platform::DayToDate(day);
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return {};
    return date.toString(QStringLiteral("yyyyMMdd")).toLatin1();
}

// Text values escape backslash, semicolon, comma and line breaks.
QByteArray IcsText(const QString &text)
{
    QString escaped;
    for (const QChar c : text) {
        if (c == u'\\' || c == u';' || c == u',')
            escaped += u'\\';
        if (c == u'\n') {
            escaped += QStringLiteral("\\n");
            continue;
        }
        if (c == u'\r')
            continue;
        escaped += c;
    }
    return escaped.toUtf8();
}

} // namespace

QString KalenderDateiName(int room)
{
    return QStringLiteral("Zimmer %1.ics").arg(room);
}

QByteArray FalteZeile(const QByteArray &line)
{
    QByteArray out;
    qsizetype from = 0;
    int limit = kZeileOktette;
    while (line.size() - from > limit) {
        qsizetype cut = from + limit;
        // Back up to the start of a character: continuation bytes are 10xxxxxx.
        while (cut > from && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        if (cut == from)
            cut = from + limit; // no character start at all: not UTF-8, cut where the limit is
        out += line.mid(from, cut - from);
        out += "\r\n ";
        from = cut;
        limit = kZeileOktette - 1; // the leading space counts
    }
    out += line.mid(from);
    out += "\r\n";
    return out;
}

QByteArray ZimmerKalender(const std::vector<TGast> &list, int room, const QDateTime &stamp)
{
    const QByteArray raum = QByteArray::number(room);
    const QByteArray dtstamp = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1();
    QByteArray out;
    const auto zeile = [&out](const QByteArray &line) { out += FalteZeile(line); };
    zeile("BEGIN:VCALENDAR");
    zeile("VERSION:2.0");
    zeile("PRODID:-//Kestrumbel//Zimbrana//DE");
    zeile("CALSCALE:GREGORIAN");
    zeile("METHOD:PUBLISH");
    zeile("X-WR-CALNAME:" + IcsText(QStringLiteral("Zimmer %1").arg(room)));

    const unsigned bit = 1u << (room - 1);
    std::map<qint32, int> seen; // guest numbers twice in old files still give distinct UIDs
    for (std::size_t i = 1; i < list.size(); ++i) {
        const TGast &g = list[i];
        if ((RoomMask(g.Zimmer) & bit) == 0)
            continue;
        const QByteArray start = IcsDatum(g.Von);
        const QByteArray end = IcsDatum(g.Bis);
        // A stay without a night occupies no night of the room.
        if (start.isEmpty() || end.isEmpty() || end <= start)
            continue;
        const int occurrence = ++seen[g.GastNr];
        QByteArray uid = "zimbrana-gast-" + QByteArray::number(g.GastNr);
        if (occurrence > 1)
            uid += "-" + QByteArray::number(occurrence);
        uid += "-zimmer-" + raum + "@zimbrana";
        zeile("BEGIN:VEVENT");
        zeile("UID:" + uid);
        zeile("DTSTAMP:" + dtstamp);
        zeile("DTSTART;VALUE=DATE:" + start);
        zeile("DTEND;VALUE=DATE:" + end);
        zeile("SUMMARY:" + IcsText(QStringLiteral("Zimmer %1 belegt").arg(room)));
        zeile("TRANSP:OPAQUE");
        zeile("END:VEVENT");
    }
    zeile("END:VCALENDAR");
    return out;
}

QStringList ExportiereKalender(const QString &folder, const std::vector<TGast> &list, const QDateTime &stamp)
{
    QStringList paths;
    for (int room = 1; room <= kRaeume; ++room) {
        const QString path = QDir(folder).filePath(KalenderDateiName(room));
        platform::SaveFileAtomic(path, ZimmerKalender(list, room, stamp));
        paths << path;
    }
    return paths;
}

} // namespace exchange
