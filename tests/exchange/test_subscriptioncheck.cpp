// The subscriptions typed into the settings' table, checked row by row before they are saved.

#include "exchange/SubscriptionCheck.h"

#include <QTest>

using exchange::SubscriptionRow;

Q_DECLARE_METATYPE(std::vector<SubscriptionRow>)

class TestSubscriptionCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void checksRows_data()
    {
        QTest::addColumn<std::vector<SubscriptionRow>>("rows");
        QTest::addColumn<int>("accepted");
        QTest::addColumn<QStringList>("faults");

        const QString ics = QStringLiteral("/home/gh/portal.ics");
        const QString web = QStringLiteral("https://portal.example/cal/1.ics");
        QTest::newRow("good rows") << std::vector<SubscriptionRow>{{"1", "Portal A", web},
                                                                   {"Zimmer 3", "Portal B", ics}}
                                   << 2 << QStringList();
        QTest::newRow("empty row skipped")
            << std::vector<SubscriptionRow>{{" ", "", ""}, {"2", "Portal A", web}} << 1 << QStringList();
        QTest::newRow("unknown room") << std::vector<SubscriptionRow>{{"4", "Portal A", web}} << 0
                                      << QStringList{
                                             QStringLiteral("Zeile 1: Ein Zimmer „4“ gibt es nicht (1 bis 3).")};
        QTest::newRow("room missing") << std::vector<SubscriptionRow>{{"", "Portal A", web}} << 0
                                      << QStringList{QStringLiteral("Zeile 1: Das Zimmer fehlt (1 bis 3).")};
        QTest::newRow("empty name") << std::vector<SubscriptionRow>{{"1", "  ", web}} << 0
                                    << QStringList{QStringLiteral("Zeile 1: Der Name fehlt.")};
        QTest::newRow("same name twice in a room, case ignored")
            << std::vector<SubscriptionRow>{{"1", "Portal A", web}, {"1", "portal a", ics}} << 1
            << QStringList{QStringLiteral("Zeile 2: Zimmer 1 hat schon ein Abonnement „portal a“.")};
        QTest::newRow("same name in two rooms is fine")
            << std::vector<SubscriptionRow>{{"1", "Portal A", web}, {"2", "Portal A", web}} << 2 << QStringList();
        QTest::newRow("address not fetchable")
            << std::vector<SubscriptionRow>{{"1", "Portal A", "ftp://portal.example/a.ics"}} << 0
            << QStringList{QStringLiteral("Zeile 1: „ftp://portal.example/a.ics“ ist keine Adresse, die das Programm "
                                          "abrufen kann (https://…, http://… oder eine .ics-Datei).")};
        QTest::newRow("address missing") << std::vector<SubscriptionRow>{{"1", "Portal A", " "}} << 0
                                         << QStringList{QStringLiteral("Zeile 1: Die Adresse fehlt.")};
        QTest::newRow("every fault of a row")
            << std::vector<SubscriptionRow>{{"0", "", "http://"}} << 0
            << QStringList{QStringLiteral("Zeile 1: Ein Zimmer „0“ gibt es nicht (1 bis 3)."),
                           QStringLiteral("Zeile 1: Der Name fehlt."),
                           QStringLiteral("Zeile 1: „http://“ ist keine Adresse, die das Programm abrufen kann "
                                          "(https://…, http://… oder eine .ics-Datei).")};
    }

    void checksRows()
    {
        QFETCH(std::vector<SubscriptionRow>, rows);
        QFETCH(int, accepted);
        QFETCH(QStringList, faults);
        const exchange::CheckedSubscriptions checked = exchange::checkSubscriptionRows(rows);
        QCOMPARE(checked.faults, faults);
        QCOMPARE(static_cast<int>(checked.subscriptions.size()), accepted);
    }

    void keepsWhatWasTyped()
    {
        const auto checked =
            exchange::checkSubscriptionRows({{" Zimmer 2 ", "  Portal   A ", " https://portal.example/a.ics "}});
        QVERIFY(checked.faults.isEmpty());
        QCOMPARE(checked.subscriptions.size(), std::size_t(1));
        const exchange::Subscription expected{2, QStringLiteral("Portal A"),
                                              QStringLiteral("https://portal.example/a.ics")};
        QCOMPARE(checked.subscriptions.front(), expected);
    }
};

QTEST_GUILESS_MAIN(TestSubscriptionCheck)
#include "test_subscriptioncheck.moc"
