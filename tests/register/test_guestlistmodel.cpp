// The guest table's model, search, filters and sorting without a window.

#include "platform/Clock.h"
#include "platform/Regional.h"
#include "register/GuestFilterModel.h"
#include "register/GuestListModel.h"
#include "register/GuestSearch.h"
#include "register/NewStay.h"
#include "support/GastText.h"
#include "support/GuestListFixture.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using guests::FilterArt;
using guests::GastFilter;
using guests::GuestFilterModel;
using guests::GuestList;
using guests::GuestListModel;
using guests::ImHaus;
using guests::ImZeitraum;
using guests::NeuerAufenthalt;
using guests::OhneUmlautSchreibung;
using guests::SuchForm;
using guests::TGast;
using platform::DateToDay;

namespace {

// The guest numbers of the rows shown, top to bottom.
QList<int> ShownNumbers(const GuestFilterModel &shown)
{
    QList<int> numbers;
    for (const int index : shown.shownRecords())
        numbers << shown.sourceModel()->index(GuestListModel::rowOf(index), 0).data().toInt();
    return numbers;
}

struct Table
{
    GuestList list;
    GuestListModel model{list};
    GuestFilterModel shown{model};
    // Every change the tests make is checked against Qt's rules for models and proxies.
    QAbstractItemModelTester modelRules{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};
    QAbstractItemModelTester shownRules{&shown, QAbstractItemModelTester::FailureReportingMode::QtTest};

    Table() { list.replace(fixture::Gaeste()); }
};

GastFilter Heute(FilterArt art)
{
    GastFilter filter;
    filter.art = art;
    filter.heute = DateToDay(fixture::Heute());
    return filter;
}

} // namespace

class TestGuestListModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
        platform::Clock::fix(QDateTime(fixture::Heute(), QTime(9, 0)));
    }
    void cleanupTestCase() { platform::Clock::release(); }

    void suchForm_data();
    void suchForm();
    void ohneUmlautSchreibung_data();
    void ohneUmlautSchreibung();
    // The search rule, once: what each typed text finds among the fixture's guests.
    void search_data();
    void search();
    void wordsMustAllBeFound();
    void nightsCountFromArrivalToTheDayBeforeDeparture_data();
    void nightsCountFromArrivalToTheDayBeforeDeparture();
    void rowsAndCellsWithoutRecordZero();
    void modelFollowsEveryChange();
    void searchFollowsAnEditedName();
    void sorting_data();
    void sorting();
    void equalOnesKeepTheListsOrder();
    void sortFollowsEveryChange();
    void sumAndShownRecordsFollowTheFilter();
    void newStayCopiesTheAddressOnly();
};

void TestGuestListModel::suchForm_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("umlaut") << QStringLiteral("Müller") << QStringLiteral("muller");
    QTest::newRow("capital umlaut") << QStringLiteral("MÜLLER") << QStringLiteral("muller");
    QTest::newRow("sharp s") << QStringLiteral("Straße") << QStringLiteral("strasse");
    QTest::newRow("capital sharp s") << QStringLiteral("STRAẞE") << QStringLiteral("strasse");
    QTest::newRow("accents") << QStringLiteral("José Éléonore") << QStringLiteral("jose eleonore");
    QTest::newRow("letters without a base letter") << QStringLiteral("Ærø Łódź") << QStringLiteral("aero lodz");
    QTest::newRow("decomposed umlaut") << QStringLiteral("Mu\u0308ller") << QStringLiteral("muller");
    QTest::newRow("control characters dropped") << QStringLiteral("a\tb\x1f"
                                                                  "c\x7f")
                                                << QStringLiteral("abc");
    QTest::newRow("emoji kept") << QStringLiteral("Zimmer 😀") << QStringLiteral("zimmer 😀");
    QTest::newRow("half a surrogate pair dropped")
        << QString(QChar(0xD83D)) + QStringLiteral("x") << QStringLiteral("x");
    QTest::newRow("greek lower case") << QStringLiteral("ΑΘΗΝΑ") << QStringLiteral("αθηνα");
}

void TestGuestListModel::suchForm()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(SuchForm(text)), expected);
}

void TestGuestListModel::ohneUmlautSchreibung_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ue") << QStringLiteral("mueller") << QStringLiteral("muller");
    QTest::newRow("oe") << QStringLiteral("schroeder") << QStringLiteral("schroder");
    QTest::newRow("ae") << QStringLiteral("haensel") << QStringLiteral("hansel");
    QTest::newRow("at the start") << QStringLiteral("uebel") << QStringLiteral("ubel");
    QTest::newRow("ee stays after one reduction") << QStringLiteral("queen") << QStringLiteral("quen");
    QTest::newRow("nothing to reduce") << QStringLiteral("kassel") << QStringLiteral("kassel");
}

