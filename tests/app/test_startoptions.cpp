// Starting the program: the command line, and the start check behind --self-test that proves the
// main window comes up. The check runs in here; the whole start runs the real program.

#include "app/StartOptions.h"
#include "app/Version.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <algorithm>

using app::StartCheck;
using namespace std::chrono_literals;

class TestStartOptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void checkPassesWhenTheWindowIsShown();
    void checkFailsWhenTheWindowNeverShows();
    void checkClosesAndNamesADialogOfTheStart();
    void program_data();
    void program();
};

void TestStartOptions::checkPassesWhenTheWindowIsShown()
{
    QWidget window;
    window.setWindowTitle(QStringLiteral("Zimbrana Ver9.8"));
    window.resize(300, 200);
    StartCheck check(*qApp);
    window.show();
    QString text;
    QTextStream out(&text);
    QCOMPARE(check.report(window, 10s, out), 0);
    QCOMPARE(text, QStringLiteral("Zimbrana Ver9.8: Hauptfenster angezeigt (300 × 200).\n"));
}

void TestStartOptions::checkFailsWhenTheWindowNeverShows()
{
    QWidget window;
    StartCheck check(*qApp);
    QString text;
    QTextStream out(&text);
    QCOMPARE(check.report(window, 200ms, out), 1);
    QCOMPARE(text, QStringLiteral("Das Hauptfenster wurde nicht angezeigt.\n"));
}

void TestStartOptions::checkClosesAndNamesADialogOfTheStart()
{
    StartCheck check(*qApp);
    // Should the check not close the message, this closes it, so the test fails instead of hanging.
    bool closedHere = false;
    QTimer::singleShot(3000, this, [&closedHere] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            closedHere = true;
            modal->close();
        }
    });
    QMessageBox::information(nullptr, QStringLiteral("Zimbrana"), QStringLiteral("Preismatrix.dat fehlt"));
    QVERIFY(!closedHere);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Zimbrana"));
    window.resize(300, 200);
    window.show();
    QString text;
    QTextStream out(&text);
    QCOMPARE(check.report(window, 10s, out), 1);
    QCOMPARE(text, QStringLiteral("Beim Start erschien die Meldung „Preismatrix.dat fehlt“.\n"
                                  "Zimbrana: Hauptfenster angezeigt (300 × 200).\n"));
}

void TestStartOptions::program_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("priceList"); // the start folder's Preismatrix.dat; empty: none
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("line");

    const QString version = QString::fromLatin1(version::kText);
    const QString title = QString::fromLatin1(version::kWindowTitle);
    const QByteArray prices = "50;45;40\n80;75;70\n100;95;90\n120;115;110\n25;22;20\n";
    QTest::newRow("version") << QStringList{"--version"} << prices << 0 << QStringLiteral("Zimbrana %1").arg(version);
    QTest::newRow("window comes up") << QStringList{"--self-test"} << prices << 0
                                     << QStringLiteral("%1: Hauptfenster angezeigt").arg(title);
    // A house not set up yet is told so in the status line, not by a message at start.
    QTest::newRow("first start without set-up")
        << QStringList{"--self-test"} << QByteArray() << 0 << QStringLiteral("%1: Hauptfenster angezeigt").arg(title);
    QTest::newRow("message at start") << QStringList{"--self-test"} << QByteArray("50;45;viel\n") << 1
                                      << QStringLiteral("Beim Start erschien die Meldung „In ");
    QTest::newRow("unknown option") << QStringList{"--gibt-es-nicht"} << prices << 1
                                    << QStringLiteral("Zimbrana: Unbekannte Option 'gibt-es-nicht'.");
}

// The built program in a folder and home of its own, as a host would start it.
void TestStartOptions::program()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, priceList);
    QFETCH(int, exitCode);
    QFETCH(QString, line);

    QTemporaryDir work;
    QVERIFY(work.isValid());
    if (!priceList.isEmpty()) {
        QFile prices(work.filePath(QStringLiteral("Preismatrix.dat")));
        QVERIFY(prices.open(QIODevice::WriteOnly));
        prices.write(priceList);
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), work.path());
    environment.remove(QStringLiteral("XDG_DATA_HOME"));
    environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(work.path());
    program.start(QStringLiteral(ZIMBRANA_PROGRAM), arguments);
    QVERIFY2(program.waitForFinished(120000), "the program did not end");
    // Qt's own warnings go to the error output too; the line looked for is one of the lines.
    const QStringList lines =
        QString::fromUtf8(program.readAllStandardOutput() + program.readAllStandardError()).split(QLatin1Char('\n'));
    QVERIFY2(program.exitStatus() == QProcess::NormalExit, qPrintable(lines.join('\n')));
    QCOMPARE(program.exitCode(), exitCode);
    QVERIFY2(std::any_of(lines.begin(), lines.end(), [&line](const QString &l) { return l.startsWith(line); }),
             qPrintable(lines.join('\n')));
}

QTEST_MAIN(TestStartOptions)
#include "test_startoptions.moc"
