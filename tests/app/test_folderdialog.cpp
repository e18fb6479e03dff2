// The real folder dialog ("Datenordner wählen", "Ordner wählen…"): a host may type the name of a
// folder that is not there yet, and gets it made and chosen.

#include "app/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestFolderDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void typedFolderIsMadeAndChosen_data();
    void typedFolderIsMadeAndChosen();
};

void TestFolderDialog::typedFolderIsMadeAndChosen_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("a new folder") << "Gästehaus 2027";
    QTest::newRow("a new folder two levels down") << "Haus/Daten";
    QTest::newRow("a folder that is there") << "Vorhanden";
}

void TestFolderDialog::typedFolderIsMadeAndChosen()
{
    QFETCH(QString, typed);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Vorhanden")));
    bool answered = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->objectName(), QStringLiteral("FolderDialog"));
        dialog->setDirectory(dir.path());
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(typed);
        QTest::keyClick(name, Qt::Key_Return);
        answered = true;
    });
    app::QtDialogs dialogs;
    const QString chosen = dialogs.askFolder(nullptr, QStringLiteral("Datenordner wählen"));
    QVERIFY(answered);
    const QString wanted = QDir(dir.path()).absoluteFilePath(typed);
    QCOMPARE(QFileInfo(chosen).absoluteFilePath(), wanted);
    QVERIFY(QFileInfo(wanted).isDir());
}

QTEST_MAIN(TestFolderDialog)
#include "test_folderdialog.moc"
