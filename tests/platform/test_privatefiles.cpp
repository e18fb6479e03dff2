// Files that name guests: their names made from what a host typed, distinct per guest, and the
// folders and files the program makes for them its owner's alone from the start.

#include "platform/FileNames.h"
#include "platform/IoError.h"
#include "platform/PrivateFiles.h"
#include "support/Permissions.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using permissions::kOwnerFile;
using permissions::kOwnerFolder;
using permissions::modeOf;

class TestPrivateFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileNamePart_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("part");
        QTest::newRow("plain name") << QStringLiteral("Sabine Krüger") << QStringLiteral("Sabine Krüger");
        QTest::newRow("blanks tidied") << QStringLiteral("  Anna \t Weiß\n") << QStringLiteral("Anna Weiß");
        QTest::newRow("two dots") << QStringLiteral("..") << QStringLiteral("__");
        QTest::newRow("four dots") << QStringLiteral("....") << QStringLiteral("____");
        QTest::newRow("slash") << QStringLiteral("/") << QStringLiteral("_");
        QTest::newRow("climbing out") << QStringLiteral("../../etc/passwd") << QStringLiteral("___.._etc_passwd");
        QTest::newRow("hidden file") << QStringLiteral(".Weiß") << QStringLiteral("_Weiß");
        QTest::newRow("dots inside stay") << QStringLiteral("Dr. A. Weiß") << QStringLiteral("Dr. A. Weiß");
        QTest::newRow("wildcards and brackets") << QStringLiteral("[Weiß]*?") << QStringLiteral("_Weiß___");
        QTest::newRow("Windows' forbidden") << QStringLiteral("a\\b:c<d>e|f") << QStringLiteral("a_b_c_d_e_f");
        QTest::newRow("quotes") << QStringLiteral("\"Linde\" O'Neil `x`") << QStringLiteral("_Linde_ O_Neil _x_");
        QTest::newRow("control character") << QStringLiteral("Weiß\x01\x7f") << QStringLiteral("Weiß__");
        QTest::newRow("right-to-left override")
            << QStringLiteral("Anna\u202Efdp.exe") << QStringLiteral("Anna_fdp.exe");
        QTest::newRow("long name cut") << QString(80, u'x') << QString(60, u'x');
        QTest::newRow("cut between halves of a character")
            << QString(59, u'x') + QStringLiteral("\U0001F600") << QString(59, u'x');
        QTest::newRow("empty") << QString() << QString();
    }

    void fileNamePart()
    {
        QFETCH(QString, text);
        QFETCH(QString, part);
        QCOMPARE(platform::fileNamePart(text), part);
    }

    void guestFileNamesStayApart_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        QTest::newRow("name") << QStringLiteral("Sabine Krüger") << QStringLiteral("Auskunft 7 Sabine Krüger");
        QTest::newRow("no name") << QString() << QStringLiteral("Auskunft 7");
        QTest::newRow("only forbidden") << QStringLiteral("/") << QStringLiteral("Auskunft 7 _");
    }

    void guestFileNamesStayApart()
    {
        QFETCH(QString, name);
        QFETCH(QString, file);
        QCOMPARE(platform::guestFileName(QStringLiteral("Auskunft"), 7, name), file);
    }

    void namesThatLookAlikeGiveDistinctFiles()
    {
        // GIVEN guests whose names a file system would confuse
        const QStringList names{QStringLiteral(".."),  QStringLiteral("/"),  QStringLiteral("...."),
                                QStringLiteral("."),   QStringLiteral("_"),  QString(),
                                QStringLiteral("A/B"), QStringLiteral("A:B")};
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QSet<QString> made;
        for (qsizetype i = 0; i < names.size(); ++i) {
            const QString file =
                platform::guestFileName(QStringLiteral("Auskunft"), qint32(i + 1), names[i]) + QStringLiteral(".csv");
            // THEN each name is a plain file inside the folder, none of them the same
            QVERIFY2(!file.contains(u'/') && !file.startsWith(u'.'), qPrintable(file));
            QFile out(QDir(folder.path()).filePath(file));
            QVERIFY2(out.open(QIODevice::WriteOnly | QIODevice::NewOnly), qPrintable(file));
            made.insert(file);
        }
        QCOMPARE(made.size(), names.size());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), names.size());
    }

    void foldersMadeAreTheOwnersOnly()
    {
        // GIVEN a folder the host has as they like it
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QVERIFY(QFile::setPermissions(home.path(), kOwnerFolder | QFileDevice::ReadGroup | QFileDevice::ExeGroup));
        const QString inner = home.filePath(QStringLiteral("Daten/Export"));

        // WHEN the program makes two levels below it
        QVERIFY(platform::makePrivateFolder(inner));

        // THEN both levels are the owner's only; the host's folder stays as it was
        QCOMPARE(modeOf(home.filePath(QStringLiteral("Daten"))), kOwnerFolder);
        QCOMPARE(modeOf(inner), kOwnerFolder);
        QCOMPARE(modeOf(home.path()), kOwnerFolder | QFileDevice::ReadGroup | QFileDevice::ExeGroup);
        // An existing folder is fine, and left alone.
        QVERIFY(QFile::setPermissions(inner, kOwnerFolder | QFileDevice::ReadGroup | QFileDevice::ExeGroup));
        QVERIFY(platform::makePrivateFolder(inner));
        QCOMPARE(modeOf(inner), kOwnerFolder | QFileDevice::ReadGroup | QFileDevice::ExeGroup);
        // A file in the way is no folder.
        QFile file(home.filePath(QStringLiteral("Datei")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(!platform::makePrivateFolder(home.filePath(QStringLiteral("Datei"))));
    }

    void fileForAnotherWriterIsTheOwnersFromTheStart()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("Tagesliste.pdf"));
        {
            // WHEN the file is prepared, then filled by a writer that opens it as QPrinter does
            platform::PrivateFile prepared(path);
            QVERIFY(QFileInfo::exists(path));
            QCOMPARE(modeOf(path), kOwnerFile);
            QFile writer(path);
            QVERIFY(writer.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QVERIFY(writer.write("%PDF-1.4") > 0);
            writer.close();
            prepared.keep();
        }
        // THEN it stays, its owner's only
        QCOMPARE(modeOf(path), kOwnerFile);
        QCOMPARE(QFileInfo(path).size(), qint64(8));
    }

    void failedWritingLeavesNoFileBehind()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString made = folder.filePath(QStringLiteral("neu.pdf"));
        const QString existing = folder.filePath(QStringLiteral("alt.pdf"));
        QFile old(existing);
        QVERIFY(old.open(QIODevice::WriteOnly));
        QVERIFY(old.write("alt") == 3);
        old.close();
        {
            platform::PrivateFile a(made);
            platform::PrivateFile b(existing);
            // not kept: the print failed
        }
        QVERIFY(!QFileInfo::exists(made));
        QVERIFY(QFileInfo::exists(existing)); // what the host had is never removed
        // A folder that does not exist cannot take the file: said, not hidden.
        QVERIFY_THROWS_EXCEPTION(platform::EInOutError,
                                 platform::PrivateFile(folder.filePath(QStringLiteral("fehlt/neu.pdf"))));
    }
};

QTEST_GUILESS_MAIN(TestPrivateFiles)
#include "test_privatefiles.moc"
