// The file of the portal blocks taken over as guests ("Portale/Übernommen.csv").

#include "exchange/PortalFiles.h"
#include "platform/FileIo.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using guests::BlockTakeover;

namespace {

QString described(const std::vector<BlockTakeover> &takeovers)
{
    QStringList lines;
    for (const BlockTakeover &t : takeovers)
        lines << QStringLiteral("%1|%2|%3").arg(t.uid, t.subscription).arg(t.gastNr);
    return lines.join(u'\n');
}

} // namespace

class TestTakeoverFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsAsTouchedByHand_data();
    void readsAsTouchedByHand();
    void savesAndReadsBack();
    void addingKeepsTheOthers();
    void failedSaveKeepsTheFile();
};

void TestTakeoverFile::readsAsTouchedByHand_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("takeovers");
    QTest::addColumn<QStringList>("noteLines");

    QTest::newRow("as written") << QByteArray("UID;Abonnement;Gast-Nr\r\na1@x;Portal A;12\r\n")
                                << "a1@x|Portal A|12" << QStringList();
    QTest::newRow("no header, LF, blanks, empty lines")
        << QByteArray("\n a1 ; Portal A ; 12 \n\nb2;Portal B;3\n") << "a1|Portal A|12\nb2|Portal B|3" << QStringList();
    QTest::newRow("byte-order mark, quotes")
        << QByteArray("\xEF\xBB\xBFuid;abonnement;gast-nr\r\n\"a;1\";\"Grüne \"\"Wiese\"\"\";4\r\n")
        << QStringLiteral("a;1|Grüne \"Wiese\"|4") << QStringList();
    QTest::newRow("Windows-1252") << QByteArray("a1;Gr\xFCne Wiese;4\r\n") << QStringLiteral("a1|Grüne Wiese|4")
                                  << QStringList();
    QTest::newRow("damaged lines")
        << QByteArray("UID;Abonnement;Gast-Nr\r\n;Portal A;1\r\na2;;2\r\na3;Portal A;x\r\na4;Portal A;0\r\n"
                      "a5;Portal A\r\na6;Portal A;6\r\n")
        << "a6|Portal A|6" << QStringList{"2", "3", "4", "5", "6"};
    QTest::newRow("the later line counts")
        << QByteArray("a1;Portal A;1\r\nb;Portal A;2\r\na1;portal a;7\r\n") << "b|Portal A|2\na1|portal a|7"
        << QStringList();
}

void TestTakeoverFile::readsAsTouchedByHand()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, takeovers);
    QFETCH(QStringList, noteLines);
    const exchange::TakeoverList read = exchange::parseTakeovers(file);
    QCOMPARE(described(read.takeovers), takeovers);
    QCOMPARE(read.notes.size(), noteLines.size());
    for (qsizetype i = 0; i < noteLines.size(); ++i)
        QCOMPARE(read.notes[i], QStringLiteral("Übernommen.csv, Zeile %1 ist unlesbar und ausgelassen.").arg(noteLines[i]));
}

void TestTakeoverFile::savesAndReadsBack()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    // A missing file is no takeover, and no error.
    QCOMPARE(exchange::readTakeovers(folder.path()).takeovers.size(), std::size_t(0));

    const std::vector<BlockTakeover> takeovers{{"a1@x", "Portal A", 12}, {"\"b\"; 2", "Grüne Wiese", 3}};
    exchange::saveTakeovers(folder.path(), takeovers);
    const QByteArray bytes = platform::ReadFileBytes(folder.filePath(QStringLiteral("Portale/Übernommen.csv")));
    QCOMPARE(bytes, QByteArray("UID;Abonnement;Gast-Nr\r\na1@x;Portal A;12\r\n\"\"\"b\"\"; 2\";Gr\xC3\xBCne Wiese;3\r\n"));
    const exchange::TakeoverList back = exchange::readTakeovers(folder.path());
    QCOMPARE(back.notes, QStringList());
    QCOMPARE(back.takeovers, takeovers);
}

void TestTakeoverFile::addingKeepsTheOthers()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    exchange::addTakeover(folder.path(), {"a1", "Portal A", 5});
    exchange::addTakeover(folder.path(), {"b1", "Portal B", 6});
    exchange::addTakeover(folder.path(), {"a1", "Portal A", 9});
    QCOMPARE(described(exchange::readTakeovers(folder.path()).takeovers), QStringLiteral("b1|Portal B|6\na1|Portal A|9"));
}

void TestTakeoverFile::failedSaveKeepsTheFile()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    // A file where the folder "Portale" should be: nothing can be saved, and that is said.
    const QString blocker = exchange::portalFolder(folder.path());
    {
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("kein Ordner");
    }
    QString message;
    try {
        exchange::addTakeover(folder.path(), {"b1", "Portal B", 6});
    } catch (const std::exception &error) {
        message = QString::fromUtf8(error.what());
    }
    QVERIFY(!message.isEmpty());
    QCOMPARE(platform::ReadFileBytes(blocker), QByteArray("kein Ordner"));
}

QTEST_GUILESS_MAIN(TestTakeoverFile)
#include "test_takeoverfile.moc"
