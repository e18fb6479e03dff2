#include "exchange/ICalendarReader.h"

#include "platform/AnsiText.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cmath>
#include <optional>

namespace exchange {

namespace {

// More notes than this help nobody; the rest is counted.
constexpr int kMaxNotes = 50;

class Notes
{
public:
    explicit Notes(QStringList &notes) : notes_(notes) {}
    ~Notes()
    {
        if (dropped_ > 0)
            notes_ << QStringLiteral("… und %1 weitere Hinweise.").arg(dropped_);
    }
    Notes(const Notes &) = delete;
    Notes &operator=(const Notes &) = delete;
    void add(const QString &note)
    {
        if (notes_.size() < kMaxNotes)
            notes_ << note;
        else
            ++dropped_;
    }

private:
    QStringList &notes_;
    int dropped_ = 0;
};

// Joins folded lines: a line break (CR LF or LF) followed by a blank or TAB continues the line.
QByteArray unfolded(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c == '\r' && i + 2 < n && bytes[i + 1] == '\n' && (bytes[i + 2] == ' ' || bytes[i + 2] == '\t')) {
            i += 2;
            continue;
        }
        if (c == '\n' && i + 1 < n && (bytes[i + 1] == ' ' || bytes[i + 1] == '\t')) {
            i += 1;
            continue;
        }
        out += c;
    }
    return out;
}

struct ContentLine
{
    QString name;                   // upper case
    QHash<QString, QString> params; // names upper case, quotes removed
    QString value;
};

// "NAME;PARAM=x;PARAM2="a:b":value". A line without a colon is no content line.
std::optional<ContentLine> parseLine(const QString &line)
{
    ContentLine result;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n && line[i] != u';' && line[i] != u':')
        ++i;
    if (i >= n)
        return std::nullopt;
    result.name = line.left(i).trimmed().toUpper();
    while (i < n && line[i] == u';') {
        ++i;
        const qsizetype start = i;
        bool quoted = false;
        while (i < n && (quoted || (line[i] != u';' && line[i] != u':'))) {
            if (line[i] == u'"')
                quoted = !quoted;
            ++i;
        }
        const QString param = line.mid(start, i - start);
        const qsizetype eq = param.indexOf(u'=');
        if (eq > 0) {
            QString value = param.mid(eq + 1);
            value.remove(u'"');
            result.params.insert(param.left(eq).trimmed().toUpper(), value.trimmed());
        }
    }
    if (i >= n || line[i] != u':')
        return std::nullopt;
    result.value = line.mid(i + 1);
    return result;
}

QString unescaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar next = text[++i];
            out += (next == u'n' || next == u'N') ? QChar(u'\n') : next;
        } else {
            out += c;
        }
    }
    return out;
}

// A moment as the event gives it: a whole day, or a time (in UTC, in a zone or floating).
struct Moment
{
    QDate date;         // the day in the house's zone
    QDateTime dateTime; // for times: the moment (floating ones as local times)
    bool allDay = false;
};

