// A host types into a field, pauses (longer than the recovery copy waits), then leaves the field
// and saves: what was typed is in the guest file. The recovery copy only looks at the form; it
// never takes an edit over on its own.

#include "billing/InvoiceJournal.h"
#include "guestfile/GuestFile.h"
#include "guestfile/Recovery.h"
#include "platform/DayNumber.h"
#include "support/AppFixture.h"
#include "support/WindowMoves.h"

#include <QCheckBox>
#include <QSpinBox>
#include <QStandardPaths>

using guests::TGast;
using namespace moves;

namespace {

// Longer than the program waits before it writes the recovery copy.
constexpr int kPauseMs = 2000;

QByteArray oneGuest()
{
    return kRecordZero + guestLine(1, "1", 2, "01.03.2025", "04.03.2025", "Anna");
}

// The record as the file holds it before any edit.
TGast readBack(const AppFixture &app, int index = 1)
{
    const std::vector<TGast> records =
        guestfile::DecodeGuestFile(app.readFile(QStringLiteral("Gaeste.csv")), QStringLiteral("Gaeste.csv"));
    return records.at(static_cast<std::size_t>(index));
}

// Reaches `name` as a host does: from the field before it, by Tab.
void tabInto(const AppFixture &app, const char *name)
{
    QWidget *field = app.w(name);
    // The field before it takes the focus quietly (its own enter handler is not the test's).
    QWidget *before = field->previousInFocusChain();
    while (before != field && (!(before->focusPolicy() & Qt::TabFocus) || !before->isVisibleTo(app.window.get()) ||
                               !before->isEnabled() || before->focusProxy()))
        before = before->previousInFocusChain();
    before->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    QWidget *focus = QApplication::focusWidget();
    QVERIFY2(focus == field || field->isAncestorOf(focus), name);
}

void typeHere(const QString &text)
{
    AppFixture::keyClicks(QApplication::focusWidget(), text);
}

// What the record is after typing `typed` into `field` (over the whole text it showed).
TGast edited(TGast g, const QString &field)
{
    const auto day = [](int d, int m) { return platform::DateToDay(QDate(2025, m, d)); };
    const auto hour = [](int h, int min) { return platform::TimeToFraction(QTime(h, min)); };
    if (field == u"EditZimmer") g.Zimmer = QStringLiteral("2");
    else if (field == u"EditName") g.Name = QStringLiteral("Krüger");
    else if (field == u"NumberBoxPersonen") g.Personen = 3;
    else if (field == u"EditStrasse") g.Strasse = QStringLiteral("Hauptstraße 5");
    else if (field == u"NumberBoxPLZ") g.PLZ = 10115;
    else if (field == u"EditOrt") g.Ort = QStringLiteral("Berlin");
    else if (field == u"DateEditVon") g.Von = day(2, 3);
    else if (field == u"TimeEditAnreise") g.Anreise = hour(15, 30);
    else if (field == u"DateEditBis") g.Bis = day(6, 3);
    else if (field == u"TimeEditAbreise") g.Abreise = hour(9, 45);
    else if (field == u"EditTelefon") g.Telefon = QStringLiteral("030 999888");
    else if (field == u"EditEMail") g.EMail = QStringLiteral("anna@example.de");
    else if (field == u"EditBem") g.Bemerkung = QStringLiteral("mit Hund");
    else if (field == u"NumberBoxKosten") g.Kosten = 777;
    else if (field == u"CheckBoxBez") g.Bezahlt = true;
    else if (field == u"CheckBoxKey") g.Schluessel = true;
    else qFatal("no expectation for %s", qPrintable(field));
    return g;
}

} // namespace

class TestPausedEdits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void pausedEditIsSaved_data();
    void pausedEditIsSaved();
    void pausedCostIsInvoiced();
    void pausedEditIsAskedAboutAtClosing();
};

