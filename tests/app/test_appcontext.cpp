// What the windows share: the house's postal code read once and announced when it changes, the
// picks for a booking, and the data folder's files asked for once before a folder is chosen.

#include "app/AppContext.h"
#include "guestfile/Settings.h"
#include "platform/Error.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using app::AppContext;
using calendar::PickState;
using guestfile::housePostalCode;
using guestfile::RememberDataFolder;
using guestfile::RememberedDataFolder;
using guestfile::setHousePostalCode;

class TestAppContext : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        setHousePostalCode(10115);
        RememberDataFolder(QString());
    }

    void postalCodeIsReadOnce();
    void postalCodeSet_data();
    void postalCodeSet();
    void picksAreSharedAndOffered();
    void dataPathAsksForTheFolderOnce();
    void dataPathWithoutAnswer_data();
    void dataPathWithoutAnswer();

private:
    ScriptedDialogs::Script script_;
    std::unique_ptr<AppContext> makeContext()
    {
        script_ = {};
        return std::make_unique<AppContext>(std::make_unique<ScriptedDialogs>(script_));
    }
};

void TestAppContext::postalCodeIsReadOnce()
{
    // GIVEN a context made while the settings hold 10115
    const auto context = makeContext();
    QSignalSpy announced(context.get(), &AppContext::postalCodeChanged);
    QCOMPARE(context->postalCode(), 10115);

    // WHEN the settings change behind its back THEN it keeps the code it read (no painted cell reads the file)
    setHousePostalCode(80331);
    QCOMPARE(context->postalCode(), 10115);
    QCOMPARE(announced.size(), 0);

    // WHEN it reads the settings again THEN it takes the new code and says so once
    context->readSettings();
    QCOMPARE(context->postalCode(), 80331);
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced.at(0).at(0).toInt(), 80331);
    context->readSettings();
    QCOMPARE(announced.size(), 1);
}

void TestAppContext::postalCodeSet_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("kept");
    QTest::addColumn<int>("announcements");

    QTest::newRow("another code") << 1067 << 1067 << 1;
    QTest::newRow("the same code") << 10115 << 10115 << 0;
    // Refused as the settings refuse it: nothing is kept, nothing announced.
    QTest::newRow("no German code") << 0 << 10115 << 0;
}

void TestAppContext::postalCodeSet()
{
    QFETCH(int, code);
    QFETCH(int, kept);
    QFETCH(int, announcements);

    const auto context = makeContext();
    QSignalSpy announced(context.get(), &AppContext::postalCodeChanged);
    bool refused = false;
    try {
        context->setPostalCode(code);
    } catch (const platform::Error &) {
        refused = true;
    }
    QCOMPARE(refused, code != kept);
    QCOMPARE(context->postalCode(), kept);
    QCOMPARE(housePostalCode(), kept);
    QCOMPARE(announced.size(), announcements);
}

void TestAppContext::picksAreSharedAndOffered()
{
    const auto context = makeContext();
    std::vector<PickState> changed;
    std::vector<PickState> offered;
    connect(context.get(), &AppContext::picksChanged, this, [&](const PickState &p) { changed.push_back(p); });
    connect(context.get(), &AppContext::picksOffered, this, [&](const PickState &p) { offered.push_back(p); });
    PickState picks;
    picks.pick(2, 45700);
    picks.pick(2, 45703);

    // Offered picks are a request: the context holds them only once the main window takes them.
    context->offerPicks(picks);
    QCOMPARE(offered.size(), std::size_t(1));
    QCOMPARE(offered.front().room(), 2);
    QVERIFY(context->picks().empty());
    QVERIFY(changed.empty());

    // Taken, every window that shows them hears of them.
    context->setPicks(picks);
    QCOMPARE(context->picks().room(), 2);
    QCOMPARE(context->picks().first(), 45700.0);
    QCOMPARE(context->picks().last(), 45703.0);
    QCOMPARE(changed.size(), std::size_t(1));
    QCOMPARE(changed.front().last(), 45703.0);
}

void TestAppContext::dataPathAsksForTheFolderOnce()
{
    // GIVEN no data folder chosen yet, and the host picking a guest file in "daten"
    QTemporaryDir work;
    QVERIFY(QDir(work.path()).mkdir(QStringLiteral("daten")));
    const QString folder = work.filePath(QStringLiteral("daten/"));
    const auto context = makeContext();
    script_.openFile = folder + QStringLiteral("Gaeste.csv");

    // WHEN two files of the folder are asked for
    const QString counter = context->dataPath(nullptr, QStringLiteral("ReNummer.DAT"), false);
    const QString guests = context->dataPath(nullptr, QStringLiteral("Gaeste.csv"), false);

    // THEN the host was asked once, and both lie in that folder, which the next start remembers
    QCOMPARE(script_.openAsked, 1);
    QCOMPARE(counter, folder + QStringLiteral("ReNummer.DAT"));
    QCOMPARE(guests, folder + QStringLiteral("Gaeste.csv"));
    QCOMPARE(context->guestFilePath(), guests);
    QCOMPARE(context->invoiceCounterPath(), counter);
    QCOMPARE(context->invoiceFolder(), folder + QStringLiteral("Rechnungen"));
    QCOMPARE(context->chosenFolder(), folder);
    QCOMPARE(RememberedDataFolder(), folder);
}

void TestAppContext::dataPathWithoutAnswer_data()
{
    QTest::addColumn<bool>("forSaving");
    QTest::addColumn<QString>("path");

    // Reading may fall back to the working folder, where nothing can be lost; a save may not.
    QTest::newRow("reading") << false << QStringLiteral("Gaeste.csv");
    QTest::newRow("saving") << true << QString();
}

void TestAppContext::dataPathWithoutAnswer()
{
    QFETCH(bool, forSaving);
    QFETCH(QString, path);

    const auto context = makeContext();
    QCOMPARE(context->dataPath(nullptr, QStringLiteral("Gaeste.csv"), forSaving), path);
    QCOMPARE(script_.openAsked + script_.saveAsked, 1);
    QCOMPARE(forSaving ? script_.saveAsked : script_.openAsked, 1);
    QVERIFY(!context->dataFolder().chosen());
    QCOMPARE(context->chosenFolder(), QString());
    QCOMPARE(RememberedDataFolder(), QString());
}

QTEST_MAIN(TestAppContext)
#include "test_appcontext.moc"