void TestGuestListModel::ohneUmlautSchreibung()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(OhneUmlautSchreibung(text.toStdString())), expected);
}

void TestGuestListModel::search_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("expected");
    // Names with and without umlauts, in any case, spelled out or not.
    QTest::newRow("muller") << QStringLiteral("muller") << QList<int>{1, 2};
    QTest::newRow("Mueller") << QStringLiteral("Mueller") << QList<int>{1, 2};
    QTest::newRow("MÜLLER") << QStringLiteral("MÜLLER") << QList<int>{1, 2};
    QTest::newRow("hans müller") << QStringLiteral("hans müller") << QList<int>{1};
    QTest::newRow("schafer") << QStringLiteral("schafer") << QList<int>{3};
    QTest::newRow("Schaefer") << QStringLiteral("Schaefer") << QList<int>{3};
    QTest::newRow("joerg") << QStringLiteral("joerg") << QList<int>{3};
    QTest::newRow("weiss") << QStringLiteral("weiss") << QList<int>{4};
    QTest::newRow("Weiß") << QStringLiteral("Weiß") << QList<int>{4};
    QTest::newRow("aerzte") << QStringLiteral("aerzte") << QList<int>{12};
    QTest::newRow("ärzte") << QStringLiteral("ärzte") << QList<int>{12};
    QTest::newRow("gross") << QStringLiteral("gross") << QList<int>{5};
    // Place, street, telephone, e-mail and remarks.
    QTest::newRow("place koln") << QStringLiteral("koln") << QList<int>{2};
    QTest::newRow("place Goettingen") << QStringLiteral("Goettingen") << QList<int>{3};
    QTest::newRow("street strasse") << QStringLiteral("strasse") << QList<int>{1, 5};
    QTest::newRow("street koenigstr") << QStringLiteral("koenigstr") << QList<int>{1};
    QTest::newRow("e-mail") << QStringLiteral("becker@example") << QList<int>{6};
    QTest::newRow("remark NUSSE") << QStringLiteral("NUSSE") << QList<int>{6};
    QTest::newRow("remark nüsse") << QStringLiteral("nüsse") << QList<int>{6};
    // A number finds the guest number, the invoice number or a telephone number.
    QTest::newRow("guest number") << QStringLiteral("12") << QList<int>{12};
    QTest::newRow("invoice number") << QStringLiteral("17") << QList<int>{1};
    QTest::newRow("invoice number with blanks") << QStringLiteral(" 18 ") << QList<int>{3};
    // Bookings without an invoice hold the invoice number 0; that is no number to find them by.
    QTest::newRow("0 is no invoice number") << QStringLiteral("00") << QList<int>{};
    QTest::newRow("telephone digits without blanks") << QStringLiteral("0661987654") << QList<int>{6};
    QTest::newRow("part of a telephone number") << QStringLiteral("9876") << QList<int>{6};
    QTest::newRow("telephone as typed, in words") << QStringLiteral("98 76") << QList<int>{6};
    QTest::newRow("a number that nobody has") << QStringLiteral("4711") << QList<int>{};
    QTest::newRow("nobody") << QStringLiteral("xyz") << QList<int>{};
}

void TestGuestListModel::search()
{
    QFETCH(QString, typed);
    QFETCH(QList<int>, expected);
    Table table;
    table.shown.sort(GuestListModel::SpalteNr);
    table.shown.setSuche(typed);
    QCOMPARE(ShownNumbers(table.shown), expected);
}

void TestGuestListModel::wordsMustAllBeFound()
{
    Table table;
    table.shown.sort(GuestListModel::SpalteNr);
    table.shown.setSuche(QStringLiteral("hans  KASSEL"));
    QCOMPARE(ShownNumbers(table.shown), QList<int>{1});
    table.shown.setSuche(QStringLiteral("hans köln"));
    QCOMPARE(ShownNumbers(table.shown), QList<int>{});
    // A word never reaches from one field into the next: "kassel" ends the place, "könig" starts the street.
    table.shown.setSuche(QStringLiteral("kasselkönig"));
    QCOMPARE(ShownNumbers(table.shown), QList<int>{});
    table.shown.setSuche(QString());
    QCOMPARE(ShownNumbers(table.shown), (QList<int>{1, 2, 3, 4, 5, 6, 7, 12}));
}