std::optional<Moment> parseMoment(const ContentLine &line, const CalendarLimits &limits, Notes &notes)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})(?:T(\\d{2})(\\d{2})(\\d{2})(Z?))?$"));
    const QRegularExpressionMatch m = pattern.match(line.value.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return std::nullopt;
    Moment moment;
    if (m.captured(4).isEmpty() ||
        line.params.value(QStringLiteral("VALUE")).compare(u"DATE", Qt::CaseInsensitive) == 0) {
        moment.date = date;
        moment.allDay = true;
        return moment;
    }
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), std::min(m.captured(6).toInt(), 59));
    if (!time.isValid())
        return std::nullopt;
    if (!m.captured(7).isEmpty()) {
        moment.dateTime = QDateTime(date, time, QTimeZone::utc()).toTimeZone(limits.houseZone);
    } else if (line.params.contains(QStringLiteral("TZID"))) {
        QString id = line.params.value(QStringLiteral("TZID"));
        while (id.startsWith(u'/'))
            id.remove(0, 1);
        QTimeZone zone = id.isEmpty() ? QTimeZone() : QTimeZone(id.toUtf8());
        if (!zone.isValid()) {
            // Outlook writes Windows names ("W. Europe Standard Time").
            const QByteArray iana = QTimeZone::windowsIdToDefaultIanaId(id.toUtf8());
            zone = iana.isEmpty() ? QTimeZone() : QTimeZone(iana);
        }
        if (zone.isValid()) {
            moment.dateTime = QDateTime(date, time, zone).toTimeZone(limits.houseZone);
        } else {
            notes.add(QStringLiteral("Unbekannte Zeitzone „%1“: die Zeit gilt als Ortszeit des Hauses.").arg(id));
            moment.dateTime = QDateTime(date, time, limits.houseZone);
        }
    } else {
        moment.dateTime = QDateTime(date, time, limits.houseZone);
    }
    if (!moment.dateTime.isValid())
        return std::nullopt;
    moment.date = moment.dateTime.date();
    return moment;
}

// DURATION in seconds ("P2D", "PT3H", "P1W", "-PT5M"); nullopt when it cannot be read.
std::optional<qint64> parseDuration(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^([+-]?)P(?:(\\d{1,6})W)?(?:(\\d{1,6})D)?(?:T(?:(\\d{1,7})H)?(?:(\\d{1,9})M)?(?:(\\d{1,10})S)?)?$"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed().toUpper());
    if (!m.hasMatch() || text.trimmed().size() < 3)
        return std::nullopt;
    qint64 seconds = m.captured(2).toLongLong() * 7 * 86400 + m.captured(3).toLongLong() * 86400 +
                     m.captured(4).toLongLong() * 3600 + m.captured(5).toLongLong() * 60 + m.captured(6).toLongLong();
    if (m.captured(1) == u"-")
        seconds = -seconds;
    return seconds;
}

QString dayText(const QDate &date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QString eventName(const QString &summary, const QDate &start)
{
    const QString name = summary.isEmpty() ? QStringLiteral("ohne Bezeichnung") : summary.simplified().left(60);
    return start.isValid() ? QStringLiteral("„%1“ (%2)").arg(name, dayText(start)) : QStringLiteral("„%1“").arg(name);
}

// Collects the properties of one VEVENT and turns them into an event.
struct EventBuilder
{
    std::optional<ContentLine> start, end, duration;
    QString uid, summary, status, recurrenceId;
    bool repeats = false;

    // An event that cannot be read sets `unreadable`; a cancelled one is left out without it.
    std::optional<PortalEvent> build(const CalendarLimits &limits, Notes &notes, bool &unreadable) const
    {
        unreadable = false;
        if (status.compare(u"CANCELLED", Qt::CaseInsensitive) == 0)
            return std::nullopt;
        if (!start) {
            notes.add(QStringLiteral("Termin %1 ohne Beginn (DTSTART) ausgelassen.").arg(eventName(summary, {})));
            unreadable = true;
            return std::nullopt;
        }
        const std::optional<Moment> from = parseMoment(*start, limits, notes);
        if (!from) {
            notes.add(QStringLiteral("Termin %1 mit unlesbarem Beginn „%2“ ausgelassen.")
                          .arg(eventName(summary, {}), start->value.left(40)));
            unreadable = true;
            return std::nullopt;
        }
        const QString name = eventName(summary, from->date);
        QDate departure = from->date.addDays(1);
        if (end) {
            const std::optional<Moment> to = parseMoment(*end, limits, notes);
            if (!to) {
                notes.add(QStringLiteral("Termin %1: unlesbares Ende „%2“, er gilt für einen Tag.")
                              .arg(name, end->value.left(40)));
            } else if (to->date < from->date ||
                       (to->date == from->date && !from->allDay && to->dateTime < from->dateTime)) {
                notes.add(QStringLiteral("Termin %1 endet vor seinem Beginn; er gilt für einen Tag.").arg(name));
            } else if (to->date > from->date) {
                departure = to->date;
            }
        } else if (duration) {
            const std::optional<qint64> seconds = parseDuration(duration->value);
            if (!seconds || *seconds < 0) {
                notes.add(QStringLiteral("Termin %1: unlesbare Dauer „%2“, er gilt für einen Tag.")
                              .arg(name, duration->value.left(40)));
            } else if (from->allDay) {
                const qint64 days = (*seconds + 86399) / 86400;
                if (days > 1)
                    departure = from->date.addDays(std::min<qint64>(days, 4000000));
            } else {
                const QDate to = from->dateTime.addSecs(*seconds).date();
                if (to > from->date)
                    departure = to;
            }
        }
        if (!departure.isValid() || departure.year() > 9999) {
            notes.add(QStringLiteral("Termin %1 endet nach dem Jahr 9999 und ist ausgelassen.").arg(name));
            unreadable = true;
            return std::nullopt;
        }
        if (repeats)
            notes.add(QStringLiteral(
                          "Termin %1 wiederholt sich; die Wiederholungen sind nicht übernommen, nur der erste Termin.")
                          .arg(name));
        PortalEvent event;
        event.uid = uid;
        if (event.uid.isEmpty())
            event.uid =
                QStringLiteral("ohne-UID:%1-%2:%3")
                    .arg(from->date.toString(u"yyyyMMdd"), departure.toString(u"yyyyMMdd"), summary.simplified());
        if (!recurrenceId.isEmpty())
            event.uid += QStringLiteral("#") + recurrenceId;
        event.summary = summary;
        event.status = status.toUpper();
        event.firstNight = platform::DateToDay(from->date);
        event.departure = platform::DateToDay(departure);
        return event;
    }
};

QString decoded(const QByteArray &bytes, Notes &notes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    notes.add(QStringLiteral("Der Kalender ist nicht in UTF-8 geschrieben; er ist als Windows-1252 gelesen."));
    return platform::FromAnsi(bytes);
}

} // namespace

