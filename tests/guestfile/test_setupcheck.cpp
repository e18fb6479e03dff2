// What a house lacks before it can price and print invoices, and where printouts are offered.

#include "guestfile/ProgramFiles.h"
#include "guestfile/SetupCheck.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using guestfile::missingSetup;
using guestfile::PrintoutSuggestion;
using guestfile::SetupGap;
using guestfile::setupHint;
using guestfile::SetupStep;

class TestSetupCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gaps_data();
    void gaps();
    void printoutsGoToTheirFolder();
};

void TestSetupCheck::gaps_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QStringList>("inData");
    QTest::addColumn<QStringList>("inStart");
    QTest::addColumn<bool>("withoutForm");
    QTest::addColumn<QString>("missing"); // steps as letters: D folder, P prices, F form, C counter
    QTest::newRow("no folder") << false << QStringList() << QStringList{"Preismatrix.dat"} << false << "D";
    QTest::newRow("empty folder") << true << QStringList() << QStringList() << false << "PFC";
    QTest::newRow("set up") << true << QStringList{"Preismatrix.dat", "REVORL.JPG", "ReNummer.DAT"} << QStringList()
                            << false << "";
    QTest::newRow("prices and form in the start folder, as before")
        << true << QStringList{"ReNummer.DAT"} << QStringList{"Preismatrix.dat", "REVORL.JPG"} << false << "";
    QTest::newRow("counter only counts in the data folder")
        << true << QStringList{"Preismatrix.dat", "REVORL.JPG"} << QStringList{"ReNummer.DAT"} << false << "C";
    QTest::newRow("without form") << true << QStringList{"Preismatrix.dat", "ReNummer.DAT"} << QStringList() << true
                                  << "";
    QTest::newRow("form wanted") << true << QStringList{"Preismatrix.dat", "ReNummer.DAT"} << QStringList() << false
                                 << "F";
}

void TestSetupCheck::gaps()
{
    QFETCH(bool, folder);
    QFETCH(QStringList, inData);
    QFETCH(QStringList, inStart);
    QFETCH(bool, withoutForm);
    QFETCH(QString, missing);
    QTemporaryDir data, start;
    for (const auto &[dir, names] : {std::pair{&data, inData}, std::pair{&start, inStart}})
        for (const QString &name : names) {
            QFile file(dir->filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    const QString dataFolder = folder ? data.path() + u'/' : QString();
    const std::vector<SetupGap> gaps = missingSetup(dataFolder, start.path(), withoutForm);
    QString steps;
    for (const SetupGap &gap : gaps)
        steps += QStringLiteral("DPFC").at(static_cast<int>(gap.step));
    QCOMPARE(steps, missing);
    const QString hint = setupHint(gaps, dataFolder);
    QCOMPARE(hint.isEmpty(), missing.isEmpty());
    // The hint names each missing file and, once there is one, the folder it is missing from.
    for (const SetupGap &gap : gaps)
        QVERIFY2(gap.step == SetupStep::DataFolder || hint.contains(gap.what), qPrintable(hint));
    if (folder && !missing.isEmpty())
        QVERIFY2(hint.contains(QDir::toNativeSeparators(dataFolder)), qPrintable(hint));
}

void TestSetupCheck::printoutsGoToTheirFolder()
{
    QTemporaryDir data;
    const QString folder = data.path() + u'/';
    QCOMPARE(PrintoutSuggestion(folder, QStringLiteral("Tagesliste"), QStringLiteral("2026-12-27")),
             folder + QStringLiteral("Ausdrucke/Tagesliste 2026-12-27.pdf"));
    QVERIFY(QFileInfo(folder + QStringLiteral("Ausdrucke")).isDir());
    // A file in the folder's place: printouts are offered in the data folder itself.
    QTemporaryDir other;
    QFile blocker(other.filePath(QStringLiteral("Ausdrucke")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    QCOMPARE(PrintoutSuggestion(other.path(), QStringLiteral("Auswertung"), QStringLiteral("2026")),
             other.path() + QStringLiteral("/Auswertung 2026.pdf"));
}

QTEST_MAIN(TestSetupCheck)
#include "test_setupcheck.moc"