void TestGuestListModel::nightsCountFromArrivalToTheDayBeforeDeparture_data()
{
    QTest::addColumn<QDate>("von");
    QTest::addColumn<QDate>("bis");
    QTest::addColumn<bool>("day19");
    QTest::addColumn<bool>("day20");
    QTest::addColumn<bool>("day21");
    const QDate d19(2025, 2, 19), d20(2025, 2, 20), d21(2025, 2, 21), d22(2025, 2, 22);
    QTest::newRow("one night") << d20 << d21 << false << true << false;
    QTest::newRow("arrives the day before, leaves on the day") << d19 << d20 << true << false << false;
    QTest::newRow("two nights") << d20 << d22 << false << true << true;
    QTest::newRow("no night") << d20 << d20 << false << false << false;
    QTest::newRow("departure before arrival") << d21 << d19 << false << false << false;
}

void TestGuestListModel::nightsCountFromArrivalToTheDayBeforeDeparture()
{
    QFETCH(QDate, von);
    QFETCH(QDate, bis);
    QFETCH(bool, day19);
    QFETCH(bool, day20);
    QFETCH(bool, day21);
    TGast g;
    g.Von = DateToDay(von);
    g.Bis = DateToDay(bis);
    QCOMPARE(ImHaus(g, DateToDay(QDate(2025, 2, 19))), day19);
    QCOMPARE(ImHaus(g, DateToDay(QDate(2025, 2, 20))), day20);
    QCOMPARE(ImHaus(g, DateToDay(QDate(2025, 2, 21))), day21);
    // A stretch counts a stay when any of its days does.
    QCOMPARE(ImZeitraum(g, DateToDay(QDate(2025, 2, 19)), DateToDay(QDate(2025, 2, 21))), day19 || day20 || day21);
}

void TestGuestListModel::rowsAndCellsWithoutRecordZero()
{
    GuestList list;
    list.modifyCurrent([](TGast &g) { g.Name = QStringLiteral("Platzhalter"); });
    GuestListModel model(list);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 12);

    list.replace(fixture::Gaeste());
    QCOMPARE(model.rowCount(), 8);
    const QStringList titles = {
        QStringLiteral("Nr."),          QStringLiteral("Name"),     QStringLiteral("Ort"),
        QStringLiteral("Anreise"),      QStringLiteral("Abreise"),  QStringLiteral("Nächte"),
        QStringLiteral("Zimmer"),       QStringLiteral("Personen"), QStringLiteral("Kosten"),
        QStringLiteral("Rechnung Nr."), QStringLiteral("Bezahlt"),  QStringLiteral("Schlüssel")};
    QStringList shown;
    for (int c = 0; c < model.columnCount(); ++c)
        shown << model.headerData(c, Qt::Horizontal).toString();
    QCOMPARE(shown, titles);

    QStringList first;
    for (int c = 0; c < model.columnCount(); ++c)
        first << model.index(0, c).data().toString();
    QCOMPARE(first, (QStringList{"1", "Hans Müller", "Kassel", "18.02.2025", "21.02.2025", "3", "1", "2", "180,00 €",
                                 "17", "nein", "ja"}));
    QCOMPARE(model.index(0, 0).data(GuestListModel::RecordRole).toInt(), 1);
    // No invoice and no cost: nothing rather than zeros.
    QCOMPARE(model.index(3, GuestListModel::SpalteReNr).data().toString(), QString());
    QCOMPARE(model.index(3, GuestListModel::SpalteKosten).data().toString(), QString());
}

void TestGuestListModel::modelFollowsEveryChange()
{
    GuestList list;
    list.replace(fixture::Gaeste());
    GuestListModel model(list);
    GuestFilterModel shown(model);
    // A view asks for the rows while they are announced: the list must still hold them then.
    const QAbstractItemModelTester modelRules(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QAbstractItemModelTester shownRules(&shown, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QString nameWhenRemovalAnnounced;
    connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, this, [&](const QModelIndex &, int first) {
        nameWhenRemovalAnnounced = model.index(first, GuestListModel::SpalteName).data().toString();
    });
    const QString nameOfRemoved = model.index(1, GuestListModel::SpalteName).data().toString();
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    const int index = list.appendNew();
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), index - 1);
    QCOMPARE(model.rowCount(), 9);

    list.modify(3, [](TGast &g) { g.Name = QStringLiteral("Jörg Schäfer-Kunz"); });
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex().row(), 2);
    QCOMPARE(model.index(2, GuestListModel::SpalteName).data().toString(), QStringLiteral("Jörg Schäfer-Kunz"));

    list.select(2);
    QVERIFY(list.removeCurrent());
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 1);
    QCOMPARE(nameWhenRemovalAnnounced, nameOfRemoved);
    QCOMPARE(model.rowCount(), 8);
    QCOMPARE(model.index(1, GuestListModel::SpalteName).data().toString(), QStringLiteral("Jörg Schäfer-Kunz"));

    list.replace({TGast()});
    QCOMPARE(reset.count(), 1);
    QCOMPARE(model.rowCount(), 0);
}