PortalCalendar readCalendar(const QByteArray &input, const CalendarLimits &limits)
{
    if (input.size() > limits.maxBytes)
        throw ECalendarError(QStringLiteral("Der Kalender ist zu groß (%1 KB, höchstens %2 KB werden gelesen).")
                                 .arg((input.size() + 1023) / 1024)
                                 .arg(limits.maxBytes / 1024));
    if (input.contains('\0'))
        throw ECalendarError(QStringLiteral("Die Antwort ist kein Kalender: sie enthält Binärdaten."));
    QByteArray bytes = input;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);

    PortalCalendar result;
    Notes notes(result.notes);
    const QString text = decoded(unfolded(bytes), notes);

    QStringList stack; // the open components, outermost first
    bool begun = false;
    bool ended = false;
    int eventCount = 0;
    std::optional<EventBuilder> event;
    QHash<QString, std::size_t> byUid;

    for (QStringView rawLine : QStringView(text).split(u'\n')) {
        if (rawLine.endsWith(u'\r'))
            rawLine.chop(1);
        if (rawLine.trimmed().isEmpty())
            continue;
        const std::optional<ContentLine> line = parseLine(rawLine.toString());
        if (!begun) {
            if (!line || line->name != u"BEGIN" ||
                line->value.trimmed().compare(u"VCALENDAR", Qt::CaseInsensitive) != 0) {
                if (rawLine.trimmed().startsWith(u'<'))
                    throw ECalendarError(QStringLiteral("Die Antwort ist kein Kalender, sondern eine Webseite."));
                throw ECalendarError(
                    QStringLiteral("Die Antwort ist kein Kalender (sie beginnt nicht mit „BEGIN:VCALENDAR“)."));
            }
            begun = true;
            stack << QStringLiteral("VCALENDAR");
            continue;
        }
        if (!line)
            continue;
        if (line->name == u"BEGIN") {
            const QString component = line->value.trimmed().toUpper();
            if (component == u"VEVENT" && stack.size() == 1) {
                if (++eventCount > limits.maxEvents)
                    throw ECalendarError(QStringLiteral("Der Kalender enthält mehr als %1 Termine; so viele liest das "
                                                        "Programm nicht.")
                                             .arg(limits.maxEvents));
                event.emplace();
            }
            stack << component;
            continue;
        }
        if (line->name == u"END") {
            const QString component = line->value.trimmed().toUpper();
            const qsizetype at = stack.lastIndexOf(component);
            if (at < 0)
                continue; // an END without its BEGIN changes nothing
            if (at <= 1 && event) {
                // The event closes (or an outer END closes it with it).
                bool unreadable = false;
                std::optional<PortalEvent> built = event->build(limits, notes, unreadable);
                if (unreadable)
                    ++result.unreadable;
                if (built) {
                    const auto seen = byUid.constFind(built->uid);
                    if (seen == byUid.constEnd()) {
                        byUid.insert(built->uid, result.events.size());
                        result.events.push_back(*built);
                    } else {
                        const PortalEvent &first = result.events[*seen];
                        if (first.firstNight != built->firstNight || first.departure != built->departure) {
                            notes.add(QStringLiteral("Die Kennung (UID) „%1“ kommt mehrfach vor; jeder Termin gilt als "
                                                     "eigene Blockierung.")
                                          .arg(built->uid.left(80)));
                            QString uid;
                            int n = 2;
                            do
                                uid = QStringLiteral("%1#%2").arg(built->uid).arg(n++);
                            while (byUid.contains(uid));
                            built->uid = uid;
                            byUid.insert(uid, result.events.size());
                            result.events.push_back(*built);
                        }
                    }
                }
                event.reset();
            }
            stack.resize(at);
            if (stack.isEmpty()) {
                ended = true;
                break;
            }
            continue;
        }
        if (!event || stack.size() != 2)
            continue; // properties of the calendar itself, of time zones, of alarms
        if (line->name == u"DTSTART")
            event->start = line;
        else if (line->name == u"DTEND")
            event->end = line;
        else if (line->name == u"DURATION")
            event->duration = line;
        else if (line->name == u"UID")
            event->uid = line->value.trimmed();
        else if (line->name == u"SUMMARY")
            event->summary = unescaped(line->value).trimmed();
        else if (line->name == u"STATUS")
            event->status = line->value.trimmed();
        else if (line->name == u"RRULE" || line->name == u"RDATE")
            event->repeats = true;
        else if (line->name == u"RECURRENCE-ID")
            event->recurrenceId = line->value.trimmed();
    }
    if (!begun)
        throw ECalendarError(QStringLiteral("Die Antwort ist leer, kein Kalender."));
    result.eventCount = eventCount;
    if (!ended)
        throw ECalendarError(QStringLiteral("Der Kalender ist unvollständig (das Ende „END:VCALENDAR“ fehlt); "
                                            "vermutlich wurde die Übertragung abgebrochen."));
    return result;
}

bool matchesSummaryFilter(const QString &summary, const QStringList &patterns)
{
    for (const QString &raw : patterns) {
        const QString pattern = raw.trimmed();
        if (pattern.isEmpty())
            continue;
        if (pattern.contains(u'*')) {
            // Only "*" is special: a host's pattern may hold "/", "?" or brackets as plain text.
            QString expression;
            for (const QString &part : pattern.split(u'*'))
                expression += QRegularExpression::escape(part) + QStringLiteral(".*");
            expression.chop(2);
            const QRegularExpression re(expression, QRegularExpression::CaseInsensitiveOption);
            if (re.match(summary).hasMatch())
                return true;
        } else if (summary.contains(pattern, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

std::vector<PortalEvent> withoutFiltered(const std::vector<PortalEvent> &events, const QStringList &patterns)
{
    std::vector<PortalEvent> kept;
    for (const PortalEvent &event : events)
        if (!matchesSummaryFilter(event.summary, patterns))
            kept.push_back(event);
    return kept;
}

} // namespace exchange
