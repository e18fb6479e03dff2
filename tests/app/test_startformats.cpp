// At start, regional formats that would not read back from the guest file are replaced by the
// German ones, and the status line says so once.

#include "app/TMainForm.h"
#include "guestfile/Settings.h"
#include "platform/Regional.h"
#include "support/ScriptedDialogs.h"

#include <QDateEdit>
#include <QLabel>
#include <QTest>

using app::TMainForm;
using guestfile::RememberDataFolder;

class TestStartFormats : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formatsThatDoNotReadBackBecomeGerman_data();
    void formatsThatDoNotReadBackBecomeGerman();
};

void TestStartFormats::formatsThatDoNotReadBackBecomeGerman_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("dateFormat"); // the date format in force afterwards
    QTest::addColumn<QString>("note");       // part of the status line; empty: none
    QTest::newRow("C: month names") << QLocale::c() << "dd.MM.yyyy"
                                    << "TT.MM.JJJJ";
    QTest::newRow("Hungarian: a dot after the date") << QLocale(QLocale::Hungarian) << "dd.MM.yyyy"
                                                     << "TT.MM.JJJJ";
    QTest::newRow("Central Kurdish: the decimal separator")
        << QLocale(QLocale::CentralKurdish, QLocale::Iraq)
        << platform::SettingsFromLocale(QLocale(QLocale::CentralKurdish, QLocale::Iraq))
               .shortDateFormat // its dates read back: kept
        << "Dezimalkomma";
    QTest::newRow("US: kept") << QLocale(QLocale::English, QLocale::UnitedStates) << "M/d/yyyy"
                              << "";
    QTest::newRow("German: kept") << QLocale(QLocale::German, QLocale::Germany) << "dd.MM.yyyy"
                                  << "";
}

void TestStartFormats::formatsThatDoNotReadBackBecomeGerman()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, dateFormat);
    QFETCH(QString, note);

    platform::SetRegional(locale);
    RememberDataFolder(QString());
    ScriptedDialogs::Script script;
    {
        TMainForm window(std::make_unique<ScriptedDialogs>(script));
        const QString status = window.findChild<QLabel *>(QStringLiteral("LabelStatus"))->text();
        if (note.isEmpty()) {
            QVERIFY2(!status.contains(QStringLiteral("Ländereinstellung")), qPrintable(status));
        } else {
            QVERIFY2(status.contains(QStringLiteral("Ländereinstellung")) && status.contains(note), qPrintable(status));
            QCOMPARE(status.count(QStringLiteral("Ländereinstellung")), 1);
        }
        QCOMPARE(platform::Regional().shortDateFormat, dateFormat);
        // The form shows dates as the file writes them.
        QCOMPARE(window.findChild<QDateEdit *>(QStringLiteral("DateEditVon"))->displayFormat(), dateFormat);
    }
    platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
}

QTEST_MAIN(TestStartFormats)
#include "test_startformats.moc"