void TestGuestListModel::searchFollowsAnEditedName()
{
    Table table;
    table.shown.setSuche(QStringLiteral("schroder"));
    QCOMPARE(table.shown.rowCount(), 0);
    // The host mends a name elsewhere; the search sees the new name at once.
    table.list.modify(3, [](TGast &g) { g.Name = QStringLiteral("Jörg Schröder"); });
    QCOMPARE(ShownNumbers(table.shown), QList<int>{3});
    table.list.modify(3, [](TGast &g) { g.Name = QStringLiteral("Jörg Schäfer"); });
    QCOMPARE(table.shown.rowCount(), 0);
}

void TestGuestListModel::sorting_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QList<int>>("expected");
    // 12 after 7, not after 1 as text would sort it.
    QTest::newRow("Nr.") << int(GuestListModel::SpalteNr) << false << QList<int>{1, 2, 3, 4, 5, 6, 7, 12};
    // Last year's stay first, not by the day of the month; on the same day by the time of arrival.
    QTest::newRow("Anreise") << int(GuestListModel::SpalteAnreise) << false << QList<int>{6, 3, 1, 12, 7, 2, 4, 5};
    QTest::newRow("Abreise descending") << int(GuestListModel::SpalteAbreise) << true
                                        << QList<int>{5, 4, 12, 2, 1, 7, 3, 6};
    // "Ärzte" beside "Anna", not after "Z"; "Mueller" before "Müller" as German dictionaries order them.
    QTest::newRow("Name") << int(GuestListModel::SpalteName) << false << QList<int>{4, 12, 2, 1, 3, 6, 5, 7};
    QTest::newRow("Ort") << int(GuestListModel::SpalteOrt) << false << QList<int>{12, 6, 3, 5, 1, 2, 7, 4};
    QTest::newRow("Nächte") << int(GuestListModel::SpalteNaechte) << false << QList<int>{7, 2, 6, 1, 4, 5, 12, 3};
    // 25 before 95 before 120,50, as numbers; equal costs keep the list's order.
    QTest::newRow("Kosten") << int(GuestListModel::SpalteKosten) << false << QList<int>{4, 5, 7, 6, 2, 1, 3, 12};
    QTest::newRow("Rechnung Nr.") << int(GuestListModel::SpalteReNr) << false << QList<int>{2, 4, 5, 12, 6, 1, 3, 7};
    // Descending turns the list's order of equal ones around as well.
    QTest::newRow("Bezahlt descending") << int(GuestListModel::SpalteBezahlt) << true
                                        << QList<int>{6, 3, 12, 7, 5, 4, 2, 1};
}