void TestPausedEdits::pausedEditIsSaved_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::newRow("Zimmer") << "EditZimmer" << "2";
    QTest::newRow("Name") << "EditName" << "Krüger";
    QTest::newRow("Personen") << "NumberBoxPersonen" << "3";
    QTest::newRow("Strasse") << "EditStrasse" << "Hauptstraße 5";
    QTest::newRow("PLZ") << "NumberBoxPLZ" << "10115";
    QTest::newRow("Ort") << "EditOrt" << "Berlin";
    QTest::newRow("Anreise") << "DateEditVon" << "02.03.2025";
    QTest::newRow("Anreise Uhrzeit") << "TimeEditAnreise" << "15:30";
    QTest::newRow("Abreise, kurz getippt") << "DateEditBis" << "6.3.25";
    QTest::newRow("Abreise Uhrzeit") << "TimeEditAbreise" << "09:45";
    QTest::newRow("Telefon") << "EditTelefon" << "030 999888";
    QTest::newRow("E-Mail") << "EditEMail" << "anna@example.de";
    QTest::newRow("Bemerkung") << "EditBem" << "mit Hund";
    QTest::newRow("Kosten") << "NumberBoxKosten" << "777";
    QTest::newRow("Bezahlt") << "CheckBoxBez" << " ";
    QTest::newRow("Schlüssel") << "CheckBoxKey" << " ";
}

void TestPausedEdits::pausedEditIsSaved()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    AppFixture app;
    app.writeFile(QStringLiteral("Gaeste.csv"), oneGuest());
    app.dialogs.openFile = app.path(QStringLiteral("Gaeste.csv"));
    app.click("ButtonRead");
    const TGast before = readBack(app);
    QCOMPARE(app.list().current(), before);

    tabInto(app, qPrintable(field));
    typeHere(typed);
    QTest::qWait(kPauseMs);
    // The pause was long enough: the recovery copy holds the edit already.
    const std::vector<TGast> recovered = guestfile::ReadRecoveryCopy(app.path(QString()) + u'/');
    QCOMPARE(recovered.at(1), edited(before, field));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    app.click("ButtonSave");

    QVERIFY2(app.status().endsWith(QStringLiteral("in Gaeste.csv geschrieben")), qPrintable(app.status()));
    QCOMPARE(readBack(app), edited(before, field));
    QVERIFY(!app.list().changed());
    QVERIFY(!QFileInfo::exists(app.path(QStringLiteral("Gaeste.csv.wiederherstellen"))));
}

void TestPausedEdits::pausedCostIsInvoiced()
{
    AppFixture app;
    app.readInvoicingHouse(oneGuest());
    tabInto(app, "NumberBoxKosten");
    typeHere(QStringLiteral("777"));
    QTest::qWait(kPauseMs);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    // The price list says otherwise; the host keeps the amount typed.
    app.dialogs.choose = [](const QString &, const QStringList &buttons) {
        return buttons.contains(QStringLiteral("Eingetragener Betrag")) ? QStringLiteral("Eingetragener Betrag")
                                                                         : QString();
    };
    app.printToPdf(app.path(QStringLiteral("rechnung.pdf")));
    app.click("ButtonPrintRe");

    QCOMPARE(app.list().current().ReNr, 42);
    QCOMPARE(app.list().current().Kosten, 777.0);
    const TGast saved = guestfile::DecodeGuestFile(app.readFile(QStringLiteral("daten/Gaeste.csv")),
                                                   QStringLiteral("Gaeste.csv"))
                            .at(1);
    QCOMPARE(saved.Kosten, 777.0);
    QCOMPARE(saved.ReNr, 42);
    const auto journal = billing::readJournal(app.daten(QStringLiteral("Rechnungen/Rechnungsbuch.csv")));
    QVERIFY(!journal.lines.empty());
    QCOMPARE(journal.lines.back().nr, 42);
    QCOMPARE(journal.lines.back().amount, 777.0);
}

void TestPausedEdits::pausedEditIsAskedAboutAtClosing()
{
    AppFixture app;
    app.writeFile(QStringLiteral("Gaeste.csv"), oneGuest());
    app.dialogs.openFile = app.path(QStringLiteral("Gaeste.csv"));
    app.click("ButtonRead");
    tabInto(app, "EditTelefon");
    typeHere(QStringLiteral("030 999888"));
    QTest::qWait(kPauseMs);
    // Still in the field: the desktop session ends and the host may be asked.
    app.dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Abbrechen"); };
    QVERIFY(!app.sessionEnds(true));
    QCOMPARE(app.dialogs.choicesAsked, QStringList{QStringLiteral("Daten sichern?|Ja|Nein|Abbrechen")});
    app.dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Ja"); };
    QVERIFY(app.window->close());
    QCOMPARE(readBack(app).Telefon, QStringLiteral("030 999888"));
}

QTEST_MAIN(TestPausedEdits)
#include "test_pausededits.moc"
