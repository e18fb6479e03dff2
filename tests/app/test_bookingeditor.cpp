// The booking editor without any window: a few stand-in controls report what they hold, as the
// page "Gast" does, and each row is what a host and the rest of the program do in turn — edits,
// text typed but not yet taken, pauses in which the recovery copy looks at the form, changes by
// other windows, other records shown — and what the list and the recovery copy hold then.

#include "app/BookingEditor.h"
#include "register/GuestList.h"
#include "support/GuestBuilder.h"

#include <QDate>
#include <QMetaEnum>
#include <QTest>
#include <QTime>
#include <cmath>

using app::BookingEditor;
using guests::GuestList;
using guests::TGast;
using Field = BookingEditor::Field;

namespace {

const QMetaEnum kFieldNames = QMetaEnum::fromType<Field>();

Field fieldNamed(const QString &name)
{
    bool ok = false;
    const int value = kFieldNames.keyToValue(name.toLatin1().constData(), &ok);
    if (!ok)
        qFatal("no field %s", qPrintable(name));
    return static_cast<Field>(value);
}

// A value as the field's control gives it: days as QDate, times as QTime, numbers, ticks, texts.
QVariant controlValue(Field field, const QString &text)
{
    switch (field) {
    case Field::Von:
    case Field::Bis: return QDate::fromString(text, Qt::ISODate);
    case Field::Anreise:
    case Field::Abreise: return QTime::fromString(text, QStringLiteral("HH:mm"));
    case Field::Kosten: return text.toDouble();
    case Field::GastNr:
    case Field::Personen:
    case Field::PLZ:
    case Field::ReNr: return text.toInt();
    case Field::Bezahlt:
    case Field::Schluessel: return text == u"ja";
    default: return text;
    }
}

// A record's field as a test writes it, so rows compare texts.
QString fieldText(const TGast &g, Field field)
{
    switch (field) {
    case Field::GastNr: return QString::number(g.GastNr);
    case Field::Zimmer: return g.Zimmer;
    case Field::Personen: return QString::number(g.Personen);
    case Field::Von: return platform::DayToDate(g.Von).toString(Qt::ISODate);
    case Field::Bis: return platform::DayToDate(g.Bis).toString(Qt::ISODate);
    case Field::Anreise: return platform::FractionToTime(g.Anreise).toString(QStringLiteral("HH:mm:ss"));
    case Field::Abreise: return platform::FractionToTime(g.Abreise).toString(QStringLiteral("HH:mm:ss"));
    case Field::Name: return g.Name;
    case Field::Strasse: return g.Strasse;
    case Field::PLZ: return QString::number(g.PLZ);
    case Field::Ort: return g.Ort;
    case Field::Telefon: return g.Telefon;
    case Field::EMail: return g.EMail;
    case Field::Kosten: return QString::number(g.Kosten, 'f', 3);
    case Field::ReNr: return QString::number(g.ReNr);
    case Field::Bezahlt: return g.Bezahlt ? QStringLiteral("ja") : QStringLiteral("nein");
    case Field::Schluessel: return g.Schluessel ? QStringLiteral("ja") : QStringLiteral("nein");
    case Field::Bemerkung: return g.Bemerkung;
    }
    return {};
}

// The form's controls as the editor sees them. Like the real ones they hold less than a record
// may: an amount to the cent and a time to the minute. Text typed into a day, time or amount is
// taken when the editor asks (committing), as leaving the field would.
class StandInControls : public QObject
{
public:
    explicit StandInControls(BookingEditor &editor) : editor_(editor)
    {
        connect(&editor_, &BookingEditor::showRequested, this, [this](const TGast &g) { show(g); });
        connect(&editor_, &BookingEditor::committing, this, [this] {
            for (const auto &[field, value] : typed_)
                editor_.setField(field, value);
            typed_.clear();
        });
        show(TGast());
        editor_.markShown();
    }

    void type(Field field, const QVariant &value)
    {
        typed_[field] = value;
        editor_.setTyped(field, value);
    }

    TGast shown; // what the controls were last asked to show

private:
    void show(const TGast &g)
    {
        shown = g;
        typed_.clear();
        const auto minute = [](double fraction) {
            return platform::FractionToTime(std::round(fraction * 24 * 60) / (24 * 60));
        };
        editor_.setField(Field::GastNr, g.GastNr);
        editor_.setField(Field::Zimmer, g.Zimmer);
        editor_.setField(Field::Personen, g.Personen);
        editor_.setField(Field::Von, platform::DayToDate(g.Von));
        editor_.setField(Field::Anreise, minute(g.Anreise));
        editor_.setField(Field::Bis, platform::DayToDate(g.Bis));
        editor_.setField(Field::Abreise, minute(g.Abreise));
        editor_.setField(Field::Name, g.Name);
        editor_.setField(Field::Strasse, g.Strasse);
        editor_.setField(Field::PLZ, g.PLZ);
        editor_.setField(Field::Ort, g.Ort);
        editor_.setField(Field::Telefon, g.Telefon);
        editor_.setField(Field::EMail, g.EMail);
        editor_.setField(Field::Kosten, std::round(g.Kosten * 100) / 100);
        editor_.setField(Field::ReNr, g.ReNr);
        editor_.setField(Field::Bezahlt, g.Bezahlt);
        editor_.setField(Field::Schluessel, g.Schluessel);
        editor_.setField(Field::Bemerkung, g.Bemerkung);
    }

