// Every error that reaches the host is shown in one place (the error box of Dialogs) with a
// German text: ours carry it from where they are thrown, and what comes from the standard
// library (English, "out_of_range") is put into a plain German sentence.

#include "app/ErrorSink.h"
#include "app/guestlist/DayListPrint.h"
#include "billing/Invoice.h"
#include "holidays/De_Feiertage.h"
#include "platform/Convert.h"
#include "platform/Error.h"
#include "platform/FileIo.h"
#include "platform/Regional.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <new>
#include <stdexcept>
#include <vector>

using app::DruckeTagesliste;
using app::guarded;
using billing::LoadInvoiceTemplate;
using Thrower = std::function<void()>;
Q_DECLARE_METATYPE(Thrower)

namespace {

QTemporaryDir &Dir()
{
    static QTemporaryDir dir;
    return dir;
}

QString Missing(const QString &name)
{
    return Dir().filePath(QStringLiteral("fehlt/") + name);
}

} // namespace

class TestErrorTexts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }
    void shownInGerman_data();
    void shownInGerman();
    void handlerGoesOnAfterAnError();
};

void TestErrorTexts::shownInGerman_data()
{
    QTest::addColumn<Thrower>("thrower");
    QTest::addColumn<bool>("ours");     // derives from platform::Error
    QTest::addColumn<QString>("shown"); // the first line of the text in the error box

    QTest::newRow("day that does not exist")
        << Thrower([] { platform::EncodeDate(2025, 2, 30); }) << true << QStringLiteral("Den 30.2.2025 gibt es nicht.");
    QTest::newRow("year 0") << Thrower([] { platform::EncodeDate(0, 1, 1); }) << true
                            << QStringLiteral("Ein Datum muss in den Jahren 1 bis 9999 liegen (nicht im Jahr 0).");
    QTest::newRow("holidays of year 0") << Thrower([] {
        De_Feiertage::GetFeiertage(0, 10115);
    }) << true << QStringLiteral("Feiertage lassen sich nur für die Jahre 1 bis 9999 bestimmen.");
    QTest::newRow("holiday of year 10000")
        << Thrower([] { De_Feiertage::IstFeiertag(10115, 2958466.0); }) << true
        << QStringLiteral("Feiertage lassen sich nur für die Jahre 1 bis 9999 bestimmen.");
    QTest::newRow("date typed wrong") << Thrower([] { platform::StrToDate(QStringLiteral("31.02.2025")); }) << true
                                      << QStringLiteral("'31.02.2025' ist kein gültiges Datum");
    QTest::newRow("file into a missing folder")
        << Thrower([] { platform::SaveFileAtomic(Missing(QStringLiteral("a.csv")), "x"); }) << true
        << QStringLiteral("Ungültiger Dateiname");
    QTest::newRow("invoice form missing") << Thrower([] { LoadInvoiceTemplate(Missing(QStringLiteral("REVORL.JPG"))); })
                                          << true << QStringLiteral("Die Rechnungsvorlage REVORL.JPG fehlt.");
    QTest::newRow("day list printer does not start")
        << Thrower([] {
               QPrinter printer;
               printer.setOutputFormat(QPrinter::PdfFormat);
               printer.setOutputFileName(Missing(QStringLiteral("Tagesliste.pdf")));
               DruckeTagesliste(printer, QStringLiteral("Tagesliste"), {});
           })
        << true
        << QStringLiteral("Die Tagesliste konnte nicht gedruckt werden: Der Drucker ist nicht bereit oder die "
                          "Datei lässt sich nicht schreiben.");
    // Not ours: the standard library's English text stays in the log.
    QTest::newRow("out_of_range") << Thrower([] { (void)std::vector<int>().at(1); }) << false
                                  << QStringLiteral("Ein unerwarteter Fehler ist aufgetreten; der Schritt wurde "
                                                    "abgebrochen.");
    QTest::newRow("bad_alloc") << Thrower([] { throw std::bad_alloc(); }) << false
                               << QStringLiteral("Der Arbeitsspeicher reicht für diesen Schritt nicht aus. Es wurde "
                                                 "nichts verändert; bitte andere Programme schließen und es noch "
                                                 "einmal versuchen.");
}

void TestErrorTexts::shownInGerman()
{
    QFETCH(Thrower, thrower);
    QFETCH(bool, ours);
    QFETCH(QString, shown);

    // The type: every error this program throws derives from the one base.
    try {
        thrower();
        QFAIL("the step must fail");
    } catch (const platform::Error &error) {
        QVERIFY2(ours, "a foreign error was expected");
        QCOMPARE(QString::fromUtf8(error.what()), error.message());
    } catch (const std::exception &) {
        QVERIFY2(!ours, "every error of this program derives from platform::Error");
    }

    // What the host sees, through the one sink.
    ScriptedDialogs::Script script;
    ScriptedDialogs dialogs(script);
    if (!ours)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Unerwarteter Fehler: ")));
    guarded(dialogs, nullptr, thrower);
    QCOMPARE(script.errors.size(), 1);
    const QString text = script.errors.first();
    QVERIFY2(text.startsWith(shown), qPrintable(text));
    // The paths named are the test's own; the words around them must be German.
    const QString words = QString(text).replace(QDir::toNativeSeparators(Dir().path()), QStringLiteral("<Ordner>"));
    for (const char *english : {"out_of_range", "invalid", "outside", "error", "bad_alloc", "vector", "std::"})
        QVERIFY2(!words.contains(QLatin1String(english), Qt::CaseInsensitive), qPrintable(text));
}

void TestErrorTexts::handlerGoesOnAfterAnError()
{
    ScriptedDialogs::Script script;
    ScriptedDialogs dialogs(script);
    int ran = 0;
    guarded(dialogs, nullptr, [&] { ++ran; });
    QVERIFY(script.errors.isEmpty());
    guarded(dialogs, nullptr, [&] {
        ++ran;
        platform::EncodeDate(2025, 13, 1);
        ++ran; // never reached
    });
    guarded(dialogs, nullptr, [&] { ++ran; });
    QCOMPARE(ran, 3);
    QCOMPARE(script.errors, QStringList{QStringLiteral("Den 1.13.2025 gibt es nicht.")});
}

QTEST_MAIN(TestErrorTexts)
#include "test_errortexts.moc"
