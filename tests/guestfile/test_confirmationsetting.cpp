// The host's confirmation text in "Zimbrana.ini": nothing until the host writes one, then exactly
// what was written, whatever characters the INI format itself uses.

#include "guestfile/Settings.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtTest>

using guestfile::confirmationText;
using guestfile::houseDetails;
using guestfile::OpenSettings;
using guestfile::setConfirmationText;
using guestfile::setHouseDetails;

class TestConfirmationSetting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { OpenSettings()->remove(QStringLiteral("Bestaetigung")); }

    void noneUntilWritten() { QVERIFY(!confirmationText().has_value()); }

    void keptAsWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty, on purpose") << QString();
        QTest::newRow("paragraphs") << QStringLiteral("Guten Tag {Name},\n\nbis bald!\n");
        QTest::newRow("Windows line ends") << QStringLiteral("Zeile 1\r\nZeile 2");
        QTest::newRow("what INI files use") << QStringLiteral("a=b; c # d [Haus] \\n \"zitiert\" , e");
        QTest::newRow("umlauts and euro") << QStringLiteral("Größe: 50 € – Übernachtung für {Personen}");
        QTest::newRow("leading and trailing blanks") << QStringLiteral("  eingerückt  ");
    }
    void keptAsWritten()
    {
        QFETCH(QString, text);
        setConfirmationText(text);
        QCOMPARE(confirmationText(), std::optional(text));
        // The other settings are untouched by it.
        setHouseDetails({QStringLiteral("Gasthaus Linde"), QStringLiteral("Lindenweg 3"), {}, {}, {}});
        QCOMPARE(confirmationText(), std::optional(text));
        QCOMPARE(houseDetails().name, QStringLiteral("Gasthaus Linde"));
    }

    void unwritableSettingsAreSaid()
    {
        // A settings file that cannot be written (here a folder stands in its place, which even
        // root cannot write as a file): the host hears of it instead of losing the text unseen.
        const QString path = OpenSettings()->fileName();
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
        const auto restore = qScopeGuard([&] { QDir().rmdir(path); });
        QVERIFY_THROWS_EXCEPTION(platform::Error, setConfirmationText(QStringLiteral("neu")));
    }
};

QTEST_GUILESS_MAIN(TestConfirmationSetting)
#include "test_confirmationsetting.moc"