    BookingEditor &editor_;
    std::map<Field, QVariant> typed_;
};

// Anna in record 1 and Bert in record 2; Anna's amount and arrival hold more than the controls
// can show (three decimals, seconds).
std::vector<TGast> twoGuests()
{
    const platform::TDateTime kMaerz1 = platform::DateToDay(QDate(2025, 3, 1));
    const platform::TDateTime kMaerz4 = platform::DateToDay(QDate(2025, 3, 4));
    TGast anna = fixture::Stay(1, QStringLiteral("1"), 2, kMaerz1, kMaerz4, QStringLiteral("Anna"))
                     .address(QStringLiteral("Am Markt 1"), 10115, QStringLiteral("Berlin"));
    anna.Kosten = 85.555;
    anna.Anreise = platform::TimeToFraction(QTime(14, 0, 20));
    anna.Telefon = QStringLiteral("030 111");
    TGast bert = fixture::Stay(2, QStringLiteral("2"), 1, kMaerz1, kMaerz4, QStringLiteral("Bert"));
    return {TGast(), anna, bert};
}

// The list as at the start of the program, then Anna and Bert read and Anna shown.
struct Session
{
    Session()
    {
        list.replace(twoGuests());
        list.select(1);
    }
    GuestList list{};
    BookingEditor editor{list};
    StandInControls controls{editor};
};

} // namespace

class TestBookingEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void steps_data();
    void steps();
    void snapshotChangesNothing();
    void anotherRecordShownKeepsTheEdits();
    void editsOfARemovedRecordGoWithIt();
    void startValuesAreNoEdits();
};

void TestBookingEditor::steps_data()
{
    // Steps: "set F v" a control now holds v; "type F v" text typed into F reads as v;
    // "other F v" another window changes the shown record; "takeover"; and the checks
    // "snapshot F v" (the recovery copy's record), "record F v" (the list's), "shows F v" (the
    // controls'), "changed yes|no" (the list's flag).
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("edit, pause, pause, take over") << QStringList{"set Telefon 030 999",
                                                                  "snapshot Telefon 030 999",
                                                                  "record Telefon 030 111",
                                                                  "changed no",
                                                                  "snapshot Telefon 030 999",
                                                                  "record Telefon 030 111",
                                                                  "changed no",
                                                                  "takeover",
                                                                  "record Telefon 030 999",
                                                                  "changed yes"};
    QTest::newRow("edit, another window changes Ort, take over: both kept") << QStringList{
        "set Telefon 030 999",   "other Ort Potsdam",        "shows Ort Potsdam", "shows Telefon 030 999",
        "snapshot Ort Potsdam",  "snapshot Telefon 030 999", "takeover",          "record Ort Potsdam",
        "record Telefon 030 999"};
    QTest::newRow("another window changes a field the host left alone: not put back") << QStringList{
        "other Ort Potsdam", "set Name Anna B.", "takeover", "record Ort Potsdam", "record Name Anna B."};
    QTest::newRow("both change the same field: the host's typing counts")
        << QStringList{"set Ort Köln", "other Ort Potsdam", "shows Ort Köln", "takeover", "record Ort Köln"};
    QTest::newRow("a date being typed counts for the copy and when leaving") << QStringList{
        "type Von 2025-03-02", "snapshot Von 2025-03-02", "record Von 2025-03-01", "takeover", "record Von 2025-03-02"};
    QTest::newRow("a refused amount keeps the old value")
        << QStringList{"type Kosten 85.56", "snapshot Kosten 85.555", "takeover", "record Kosten 85.555", "changed no"};
    QTest::newRow("values beyond the controls survive an edit elsewhere")
        << QStringList{"set Name Anna Berger", "takeover", "record Kosten 85.555", "record Anreise 14:00:20",
                       "record Name Anna Berger"};
    QTest::newRow("an edited amount replaces the finer one")
        << QStringList{"set Kosten 90", "takeover", "record Kosten 90.000"};
    QTest::newRow("a tick reaches the record at once, with the form")
        << QStringList{"set Telefon 030 999", "set Bezahlt ja", "record Bezahlt ja", "record Telefon 030 999"};
    QTest::newRow("the room reaches the record at once, alone")
        << QStringList{"set Name Anna Berger",    "set Zimmer 13",   "record Zimmer 13", "record Name Anna", "takeover",
                       "record Name Anna Berger", "record Zimmer 13"};
    QTest::newRow("a second take-over changes nothing more")
        << QStringList{"set EMail anna@example.de", "takeover", "other EMail anna@beispiel.de", "takeover",
                       "record EMail anna@beispiel.de"};
}

