// No export or print to a file may replace one of the program's files: the rule, as a table of
// targets in a real data folder, and the folder where exports are offered.

#include "guestfile/ProgramFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using guestfile::ExportFolder;
using guestfile::ExportSuggestion;
using guestfile::ProgramFileAt;
using guestfile::ProgramFileRefusal;

namespace {

void put(const QString &path, const QByteArray &bytes = "x")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestProgramFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir root_;
    QString data_;  // the data folder
    QString start_; // the folder the program started in

private Q_SLOTS:
    void initTestCase();
    void programFileAt_data();
    void programFileAt();
    void refusalNamesTheFile();
    void exportsAreOfferedInAFolderOfTheirOwn();
};

void TestProgramFiles::initTestCase()
{
    QVERIFY(root_.isValid());
    data_ = root_.filePath(QStringLiteral("Daten"));
    start_ = root_.filePath(QStringLiteral("Start"));
    put(data_ + "/Gaeste.csv");
    put(data_ + "/ReNummer.DAT");
    put(data_ + "/Sicherung/Gaeste 2025-02-20 100503.csv");
    put(data_ + "/Rechnungen/Rechnung 1042.pdf");
    put(data_ + "/Export/Gästeliste 2025-02-19.csv");
    put(data_ + "/.zimbrana-sitzung.lock");
    put(start_ + "/Preismatrix.dat");
    put(start_ + "/REVORL.JPG");
    put(root_.filePath("anderswo/liste.csv"));
    QVERIFY(QFile::link(data_ + "/Gaeste.csv", data_ + "/Export/verweis.csv"));
    QVERIFY(QFile::link(data_ + "/Sicherung", root_.filePath("sicherung-verweis")));
}

void TestProgramFiles::programFileAt_data()
{
    QTest::addColumn<QString>("target"); // below the test's root folder
    QTest::addColumn<QString>("own");    // the program's file named, below the root; empty: none

    QTest::newRow("the guest file") << "Daten/Gaeste.csv"
                                    << "Daten/Gaeste.csv";
    QTest::newRow("the guest file through ..") << "Daten/Export/../Gaeste.csv"
                                               << "Daten/Gaeste.csv";
    QTest::newRow("the invoice counter") << "Daten/ReNummer.DAT"
                                         << "Daten/ReNummer.DAT";
    QTest::newRow("a price list not there yet") << "Daten/Preismatrix.dat"
                                                << "Daten/Preismatrix.dat";
    QTest::newRow("the price list in the start folder") << "Start/Preismatrix.dat"
                                                        << "Start/Preismatrix.dat";
    QTest::newRow("the invoice form") << "Start/REVORL.JPG"
                                      << "Start/REVORL.JPG";
    QTest::newRow("a lock file") << "Daten/.zimbrana-sitzung.lock"
                                 << "Daten/.zimbrana-sitzung.lock";
    QTest::newRow("a backup") << "Daten/Sicherung/Gaeste 2025-02-20 100503.csv"
                              << "Daten/Sicherung";
    QTest::newRow("a new file among the backups") << "Daten/Sicherung/neu.csv"
                                                  << "Daten/Sicherung";
    QTest::newRow("deeper among the invoices") << "Daten/Rechnungen/2025/liste.csv"
                                               << "Daten/Rechnungen";
    QTest::newRow("a kept invoice") << "Daten/Rechnungen/Rechnung 1042.pdf"
                                    << "Daten/Rechnungen";
    QTest::newRow("a link to the guest file") << "Daten/Export/verweis.csv"
                                              << "Daten/Gaeste.csv";
    QTest::newRow("through a link to the backups") << "sicherung-verweis/neu.csv"
                                                   << "Daten/Sicherung";
    QTest::newRow("another case of a name not there") << "Daten/preismatrix.DAT"
                                                      << "Daten/Preismatrix.dat";
    QTest::newRow("an export") << "Daten/Export/Gästeliste 2025-02-19.csv"
                               << "";
    QTest::newRow("a new export") << "Daten/Export/Gästeliste 2025-02-20.csv"
                                  << "";
    QTest::newRow("a csv beside the guest file") << "Daten/Gaeste-Export.csv"
                                                 << "";
    QTest::newRow("elsewhere") << "anderswo/liste.csv"
                               << "";
    QTest::newRow("a guest file's name elsewhere") << "anderswo/Gaeste.csv"
                                                   << "";
}

void TestProgramFiles::programFileAt()
{
    QFETCH(QString, target);
    QFETCH(QString, own);

    const QString found = ProgramFileAt(root_.filePath(target), {data_ + u'/', start_});
    QCOMPARE(found.isEmpty(), own.isEmpty());
    if (!own.isEmpty())
        QCOMPARE(QDir::cleanPath(found), QDir::cleanPath(root_.filePath(own)));
}

void TestProgramFiles::refusalNamesTheFile()
{
    const QString target = data_ + "/Export/verweis.csv";
    const QString message = ProgramFileRefusal(target, ProgramFileAt(target, {data_}));
    QVERIFY2(message.contains(QDir::toNativeSeparators(target)), qPrintable(message));
    QVERIFY2(message.contains(QDir::toNativeSeparators(data_ + "/Gaeste.csv")), qPrintable(message));
    QVERIFY(message.contains(QStringLiteral("anderen Namen wählen")));
    const QString plain = ProgramFileRefusal(data_ + "/Gaeste.csv", data_ + "/Gaeste.csv");
    QVERIFY2(plain.contains(QStringLiteral("gehört zum Programm")), qPrintable(plain));
}

void TestProgramFiles::exportsAreOfferedInAFolderOfTheirOwn()
{
    QTemporaryDir dir;
    const QString data = dir.path() + u'/';
    QVERIFY(!QFileInfo::exists(dir.filePath("Export")));
    const QString suggested = ExportSuggestion(data, QStringLiteral("Gästeliste"), QDate(2025, 2, 20), "csv");
    QCOMPARE(suggested, dir.filePath("Export/Gästeliste 2025-02-20.csv"));
    QVERIFY(QFileInfo(dir.filePath("Export")).isDir());
    QVERIFY(ProgramFileAt(suggested, {data}).isEmpty());

    // Where the folder cannot be made, the data folder itself.
    put(dir.filePath("blocked/Export"));
    QCOMPARE(ExportFolder(dir.filePath("blocked")), dir.filePath("blocked") + u'/');
}

QTEST_MAIN(TestProgramFiles)
#include "test_program_files.moc"