void TestGuestListModel::sorting()
{
    QFETCH(int, column);
    QFETCH(bool, descending);
    QFETCH(QList<int>, expected);
    Table table;
    table.shown.sort(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    QCOMPARE(ShownNumbers(table.shown), expected);
}

void TestGuestListModel::equalOnesKeepTheListsOrder()
{
    Table table;
    table.shown.sort(GuestListModel::SpalteNr, Qt::DescendingOrder);
    // Whatever was shown before: Schäfer and Roth leave at the same time, Weiß and Großmann cost nothing.
    table.shown.sort(GuestListModel::SpalteAbreise);
    QCOMPARE(ShownNumbers(table.shown), (QList<int>{6, 3, 7, 1, 2, 12, 4, 5}));
    table.shown.sort(GuestListModel::SpalteKosten);
    QCOMPARE(ShownNumbers(table.shown).mid(0, 2), (QList<int>{4, 5}));
}

void TestGuestListModel::sortFollowsEveryChange()
{
    Table table;
    table.shown.sort(GuestListModel::SpalteName);
    table.shown.setSuche(QStringLiteral("a")); // every name here holds an "a", a new empty booking does not
    QCOMPARE(ShownNumbers(table.shown), (QList<int>{4, 12, 2, 1, 3, 6, 5, 7}));

    // A name mended elsewhere moves the row to its new place at once.
    table.list.modify(7, [](TGast &g) { g.Name = QStringLiteral("Adam Roth"); });
    QCOMPARE(ShownNumbers(table.shown), (QList<int>{7, 4, 12, 2, 1, 3, 6, 5}));

    // A new booking gets its place as soon as it has a name that the search finds.
    const int index = table.list.appendNew();
    QVERIFY(!ShownNumbers(table.shown).contains(13));
    table.list.modify(index, [](TGast &g) { g.Name = QStringLiteral("Zara Öztürk"); });
    QCOMPARE(ShownNumbers(table.shown), (QList<int>{7, 4, 12, 2, 1, 3, 6, 5, 13}));

    table.list.select(1);
    QVERIFY(table.list.removeCurrent());
    QCOMPARE(ShownNumbers(table.shown), (QList<int>{7, 4, 12, 2, 3, 6, 5, 13}));

    // Sorted by another column with the same rows.
    table.shown.sort(GuestListModel::SpalteNr, Qt::DescendingOrder);
    QCOMPARE(ShownNumbers(table.shown), (QList<int>{13, 12, 7, 6, 5, 4, 3, 2}));

    // Numbers too: a cost computed elsewhere moves its row; so do two changes before the next sort.
    table.shown.sort(GuestListModel::SpalteKosten);
    QCOMPARE(ShownNumbers(table.shown), (QList<int>{4, 5, 13, 7, 6, 2, 3, 12}));
    table.list.modify(3, [](TGast &g) { g.Kosten = 100; });  // guest 4
    table.list.modify(7, [](TGast &g) { g.Kosten = 1000; }); // guest 12
    QCOMPARE(ShownNumbers(table.shown), (QList<int>{5, 13, 7, 6, 4, 2, 3, 12}));
    table.list.modify(1, [](TGast &g) { g.Kosten = 99; }); // guest 2
    QCOMPARE(ShownNumbers(table.shown), (QList<int>{5, 13, 7, 6, 2, 4, 3, 12}));
}

void TestGuestListModel::sumAndShownRecordsFollowTheFilter()
{
    Table table;
    table.shown.sort(GuestListModel::SpalteNr);
    QCOMPARE(table.shown.kostenSumme(), 180 + 120.5 + 400 + 95 + 25 + 640);

    table.shown.setFilter(Heute(FilterArt::Unbezahlt));
    QCOMPARE(ShownNumbers(table.shown), (QList<int>{1, 7}));
    QCOMPARE(table.shown.kostenSumme(), 205.0);
    QCOMPARE(table.shown.shownRecords(), (std::vector<int>{1, 7}));
    QCOMPARE(table.shown.rowOfRecord(7), 1);
    QCOMPARE(table.shown.rowOfRecord(2), -1);
    QCOMPARE(table.shown.rowOfRecord(0), -1);

    // Paying moves the booking out of the filter at once.
    table.list.modify(1, [](TGast &g) { g.Bezahlt = true; });
    QCOMPARE(ShownNumbers(table.shown), QList<int>{7});
    QCOMPARE(table.shown.kostenSumme(), 25.0);
}

void TestGuestListModel::newStayCopiesTheAddressOnly()
{
    GuestList list;
    std::vector<TGast> records = fixture::Gaeste();
    TGast &earlier = records[6];
    earlier.Strasse = QStringLiteral("Am Dom 2");
    earlier.PLZ = 36037;
    earlier.Anreise = 0.6;
    earlier.Schluessel = true;
    list.replace(records);
    const TGast before = list.at(6);

    const int index = NeuerAufenthalt(list, 6);
    QCOMPARE(index, 9);
    QCOMPARE(list.currentIndex(), 9);
    QVERIFY(list.changed());
    QCOMPARE(list.at(6), before);

    TGast expected;
    expected.GastNr = 13; // one above the highest number
    expected.Personen = 1;
    expected.Von = DateToDay(fixture::Heute());
    expected.Bis = expected.Von;
    expected.Name = QStringLiteral("Olga Becker");
    expected.Strasse = QStringLiteral("Am Dom 2");
    expected.PLZ = 36037;
    expected.Ort = QStringLiteral("Fulda");
    expected.Telefon = QStringLiteral("0661 / 98 76 54");
    expected.EMail = QStringLiteral("o.becker@example.de");
    QCOMPARE(Describe(list.at(index)), Describe(expected));
}

QTEST_GUILESS_MAIN(TestGuestListModel)
#include "test_guestlistmodel.moc"
