// What a fetch says about the house's own bookings: a portal's block on nights a guest already
// has, and a booking taken over as a guest that the portal's calendar no longer holds.

#include "exchange/PortalFindings.h"
#include "support/GuestBuilder.h"

#include <QTest>

using fixture::Stay;
using guests::BlockTakeover;
using guests::PortalBlock;
using guests::TGast;

namespace {

platform::TDateTime d(const QDate &date)
{
    return platform::DateToDay(date);
}

platform::TDateTime mar(int day)
{
    return d(QDate(2027, 3, day));
}

// The house in March 2027, today the 1st.
platform::TDateTime today()
{
    return mar(1);
}

std::vector<TGast> house()
{
    return fixture::List({
        Stay(12, "2", 2, mar(3), mar(6), QStringLiteral("Sabine Krüger")),
        Stay(13, "13", 3, mar(5), mar(8), QStringLiteral("Max Brandt")),
        Stay(14, "2", 1, mar(6), mar(7)), // no name yet
        Stay(15, "2", 2, d(QDate(2027, 2, 1)), d(QDate(2027, 2, 3)), QStringLiteral("Jan Ott")),
        Stay(16, "1", 2, d(QDate(2027, 12, 28)), d(QDate(2028, 1, 2)), QStringLiteral("Eva Lang")),
    });
}

PortalBlock airbnb(int room, platform::TDateTime from, platform::TDateTime to)
{
    PortalBlock block = fixture::Block(room, from, to, QStringLiteral("Airbnb"));
    block.uid = QStringLiteral("HMX42");
    return block;
}

// The block taken over as guest `gastNr` (0: not taken over).
std::vector<BlockTakeover> takenOverAs(const PortalBlock &block, qint32 gastNr)
{
    if (gastNr == 0)
        return {};
    return {BlockTakeover{block.uid, block.subscription, gastNr}};
}

} // namespace

class TestPortalFindings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void conflicts_data()
    {
        QTest::addColumn<int>("room");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<int>("takenOverAs");
        QTest::addColumn<QString>("said");
        const QString head = QStringLiteral("Airbnb blockiert Zimmer 2 vom ");
        QTest::newRow("on a guest's nights") << 2 << QDate(2027, 3, 3) << QDate(2027, 3, 6) << 0
                                             << head + QStringLiteral("03.03.2027 bis 06.03.2027: auch Sabine Krüger "
                                                                      "(Gast 12)");
        QTest::newRow("one night of two guests")
            << 2 << QDate(2027, 3, 5) << QDate(2027, 3, 7) << 0
            << head + QStringLiteral("05.03.2027 bis 07.03.2027: auch Sabine Krüger (Gast 12) und Gast 14");
        QTest::newRow("a room of several") << 3 << QDate(2027, 3, 7) << QDate(2027, 3, 9) << 0
                                           << QStringLiteral("Airbnb blockiert Zimmer 3 vom 07.03.2027 bis "
                                                             "09.03.2027: auch Max Brandt (Gast 13)");
        QTest::newRow("leaving on the guest's arrival day")
            << 2 << QDate(2027, 3, 1) << QDate(2027, 3, 3) << 0 << QString();
        QTest::newRow("another room") << 3 << QDate(2027, 3, 3) << QDate(2027, 3, 5) << 0 << QString();
        QTest::newRow("the guest made from it") << 2 << QDate(2027, 3, 3) << QDate(2027, 3, 6) << 12 << QString();
        QTest::newRow("made into one guest, clashing with another")
            << 2 << QDate(2027, 3, 3) << QDate(2027, 3, 7) << 12
            << head + QStringLiteral("03.03.2027 bis 07.03.2027: auch Gast 14");
        QTest::newRow("over before today") << 2 << QDate(2027, 2, 1) << QDate(2027, 2, 3) << 0 << QString();
    }

    void conflicts()
    {
        QFETCH(int, room);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(int, takenOverAs);
        QFETCH(QString, said);
        const PortalBlock block = airbnb(room, d(from), d(to));
        const QStringList lines =
            exchange::blockConflicts({block}, ::takenOverAs(block, takenOverAs), house(), today());
        QCOMPARE(lines, said.isEmpty() ? QStringList() : QStringList{said});
    }

    void vanished_data()
    {
        QTest::addColumn<int>("takenOverAs");
        QTest::addColumn<QString>("said");
        const QString check = QStringLiteral(" nicht mehr im Kalender – bitte prüfen, ob sie storniert wurde.");
        QTest::newRow("taken over as a guest")
            << 12 << QStringLiteral("Airbnb hat die Buchung von Sabine Krüger (Gast 12, 03.03.–06.03.2027)") + check;
        QTest::newRow("a guest without a name")
            << 14 << QStringLiteral("Airbnb hat die Buchung von Gast 14 (06.03.–07.03.2027)") + check;
        QTest::newRow("across the new year")
            << 16 << QStringLiteral("Airbnb hat die Buchung von Eva Lang (Gast 16, 28.12.2027–02.01.2028)") + check;
        QTest::newRow("never taken over") << 0 << QString();
        QTest::newRow("the guest was deleted") << 99 << QString();
        QTest::newRow("the stay is over") << 15 << QString();
    }

    void vanished()
    {
        QFETCH(int, takenOverAs);
        QFETCH(QString, said);
        const PortalBlock released = airbnb(2, mar(3), mar(6));
        const std::vector<TGast> records = house();
        const QStringList lines =
            exchange::vanishedBookings({released}, ::takenOverAs(released, takenOverAs), records, today());
        QCOMPARE(lines, said.isEmpty() ? QStringList() : QStringList{said});
    }

    void anotherSubscriptionsTakeoverIsNotThisBlocks()
    {
        // GIVEN Sabine made from Booking's block "HMX42", and Airbnb's block of the same UID
        const PortalBlock released = airbnb(2, mar(3), mar(6));
        const std::vector<BlockTakeover> takeovers{{released.uid, QStringLiteral("Booking"), 12}};
        // THEN Airbnb's block vanishing says nothing of her, and it is a conflict with her
        QCOMPARE(exchange::vanishedBookings({released}, takeovers, house(), today()), QStringList());
        QCOMPARE(exchange::blockConflicts({released}, takeovers, house(), today()).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestPortalFindings)
#include "test_portalfindings.moc"
