// The house's own settings in "Zimbrana.ini": its postal code (refused outside Germany, and a code
// spoilt by hand falls back to the default), its details for the letterhead, and printing without
// a form.

#include "guestfile/Settings.h"
#include "platform/Convert.h"

#include <QStandardPaths>
#include <QtTest>

using guestfile::HouseDetails;
using guestfile::houseDetails;
using guestfile::housePostalCode;
using guestfile::housePostalCodeError;
using guestfile::kDefaultHousePostalCode;
using guestfile::OpenSettings;
using guestfile::parseHousePostalCode;
using guestfile::printWithoutForm;
using guestfile::setHouseDetails;
using guestfile::setHousePostalCode;
using guestfile::setPrintWithoutForm;

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        const std::unique_ptr<QSettings> settings = OpenSettings();
        settings->remove(QStringLiteral("Haus"));
        settings->remove(QStringLiteral("Rechnung"));
    }

    void postalCodeDefaultsTo34519()
    {
        QCOMPARE(housePostalCode(), 34519);
        QCOMPARE(housePostalCode(), kDefaultHousePostalCode);
    }

    void postalCodeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code"); // 0: refused
        QTest::addColumn<QString>("said");
        QTest::newRow("Munich") << "80331" << 80331 << "";
        QTest::newRow("leading zero") << "01067" << 1067 << "";
        QTest::newRow("spaces around") << " 34519 " << 34519 << "";
        QTest::newRow("lowest") << "01001" << 1001 << "";
        QTest::newRow("highest") << "99998" << 99998 << "";
        QTest::newRow("below Germany") << "01000" << 0 << "liegt nicht in Deutschland";
        QTest::newRow("zeros") << "00000" << 0 << "liegt nicht in Deutschland";
        QTest::newRow("above Germany") << "99999" << 0 << "liegt nicht in Deutschland";
        QTest::newRow("four digits") << "8033" << 0 << "fünf Ziffern";
        QTest::newRow("six digits") << "803310" << 0 << "fünf Ziffern";
        QTest::newRow("letters") << "D-80331" << 0 << "fünf Ziffern";
        QTest::newRow("empty") << "" << 0 << "Bitte die Postleitzahl";
    }
    void postalCodeText()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        QFETCH(QString, said);
        const QString error = housePostalCodeError(text);
        QCOMPARE(error.isEmpty(), code != 0);
        QVERIFY2(error.contains(said), qPrintable(error));
        QCOMPARE(parseHousePostalCode(text).value_or(0), code);
    }

    void postalCodeIsKept_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("kept");
        QTest::newRow("Bavaria") << 80331 << true;
        QTest::newRow("Saxony with its zero") << 1067 << true;
        QTest::newRow("below") << 1000 << false;
        QTest::newRow("above") << 99999 << false;
        QTest::newRow("negative") << -34519 << false;
    }
    void postalCodeIsKept()
    {
        QFETCH(int, code);
        QFETCH(bool, kept);
        setHousePostalCode(64283);
        if (kept) {
            setHousePostalCode(code);
            QCOMPARE(housePostalCode(), code);
            QCOMPARE(OpenSettings()->value(QStringLiteral("Haus/Postleitzahl")).toString(),
                     QStringLiteral("%1").arg(code, 5, 10, QLatin1Char('0')));
        } else {
            QVERIFY_THROWS_EXCEPTION(platform::EConvertError, setHousePostalCode(code));
            QCOMPARE(housePostalCode(), 64283);
        }
    }

    void spoiltPostalCodeFallsBack_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("text") << "Diemelsee";
        QTest::newRow("outside") << "123456";
        QTest::newRow("empty") << "";
    }
    void spoiltPostalCodeFallsBack()
    {
        QFETCH(QString, stored);
        OpenSettings()->setValue(QStringLiteral("Haus/Postleitzahl"), stored);
        QCOMPARE(housePostalCode(), kDefaultHousePostalCode);
    }

    void houseDetailsAreKept()
    {
        QCOMPARE(houseDetails(), HouseDetails{});
        const HouseDetails details{QStringLiteral("Gästehaus Lindenhof"), QStringLiteral("Kirchweg 2\n34519 Diemelsee"),
                                   QStringLiteral("05633 4711"), QStringLiteral("post@lindenhof.de"),
                                   QStringLiteral("Steuernummer 012/345/67890; Kleinunternehmer")};
        setHouseDetails(details);
        QCOMPARE(houseDetails(), details);
    }

    void withoutFormIsOffUntilChosen()
    {
        QVERIFY(!printWithoutForm());
        setPrintWithoutForm(true);
        QVERIFY(printWithoutForm());
        setPrintWithoutForm(false);
        QVERIFY(!printWithoutForm());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
