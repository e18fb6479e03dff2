// What a record must hold before it can be confirmed, and the text a house starts with.

#include "billing/BookingConfirmation.h"
#include "support/GuestBuilder.h"

#include <QRegularExpression>
#include <QTest>

using billing::Briefkopf;
using fixture::Stay;
using guests::TGast;

namespace {

platform::TDateTime d(int year, int month, int day)
{
    return platform::DateToDay(QDate(year, month, day));
}

} // namespace

class TestConfirmationGaps : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gaps_data();
    void gaps();
    void defaultTextIsFilledWhole();
};

void TestConfirmationGaps::gaps_data()
{
    QTest::addColumn<QString>("room");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<QString>("message"); // empty: may be confirmed
    const double mar1 = d(2025, 3, 1);
    const double mar4 = d(2025, 3, 4);
    const QString lacks = QStringLiteral("Für eine Buchungsbestätigung fehlt noch: %1.");
    QTest::newRow("complete") << "13"
                              << "Anna Müller" << mar1 << mar4 << QString();
    QTest::newRow("one night") << "2"
                               << "Anna Müller" << mar1 << mar1 + 1 << QString();
    QTest::newRow("no name") << "1"
                             << "" << mar1 << mar4 << lacks.arg("der Name des Gastes");
    QTest::newRow("name of blanks") << "1"
                                    << "   " << mar1 << mar4 << lacks.arg("der Name des Gastes");
    QTest::newRow("no room") << ""
                             << "Anna Müller" << mar1 << mar4 << lacks.arg("das Zimmer");
    QTest::newRow("no room of the house") << "45"
                                          << "Anna Müller" << mar1 << mar4 << lacks.arg("das Zimmer");
    QTest::newRow("no dates") << "1"
                              << "Anna Müller" << 0.0 << 0.0 << lacks.arg("der Tag der Anreise, der Tag der Abreise");
    QTest::newRow("no departure") << "1"
                                  << "Anna Müller" << mar1 << 0.0 << lacks.arg("der Tag der Abreise");
    QTest::newRow("everything") << ""
                                << "" << 0.0 << 0.0
                                << lacks.arg("der Name des Gastes, das Zimmer, der Tag der Anreise, der Tag der "
                                             "Abreise");
    QTest::newRow("leaves the day it comes")
        << "1"
        << "Anna Müller" << mar1 << mar1
        << "Die Abreise (01.03.2025) liegt nicht nach der Anreise (01.03.2025): so kann die Buchung nicht "
           "bestätigt werden.";
    QTest::newRow("leaves before it comes")
        << "1"
        << "Anna Müller" << mar4 << mar1
        << "Die Abreise (01.03.2025) liegt nicht nach der Anreise (04.03.2025): so kann die Buchung nicht "
           "bestätigt werden.";
}

void TestConfirmationGaps::gaps()
{
    QFETCH(QString, room);
    QFETCH(QString, name);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(QString, message);
    const TGast g = Stay(5, room, 2, from, to, name);
    QCOMPARE(billing::confirmationGaps(g), message);
}

void TestConfirmationGaps::defaultTextIsFilledWhole()
{
    const QString text = billing::defaultConfirmationText();
    // Greeting, arrival and cancellation terms, for a house that has written nothing yet.
    QVERIFY(text.contains(QStringLiteral("Anreise")));
    QVERIFY(text.contains(QStringLiteral("Stornierung")));
    const TGast g = Stay(5, "2", 2, d(2025, 3, 1), d(2025, 3, 4), QStringLiteral("Anna Müller"));
    const Briefkopf house{QStringLiteral("Gasthaus Linde"), {}, {}, {}, {}};
    const QString filled = billing::fillPlaceholders(text, g, house);
    // Every placeholder in it is one the letter fills: none is left for the guest to see.
    QVERIFY2(!filled.contains(QRegularExpression(QStringLiteral("\\{[^}]*\\}"))), qPrintable(filled));
    QVERIFY(filled.startsWith(QStringLiteral("Guten Tag Anna Müller,")));
    QVERIFY(filled.contains(QStringLiteral("vom 01.03.2025 bis zum 04.03.2025 in Zimmer 2")));
    QVERIFY(filled.endsWith(QStringLiteral("Gasthaus Linde")));
}

QTEST_GUILESS_MAIN(TestConfirmationGaps)
#include "test_confirmationgaps.moc"
