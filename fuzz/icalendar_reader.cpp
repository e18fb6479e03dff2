// Reading a portal's calendar. Any bytes either are refused with ECalendarError (and nothing
// else escapes) or give events that hold at least one night of a real date, each with a UID of
// its own, no more than the limit allows, and a bounded number of notes. Folding every line
// again as the calendar writer does changes nothing: the same events and notes, or the same refusal.

#include "FuzzCommon.h"
#include "exchange/ICalendar.h"
#include "exchange/ICalendarReader.h"

#include <QSet>

using exchange::FalteZeile;

namespace {

struct Outcome
{
    bool refused = false;
    QString text;
};

Outcome read(const QByteArray &bytes, const exchange::CalendarLimits &limits)
{
    Outcome outcome;
    try {
        const exchange::PortalCalendar calendar = exchange::readCalendar(bytes, limits);
        FUZZ_CHECK(static_cast<int>(calendar.events.size()) <= limits.maxEvents, QString::fromLatin1(bytes.left(300)));
        FUZZ_CHECK(calendar.notes.size() <= 51, calendar.notes.join(u'\n'));
        QSet<QString> uids;
        for (const exchange::PortalEvent &e : calendar.events) {
            const QString what = QStringLiteral("%1 %2 %3").arg(e.uid).arg(e.firstNight).arg(e.departure);
            FUZZ_CHECK(platform::IsCalendarDay(e.firstNight) && platform::IsCalendarDay(e.departure), what);
            FUZZ_CHECK(e.firstNight < e.departure, what);
            FUZZ_CHECK(!e.uid.isEmpty() && !uids.contains(e.uid), what);
            uids.insert(e.uid);
            outcome.text += what + u'|' + e.summary + u'|' + e.status + u'\n';
        }
        outcome.text += calendar.notes.join(u'\n');
    } catch (const exchange::ECalendarError &error) {
        FUZZ_CHECK(!error.message().isEmpty(), QString::fromLatin1(bytes.left(300)));
        outcome.refused = true;
        outcome.text = error.message();
    }
    return outcome;
}

// Every line (without its line end) folded again and ended with CR LF.
QByteArray refolded(const QByteArray &bytes)
{
    QByteArray out;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        out += FalteZeile(line);
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    exchange::CalendarLimits limits;
    limits.houseZone = QTimeZone("Europe/Berlin");
    limits.maxEvents = 50;
    const QByteArray bytes = fuzz::Bytes(data, size);
    const Outcome first = read(bytes, limits);
    const Outcome second = read(refolded(bytes), limits);
    FUZZ_CHECK(first.refused == second.refused && first.text == second.text, first.text + u'\n' + second.text);
    return 0;
}
