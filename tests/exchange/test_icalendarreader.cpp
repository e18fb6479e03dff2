// Reading portal calendars: the shapes portals write (all-day and timed events, time zones,
// folded lines, no end, durations, cancelled and repeated events, doubled UIDs) and the files
// that must be refused with a clear reason instead of being half read.

#include "exchange/ICalendarReader.h"

#include <QElapsedTimer>
#include <QTest>

using exchange::CalendarLimits;
using exchange::PortalEvent;

namespace {

CalendarLimits berlin()
{
    CalendarLimits limits;
    limits.houseZone = QTimeZone("Europe/Berlin");
    return limits;
}

// A calendar around the given lines (LF line ends; rows that need CR LF write them themselves).
QByteArray calendarModel(const QByteArray &body)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Portal//DE\r\n" + body + "END:VCALENDAR\r\n";
}

QString day(platform::TDateTime d)
{
    return platform::DayToDate(d).toString(QStringLiteral("dd.MM.yyyy"));
}

// "uid|summary|first night|departure|status" per event, one per line.
QString described(const std::vector<PortalEvent> &events)
{
    QStringList lines;
    for (const PortalEvent &e : events)
        lines << QStringLiteral("%1|%2|%3|%4|%5").arg(e.uid, e.summary, day(e.firstNight), day(e.departure), e.status);
    return lines.join(u'\n');
}

} // namespace

class TestICalendarReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void events_data();
    void events();
    void refused_data();
    void refused();
    void hundredThousandEventsAreRefusedQuickly();
    void summaryFilter_data();
    void summaryFilter();
};

