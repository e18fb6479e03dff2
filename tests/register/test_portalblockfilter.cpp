// The portal blocks the guest list shows beside the bookings: the guests' choice of days, and
// the search in the portal's name or text.

#include "register/PortalBlockFilter.h"

#include <QTest>

using guests::FilterArt;
using guests::GastFilter;
using guests::PortalBlock;

namespace {

platform::TDateTime d(int day)
{
    return platform::DateToDay(QDate(2025, 2, day));
}

// Portal A has room 1 from the 18th to the 20th (leaving today, the 20th), Portal B room 2 from
// today to the 23rd, Portal C room 3 from the 25th to the 27th.
std::vector<PortalBlock> blocks()
{
    return {
        {1, d(18), d(20), QStringLiteral("Portal A"), QStringLiteral("a"), QStringLiteral("Reserved"), {}},
        {2, d(20), d(23), QStringLiteral("Portal B"), QStringLiteral("b"), QStringLiteral("Buchung Meier"), {}},
        {3, d(25), d(27), QStringLiteral("Portal C"), QStringLiteral("c"), QStringLiteral("Reserved"), {}},
    };
}

} // namespace

class TestPortalBlockFilter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shown_data()
    {
        QTest::addColumn<int>("art");
        QTest::addColumn<int>("von"); // for the stretch of days
        QTest::addColumn<int>("bis");
        QTest::addColumn<QString>("search");
        QTest::addColumn<std::vector<int>>("expected");

        const int alle = static_cast<int>(FilterArt::Alle);
        QTest::newRow("all") << alle << 0 << 0 << QString() << std::vector<int>{0, 1, 2};
        QTest::newRow("in the house today: the leaving one sleeps elsewhere")
            << static_cast<int>(FilterArt::HeuteImHaus) << 0 << 0 << QString() << std::vector<int>{1};
        QTest::newRow("arriving today") << static_cast<int>(FilterArt::AnreisenHeute) << 0 << 0 << QString()
                                        << std::vector<int>{1};
        QTest::newRow("leaving today") << static_cast<int>(FilterArt::AbreisenHeute) << 0 << 0 << QString()
                                       << std::vector<int>{0};
        QTest::newRow("coming 30 days") << static_cast<int>(FilterArt::Kommende30Tage) << 0 << 0 << QString()
                                        << std::vector<int>{1, 2};
        QTest::newRow("unpaid: a portal bills its own")
            << static_cast<int>(FilterArt::Unbezahlt) << 0 << 0 << QString() << std::vector<int>{};
        QTest::newRow("without invoice: a portal bills its own")
            << static_cast<int>(FilterArt::OhneRechnung) << 0 << 0 << QString() << std::vector<int>{};
        QTest::newRow("stretch of days") << static_cast<int>(FilterArt::Zeitraum) << 22 << 25 << QString()
                                         << std::vector<int>{1, 2};
        QTest::newRow("search in the name, case ignored")
            << alle << 0 << 0 << QStringLiteral("portal c") << std::vector<int>{2};
        QTest::newRow("search in the text") << alle << 0 << 0 << QStringLiteral("meier") << std::vector<int>{1};
        QTest::newRow("search and filter together") << static_cast<int>(FilterArt::Kommende30Tage) << 0 << 0
                                                    << QStringLiteral("Reserved") << std::vector<int>{2};
    }

    void shown()
    {
        QFETCH(int, art);
        QFETCH(int, von);
        QFETCH(int, bis);
        QFETCH(QString, search);
        QFETCH(std::vector<int>, expected);
        GastFilter filter;
        filter.art = static_cast<FilterArt>(art);
        filter.heute = d(20);
        filter.von = von ? d(von) : 0;
        filter.bis = bis ? d(bis) : 0;
        QCOMPARE(guests::blocksShown(blocks(), filter, search), expected);
    }
};

QTEST_GUILESS_MAIN(TestPortalBlockFilter)
#include "test_portalblockfilter.moc"
