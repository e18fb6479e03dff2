// Portal blocks taken over as guests: which blocks still count beside the guest list.

#include "register/BlockTakeover.h"

#include <QTest>

using guests::BlockTakeover;
using guests::PortalBlock;
using guests::TGast;

namespace {

double day(int d)
{
    return platform::DateToDay(QDate(2025, 3, d));
}

TGast guest(qint32 nr, const QString &zimmer, double von, double bis)
{
    TGast g;
    g.GastNr = nr;
    g.Zimmer = zimmer;
    g.Von = von;
    g.Bis = bis;
    return g;
}

} // namespace

class TestBlockTakeover : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hidesOnlyWhatAGuestStandsFor_data();
    void hidesOnlyWhatAGuestStandsFor();
    void takingOverAgainReplaces();
};

void TestBlockTakeover::hidesOnlyWhatAGuestStandsFor_data()
{
    QTest::addColumn<std::vector<TGast>>("records");
    QTest::addColumn<std::vector<BlockTakeover>>("takeovers");
    QTest::addColumn<QStringList>("shownUids");

    // Two blocks of room 2, 1.–4.3. (u1, Portal A) and 10.–12.3. (u2, Portal B).
    const TGast zero;
    const std::vector<BlockTakeover> u1to5{{"u1", "Portal A", 5}};
    QTest::newRow("nothing taken over") << std::vector<TGast>{zero, guest(5, "2", day(1), day(4))}
                                        << std::vector<BlockTakeover>{} << QStringList{"u1", "u2"};
    QTest::newRow("taken over") << std::vector<TGast>{zero, guest(5, "2", day(1), day(4))} << u1to5
                                << QStringList{"u2"};
    // Times of day belong to the guest, not to the portal's whole days.
    QTest::newRow("with times of day") << std::vector<TGast>{zero, guest(5, "12", day(1) + 0.5, day(4) + 0.25)}
                                       << u1to5 << QStringList{"u2"};
    QTest::newRow("name retyped") << std::vector<TGast>{zero, guest(5, "2", day(1), day(4))}
                                  << std::vector<BlockTakeover>{{"u1", " portal  a", 5}} << QStringList{"u2"};
    QTest::newRow("guest deleted") << std::vector<TGast>{zero, guest(6, "2", day(1), day(4))} << u1to5
                                   << QStringList{"u1", "u2"};
    QTest::newRow("guest's days changed") << std::vector<TGast>{zero, guest(5, "2", day(1), day(5))} << u1to5
                                          << QStringList{"u1", "u2"};
    QTest::newRow("guest in another room") << std::vector<TGast>{zero, guest(5, "3", day(1), day(4))} << u1to5
                                           << QStringList{"u1", "u2"};
    QTest::newRow("other subscription's UID") << std::vector<TGast>{zero, guest(5, "2", day(1), day(4))}
                                              << std::vector<BlockTakeover>{{"u1", "Portal B", 5}}
                                              << QStringList{"u1", "u2"};
    // The placeholder record 0 is no guest, even when an old file gave it a number.
    QTest::newRow("record 0") << std::vector<TGast>{guest(5, "2", day(1), day(4))} << u1to5
                              << QStringList{"u1", "u2"};
    QTest::newRow("number twice, second fits")
        << std::vector<TGast>{zero, guest(5, "1", day(7), day(8)), guest(5, "2", day(1), day(4))} << u1to5
        << QStringList{"u2"};
}

void TestBlockTakeover::hidesOnlyWhatAGuestStandsFor()
{
    QFETCH(std::vector<TGast>, records);
    QFETCH(std::vector<BlockTakeover>, takeovers);
    QFETCH(QStringList, shownUids);
    const std::vector<PortalBlock> blocks{{2, day(1), day(4), "Portal A", "u1", "Reserved", {}},
                                          {2, day(10), day(12), "Portal B", "u2", "Reserved", {}}};

    QStringList shown;
    for (const PortalBlock &b : guests::blocksNotTakenOver(blocks, takeovers, records))
        shown << b.uid;
    QCOMPARE(shown, shownUids);

    // A block the portal moved to other days is the same booking, yet no longer the guest's stay.
    std::vector<PortalBlock> moved = blocks;
    moved[0].from = day(2);
    QCOMPARE(guests::blocksNotTakenOver(moved, takeovers, records).front().uid, QStringLiteral("u1"));
}

void TestBlockTakeover::takingOverAgainReplaces()
{
    std::vector<BlockTakeover> all = guests::withTakeover({}, {"u1", "Portal A", 5});
    all = guests::withTakeover(all, {"u2", "Portal A", 6});
    all = guests::withTakeover(all, {"u1", "portal a", 9});
    QCOMPARE(all, (std::vector<BlockTakeover>{{"u2", "Portal A", 6}, {"u1", "portal a", 9}}));
    const PortalBlock block{1, day(1), day(2), "Portal A", "u1", "", {}};
    QVERIFY(guests::takeoverOf(all, block));
    QCOMPARE(guests::takeoverOf(all, block)->gastNr, 9);
    QVERIFY(!guests::takeoverOf(all, PortalBlock{1, day(1), day(2), "Portal A", "", "", {}}));
}

QTEST_GUILESS_MAIN(TestBlockTakeover)
#include "test_blocktakeover.moc"
