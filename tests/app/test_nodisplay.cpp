// --help and --version are answered by the built program with no display at all: no DISPLAY, no
// WAYLAND_DISPLAY and no QT_QPA_PLATFORM, as on a server or in a package check.

#include "app/Version.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestNoDisplay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answersWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("lines"); // each must be in the output
        const QString version = QStringLiteral("Zimbrana %1").arg(QString::fromLatin1(version::kText));
        QTest::newRow("--version") << QStringList{"--version"} << QStringList{version};
        QTest::newRow("-v") << QStringList{"-v"} << QStringList{version};
        QTest::newRow("--help") << QStringList{"--help"}
                                << QStringList{"Buchungen, Zimmerkalender und Rechnungen eines kleinen Gästehauses",
                                               "--self-test", "-v, --version"};
        QTest::newRow("-h with another option") << QStringList{"--self-test", "-h"} << QStringList{"--self-test"};
    }

    void answersWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, lines);
        QTemporaryDir home;
        QVERIFY(home.isValid());
        // Only what any login has; nothing that leads to a window system.
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        const QProcessEnvironment outer = QProcessEnvironment::systemEnvironment();
        for (const QString &sanitizer : {QStringLiteral("ASAN_OPTIONS"), QStringLiteral("LSAN_OPTIONS")})
            if (outer.contains(sanitizer))
                environment.insert(sanitizer, outer.value(sanitizer));

        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(home.path());
        program.start(QStringLiteral(ZIMBRANA_PROGRAM), arguments);
        QVERIFY2(program.waitForFinished(60000), "the program did not end");
        const QString output = QString::fromUtf8(program.readAllStandardOutput());
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(program.exitStatus() == QProcess::NormalExit, qPrintable(errors));
        QCOMPARE(program.exitCode(), 0);
        for (const QString &line : lines)
            QVERIFY2(output.contains(line), qPrintable(output + errors));
        // Nothing tried to reach a display.
        QVERIFY2(!errors.contains(QStringLiteral("platform plugin")), qPrintable(errors));
    }
};

QTEST_GUILESS_MAIN(TestNoDisplay)
#include "test_nodisplay.moc"