void TestBookingEditor::steps()
{
    QFETCH(QStringList, steps);
    Session s;
    for (const QString &step : steps) {
        const QString verb = step.section(u' ', 0, 0);
        if (verb == u"takeover") {
            s.editor.takeOver();
            continue;
        }
        if (verb == u"changed") {
            QVERIFY2(s.list.changed() == (step.section(u' ', 1) == u"yes"), qPrintable(step));
            continue;
        }
        const Field field = fieldNamed(step.section(u' ', 1, 1));
        const QString value = step.section(u' ', 2);
        if (verb == u"set") {
            s.editor.setField(field, controlValue(field, value));
        } else if (verb == u"type") {
            s.controls.type(field, controlValue(field, value));
        } else if (verb == u"other") {
            QVERIFY2(field == Field::Ort || field == Field::EMail, qPrintable(step));
            s.list.modify(1, [&](TGast &g) { (field == Field::Ort ? g.Ort : g.EMail) = value; });
        } else {
            const TGast checked = verb == u"snapshot" ? s.editor.snapshot().at(1)
                                  : verb == u"record" ? s.list.at(1)
                                                      : s.controls.shown;
            QString actual = fieldText(checked, field);
            QString expected = value;
            if (field == Field::Anreise && value.size() == 5)
                expected += QStringLiteral(":00");
            QVERIFY2(actual == expected, qPrintable(step + QStringLiteral(" – found ") + actual));
        }
    }
}

void TestBookingEditor::snapshotChangesNothing()
{
    // GIVEN an edit and a date being typed
    Session s;
    s.editor.setField(Field::Telefon, QStringLiteral("030 999"));
    s.controls.type(Field::Bis, QDate(2025, 3, 6));
    const std::vector<TGast> before = s.list.records();
    // WHEN the recovery copy looks twice
    const std::vector<TGast> first = s.editor.snapshot();
    const std::vector<TGast> second = s.editor.snapshot();
    // THEN it sees the edits, the list has none of them, and they are still edits
    QCOMPARE(first, second);
    QCOMPARE(first.at(1).Telefon, QStringLiteral("030 999"));
    QCOMPARE(first.at(1).Bis, platform::DateToDay(QDate(2025, 3, 6)));
    QCOMPARE(first.at(2), before.at(2));
    QCOMPARE(s.list.records(), before);
    QVERIFY(!s.list.changed());
    QVERIFY(s.editor.hasEdits());
    s.editor.takeOver();
    QCOMPARE(s.list.records(), first);
    QVERIFY(!s.editor.hasEdits());
}

void TestBookingEditor::anotherRecordShownKeepsTheEdits()
{
    // GIVEN an edit of Anna not yet taken over
    Session s;
    s.editor.setField(Field::Name, QStringLiteral("Anna Berger"));
    // WHEN Bert becomes current (a spin box, another window, a new guest)
    s.list.select(2);
    // THEN Anna's record has her edit, and Bert is shown as he is
    QCOMPARE(s.list.at(1).Name, QStringLiteral("Anna Berger"));
    QCOMPARE(s.editor.shownIndex(), 2);
    QCOMPARE(s.controls.shown, s.list.at(2));
    QCOMPARE(s.list.at(2), twoGuests().at(2));
    QVERIFY(!s.editor.hasEdits());
    // ... and showing a record again that is shown keeps the edit on the form
    s.editor.setField(Field::Ort, QStringLiteral("Hamburg"));
    QCOMPARE(s.editor.showRecord(2), 2);
    QCOMPARE(s.controls.shown.Ort, QStringLiteral("Hamburg"));
    QCOMPARE(s.editor.snapshot().at(2).Ort, QStringLiteral("Hamburg"));
}

void TestBookingEditor::editsOfARemovedRecordGoWithIt()
{
    Session s;
    s.editor.setField(Field::Name, QStringLiteral("Anna Berger"));
    QVERIFY(s.list.removeCurrent());
    // Bert moved into index 1 and is shown untouched.
    QCOMPARE(s.list.currentIndex(), 1);
    QCOMPARE(s.list.at(1), twoGuests().at(2));
    QCOMPARE(s.controls.shown, s.list.at(1));
    s.editor.takeOver();
    QCOMPARE(s.list.at(1), twoGuests().at(2));
}

void TestBookingEditor::startValuesAreNoEdits()
{
    // The form's start values (today, 12:00) are suggestions: a tick on record 0 takes the tick,
    // not the suggestions.
    GuestList list;
    BookingEditor editor(list);
    editor.setField(Field::Von, QDate(2025, 2, 20));
    editor.setField(Field::Anreise, QTime(12, 0));
    editor.markShown();
    QVERIFY(!editor.hasEdits());
    editor.setField(Field::Schluessel, true);
    TGast expected;
    expected.Schluessel = true;
    QCOMPARE(list.at(0), expected);
}

QTEST_GUILESS_MAIN(TestBookingEditor)
#include "test_bookingeditor.moc"