void TestICalendarReader::events_data()
{
    QTest::addColumn<QByteArray>("ics");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("note"); // a part of the notes, or empty when there must be none

    QTest::newRow("all-day, end is the departure day")
        << calendarModel("BEGIN:VEVENT\r\nUID:a1\r\nDTSTART;VALUE=DATE:20250301\r\nDTEND;VALUE=DATE:20250304\r\n"
                         "SUMMARY:Reserved\r\nSTATUS:CONFIRMED\r\nEND:VEVENT\r\n")
        << "a1|Reserved|01.03.2025|04.03.2025|CONFIRMED" << QString();
    QTest::newRow("date without VALUE parameter")
        << calendarModel("BEGIN:VEVENT\r\nUID:a2\r\nDTSTART:20251231\r\nDTEND:20260102\r\nEND:VEVENT\r\n")
        << "a2||31.12.2025|02.01.2026|" << QString();
    QTest::newRow("all-day without end lasts one day")
        << calendarModel("BEGIN:VEVENT\r\nUID:a3\r\nDTSTART;VALUE=DATE:20250301\r\nEND:VEVENT\r\n")
        << "a3||01.03.2025|02.03.2025|" << QString();
    QTest::newRow("all-day with DURATION")
        << calendarModel("BEGIN:VEVENT\r\nUID:a4\r\nDTSTART;VALUE=DATE:20250228\r\nDURATION:P3D\r\nEND:VEVENT\r\n")
        << "a4||28.02.2025|03.03.2025|" << QString();
    QTest::newRow("all-day with DURATION in weeks")
        << calendarModel("BEGIN:VEVENT\r\nUID:a5\r\nDTSTART;VALUE=DATE:20250301\r\nDURATION:P1W\r\nEND:VEVENT\r\n")
        << "a5||01.03.2025|08.03.2025|" << QString();
    QTest::newRow("end on the start day is one day")
        << calendarModel(
               "BEGIN:VEVENT\r\nUID:a6\r\nDTSTART;VALUE=DATE:20250301\r\nDTEND;VALUE=DATE:20250301\r\nEND:VEVENT\r\n")
        << "a6||01.03.2025|02.03.2025|" << QString();
    QTest::newRow("end before start is one day, with a note")
        << calendarModel(
               "BEGIN:VEVENT\r\nUID:a7\r\nDTSTART;VALUE=DATE:20250305\r\nDTEND;VALUE=DATE:20250301\r\nEND:VEVENT\r\n")
        << "a7||05.03.2025|06.03.2025|"
        << "endet vor seinem Beginn";
    // 23:00 UTC on 1 March is already 2 March in Berlin.
    QTest::newRow("UTC times in the house's zone")
        << calendarModel(
               "BEGIN:VEVENT\r\nUID:t1\r\nDTSTART:20250301T230000Z\r\nDTEND:20250304T090000Z\r\nEND:VEVENT\r\n")
        << "t1||02.03.2025|04.03.2025|" << QString();
    // 20:00 in New York is 02:00 the next day in Berlin.
    QTest::newRow("TZID") << calendarModel("BEGIN:VEVENT\r\nUID:t2\r\nDTSTART;TZID=America/New_York:20250301T200000\r\n"
                                           "DTEND;TZID=America/New_York:20250303T200000\r\nEND:VEVENT\r\n")
                          << "t2||02.03.2025|04.03.2025|" << QString();
    QTest::newRow("TZID in quotes with a Windows name")
        << calendarModel("BEGIN:VEVENT\r\nUID:t3\r\nDTSTART;TZID=\"W. Europe Standard Time\":20250301T150000\r\n"
                         "DTEND;TZID=\"W. Europe Standard Time\":20250302T100000\r\nEND:VEVENT\r\n")
        << "t3||01.03.2025|02.03.2025|" << QString();
    QTest::newRow("unknown TZID is taken as local time, with a note")
        << calendarModel("BEGIN:VEVENT\r\nUID:t4\r\nDTSTART;TZID=Mars/Olympus:20250301T150000\r\n"
                         "DTEND;TZID=Mars/Olympus:20250303T100000\r\nEND:VEVENT\r\n")
        << "t4||01.03.2025|03.03.2025|"
        << "Mars/Olympus";
    QTest::newRow("floating times")
        << calendarModel("BEGIN:VEVENT\r\nUID:t5\r\nDTSTART:20250301T150000\r\nDTEND:20250304T100000\r\nEND:VEVENT\r\n")
        << "t5||01.03.2025|04.03.2025|" << QString();
    QTest::newRow("timed event within a day holds that day")
        << calendarModel("BEGIN:VEVENT\r\nUID:t6\r\nDTSTART:20250301T100000\r\nDURATION:PT2H\r\nEND:VEVENT\r\n")
        << "t6||01.03.2025|02.03.2025|" << QString();
    QTest::newRow("timed DURATION over days")
        << calendarModel("BEGIN:VEVENT\r\nUID:t7\r\nDTSTART:20250301T150000\r\nDURATION:P2DT19H\r\nEND:VEVENT\r\n")
        << "t7||01.03.2025|04.03.2025|" << QString();
    QTest::newRow("timed without end lasts one day")
        << calendarModel("BEGIN:VEVENT\r\nUID:t8\r\nDTSTART:20250301T150000Z\r\nEND:VEVENT\r\n")
        << "t8||01.03.2025|02.03.2025|" << QString();
    QTest::newRow("folded lines, CR LF and TAB")
        << calendarModel("BEGIN:VEVENT\r\nUID:fold\r\n -1\r\nSUMMARY:Airbnb \r\n\t(Not avail\r\n able)\r\n"
                         "DTSTART;VALUE=DA\r\n TE:20250301\r\nEND:VEVENT\r\n")
        << "fold-1|Airbnb (Not available)|01.03.2025|02.03.2025|" << QString();
    QTest::newRow("LF line ends and folding")
        << QByteArray("BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:lf\nSUMMARY:Ge\n bucht\nDTSTART:20250301\n"
                      "DTEND:20250302\nEND:VEVENT\nEND:VCALENDAR\n")
        << "lf|Gebucht|01.03.2025|02.03.2025|" << QString();
    QTest::newRow("a folded UTF-8 character")
        << calendarModel("BEGIN:VEVENT\r\nUID:u\r\nSUMMARY:G\xC3\r\n \xA4ste\r\nDTSTART:20250301\r\nEND:VEVENT\r\n")
        << QStringLiteral("u|Gäste|01.03.2025|02.03.2025|") << QString();
    QTest::newRow("text escapes")
        << calendarModel("BEGIN:VEVENT\r\nUID:esc\r\nSUMMARY:M\xC3\xBCller\\, Anna\\; Zi\\\\2\\nspät\r\n"
                         "DTSTART:20250301\r\nEND:VEVENT\r\n")
        << QStringLiteral("esc|Müller, Anna; Zi\\2\nspät|01.03.2025|02.03.2025|") << QString();
    QTest::newRow("lower-case names")
        << calendarModel(
               "begin:vevent\r\nuid:lc\r\ndtstart;value=date:20250301\r\ndtend;value=date:20250303\r\nend:vevent\r\n")
        << "lc||01.03.2025|03.03.2025|" << QString();
    QTest::newRow("cancelled events are left out")
        << calendarModel("BEGIN:VEVENT\r\nUID:c1\r\nDTSTART:20250301\r\nSTATUS:CANCELLED\r\nEND:VEVENT\r\n"
                         "BEGIN:VEVENT\r\nUID:c2\r\nDTSTART:20250305\r\nSTATUS:TENTATIVE\r\nEND:VEVENT\r\n")
        << "c2||05.03.2025|06.03.2025|TENTATIVE" << QString();
    QTest::newRow("a repeating event counts once, with a note")
        << calendarModel("BEGIN:VEVENT\r\nUID:r\r\nDTSTART:20250301\r\nDTEND:20250302\r\nRRULE:FREQ=WEEKLY;COUNT=4\r\n"
                         "SUMMARY:Wartung\r\nEND:VEVENT\r\n")
        << "r|Wartung|01.03.2025|02.03.2025|"
        << "wiederholt sich";
    QTest::newRow("alarm and time zone parts are not events")
        << calendarModel("BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:STANDARD\r\nDTSTART:19701025T030000\r\n"
                         "END:STANDARD\r\nEND:VTIMEZONE\r\nBEGIN:VEVENT\r\nUID:al\r\nDTSTART:20250301\r\n"
                         "DTEND:20250303\r\nBEGIN:VALARM\r\nDTSTART:20250101\r\nDURATION:P9D\r\nSUMMARY:x\r\n"
                         "END:VALARM\r\nSUMMARY:echt\r\nEND:VEVENT\r\n")
        << "al|echt|01.03.2025|03.03.2025|" << QString();
    QTest::newRow("the same UID twice with the same days counts once")
        << calendarModel("BEGIN:VEVENT\r\nUID:d\r\nDTSTART:20250301\r\nEND:VEVENT\r\n"
                         "BEGIN:VEVENT\r\nUID:d\r\nDTSTART:20250301\r\nEND:VEVENT\r\n")
        << "d||01.03.2025|02.03.2025|" << QString();
    QTest::newRow("the same UID with other days keeps both")
        << calendarModel("BEGIN:VEVENT\r\nUID:d\r\nDTSTART:20250301\r\nEND:VEVENT\r\n"
                         "BEGIN:VEVENT\r\nUID:d\r\nDTSTART:20250310\r\nEND:VEVENT\r\n")
        << "d||01.03.2025|02.03.2025|\nd#2||10.03.2025|11.03.2025|"
        << "mehrfach";
    QTest::newRow("a changed occurrence is a block of its own")
        << calendarModel(
               "BEGIN:VEVENT\r\nUID:m\r\nDTSTART:20250301\r\nRRULE:FREQ=DAILY\r\nEND:VEVENT\r\n"
               "BEGIN:VEVENT\r\nUID:m\r\nRECURRENCE-ID;VALUE=DATE:20250302\r\nDTSTART:20250304\r\nEND:VEVENT\r\n")
        << "m||01.03.2025|02.03.2025|\nm#20250302||04.03.2025|05.03.2025|"
        << "wiederholt sich";
    QTest::newRow("no UID: one from days and summary")
        << calendarModel("BEGIN:VEVENT\r\nSUMMARY:Block\r\nDTSTART:20250301\r\nDTEND:20250303\r\nEND:VEVENT\r\n")
        << "ohne-UID:20250301-20250303:Block|Block|01.03.2025|03.03.2025|" << QString();
    QTest::newRow("no start: left out with a note")
        << calendarModel("BEGIN:VEVENT\r\nUID:n\r\nSUMMARY:Kaputt\r\nEND:VEVENT\r\n") << QString() << "ohne Beginn";
    QTest::newRow("unreadable start: left out with a note")
        << calendarModel("BEGIN:VEVENT\r\nUID:n\r\nDTSTART:20251301\r\nEND:VEVENT\r\n") << QString()
        << "unlesbarem Beginn";
    QTest::newRow("Windows-1252 instead of UTF-8")
        << calendarModel("BEGIN:VEVENT\r\nUID:w\r\nSUMMARY:G\xE4ste\r\nDTSTART:20250301\r\nEND:VEVENT\r\n")
        << QStringLiteral("w|Gäste|01.03.2025|02.03.2025|") << "Windows-1252";
    QTest::newRow("byte-order mark and blank lines")
        << QByteArray("\xEF\xBB\xBF\r\nBEGIN:VCALENDAR\r\n\r\nBEGIN:VEVENT\r\nUID:b\r\nDTSTART:20250301\r\n"
                      "END:VEVENT\r\nEND:VCALENDAR\r\n")
        << "b||01.03.2025|02.03.2025|" << QString();
    QTest::newRow("an empty calendar") << calendarModel("") << QString() << QString();
    QTest::newRow("text after the end is ignored")
        << calendarModel("BEGIN:VEVENT\r\nUID:e\r\nDTSTART:20250301\r\nEND:VEVENT\r\n") + "BEGIN:VEVENT\r\nUID:late\r\n"
        << "e||01.03.2025|02.03.2025|" << QString();
}

void TestICalendarReader::events()
{
    QFETCH(QByteArray, ics);
    QFETCH(QString, expected);
    QFETCH(QString, note);
    const exchange::PortalCalendar calendar = exchange::readCalendar(ics, berlin());
    QCOMPARE(described(calendar.events), expected);
    if (note.isEmpty())
        QCOMPARE(calendar.notes, QStringList());
    else
        QVERIFY2(calendar.notes.join(u'\n').contains(note), qPrintable(calendar.notes.join(u'\n')));
}

void TestICalendarReader::refused_data()
{
    QTest::addColumn<QByteArray>("ics");
    QTest::addColumn<int>("maxEvents");
    QTest::addColumn<QString>("reason");

    const QByteArray event = "BEGIN:VEVENT\r\nUID:x\r\nDTSTART:20250301\r\nEND:VEVENT\r\n";
    QTest::newRow("empty") << QByteArray() << 100 << "leer";
    QTest::newRow("only blank lines") << QByteArray("\r\n\r\n  \n") << 100 << "leer";
    QTest::newRow("a web page") << QByteArray("<!DOCTYPE html>\n<html><body>Login</body></html>") << 100 << "Webseite";
    QTest::newRow("some text") << QByteArray("Not found\n") << 100 << "BEGIN:VCALENDAR";
    QTest::newRow("binary") << QByteArray("BEGIN:VCALENDAR\r\n\x00\x01\x02", 20) << 100 << "Binärdaten";
    QTest::newRow("cut off inside an event")
        << QByteArray("BEGIN:VCALENDAR\r\n" + event + "BEGIN:VEVENT\r\nUID:y\r\nDTST") << 100 << "unvollständig";
    QTest::newRow("cut off after an event") << QByteArray("BEGIN:VCALENDAR\r\n" + event) << 100 << "unvollständig";
    QTest::newRow("more events than allowed") << calendarModel(event.repeated(4)) << 3 << "mehr als 3 Termine";
}

void TestICalendarReader::refused()
{
    QFETCH(QByteArray, ics);
    QFETCH(int, maxEvents);
    QFETCH(QString, reason);
    CalendarLimits limits = berlin();
    limits.maxEvents = maxEvents;
    try {
        exchange::readCalendar(ics, limits);
        QFAIL("read, not refused");
    } catch (const exchange::ECalendarError &error) {
        QVERIFY2(error.message().contains(reason), qPrintable(error.message()));
    }
}

void TestICalendarReader::hundredThousandEventsAreRefusedQuickly()
{
    // GIVEN a calendar of 100,000 events (about 6 MB, under the size limit)
    QByteArray body;
    for (int i = 0; i < 100000; ++i)
        body += "BEGIN:VEVENT\r\nUID:" + QByteArray::number(i) + "\r\nDTSTART:20250301\r\nEND:VEVENT\r\n";
    const QByteArray ics = calendarModel(body);
    QVERIFY(ics.size() < CalendarLimits().maxBytes);
    // WHEN it is read with the program's limits THEN it is refused by its count, in bounded time
    QElapsedTimer timer;
    timer.start();
    try {
        exchange::readCalendar(ics);
        QFAIL("read, not refused");
    } catch (const exchange::ECalendarError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("mehr als 20000 Termine")), qPrintable(error.message()));
    }
    QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));

    // and a file over the size limit is refused before it is read at all
    CalendarLimits small;
    small.maxBytes = 1000;
    try {
        exchange::readCalendar(ics, small);
        QFAIL("read, not refused");
    } catch (const exchange::ECalendarError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("zu groß")), qPrintable(error.message()));
    }
}

void TestICalendarReader::summaryFilter_data()
{
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QStringList>("patterns");
    QTest::addColumn<bool>("dropped");
    QTest::newRow("part of the text, case ignored")
        << "Airbnb (Not available)" << QStringList{QStringLiteral("not available")} << true;
    QTest::newRow("no pattern matches") << "Reserved" << QStringList{QStringLiteral("Not available")} << false;
    QTest::newRow("no patterns") << "Not available" << QStringList{} << false;
    QTest::newRow("empty and blank patterns match nothing")
        << "Reserved" << QStringList{QString(), QStringLiteral("  ")} << false;
    QTest::newRow("star") << "CLOSED - Not available" << QStringList{QStringLiteral("closed*available")} << true;
    QTest::newRow("star keeps the order")
        << "available CLOSED" << QStringList{QStringLiteral("closed*available")} << false;
    QTest::newRow("slash and brackets are plain text")
        << "Blocked [owner/manual]" << QStringList{QStringLiteral("[owner/*]")} << true;
    QTest::newRow("one of several") << "Gesperrt" << QStringList{QStringLiteral("x"), QStringLiteral("gesperrt")}
                                    << true;
}

void TestICalendarReader::summaryFilter()
{
    QFETCH(QString, summary);
    QFETCH(QStringList, patterns);
    QFETCH(bool, dropped);
    QCOMPARE(exchange::matchesSummaryFilter(summary, patterns), dropped);
    PortalEvent event;
    event.summary = summary;
    QCOMPARE(exchange::withoutFiltered({event}, patterns).empty(), dropped);
}

QTEST_GUILESS_MAIN(TestICalendarReader)
#include "test_icalendarreader.moc"
