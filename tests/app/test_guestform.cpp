// The main window's page "Gast": the controls, the guest list and the transfer between form and
// record, driven through the real window.

#include "app/Version.h"
#include "app/ZimbranaApplication.h"
#include "platform/DayNumber.h"
#include "support/AppFixture.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QMessageBox>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimeEdit>
#include <QTimer>

using app::InstallGermanQtTexts;
using app::TMainForm;
using guests::TGast;
using platform::EncodeDate;

class TestGuestForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void windowHasItsControls_data();
    void windowHasItsControls();
    void startsWithRecordZero();
    void newGuestAfterStart();
    void typedNameReachesOldRecordBeforeNewGuest();
    void typingMarksChangedShowingDoesNot();
    void spinBoxClampsToList();
    void deleteShowsTheRecordInItsPlace();
    void recordZeroIsNotDeleted();
    void valuesBeyondTheBoxesSurviveTheForm();
    void checkBoxReachesRecordAtOnce();
    void semicolonIsRefused();
    void typedAmountIsReadAsMeant_data();
    void typedAmountIsReadAsMeant();
    void closingAsksOnlyWhenChanged();
    void closingKeepsWindowOpenWhenSaveFails();
    void realQuestionOnClosingSaysJaNeinAbbrechen();
};

void TestGuestForm::windowHasItsControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");
    QTest::newRow("Label1") << "Label1" << "Gast"
                            << "";
    QTest::newRow("EditZimmer") << "EditZimmer" << ""
                                << " Eine oder mehrere Zimmer 1oder 123";
    QTest::newRow("EditName") << "EditName" << ""
                              << "Wenn mehrere Zimmer dann 123 ";
    QTest::newRow("NumberBoxPersonen") << "NumberBoxPersonen" << ""
                                       << "wenn >4  dann Gruppentarif";
    QTest::newRow("NumberBoxPLZ") << "NumberBoxPLZ" << ""
                                  << "";
    QTest::newRow("SpinBox1") << "SpinBox1" << ""
                              << "Gast wählen";
    QTest::newRow("NumberBoxReNr") << "NumberBoxReNr" << ""
                                   << "wird automatisch bei Rechnungsdruck vergeben";
    QTest::newRow("NumberBoxKosten") << "NumberBoxKosten" << ""
                                     << "Klick berechnet die Kosten";
    QTest::newRow("ButtonSave") << "ButtonSave" << "Daten schreiben"
                                << "Daten sichern";
    QTest::newRow("ButtonRead") << "ButtonRead" << "Daten lesen"
                                << "Daten einlesen";
    QTest::newRow("CheckBoxBez") << "CheckBoxBez" << "Beza&hlt"
                                 << "Rechnung bezahlt?";
    QTest::newRow("CheckBoxKey") << "CheckBoxKey" << "Schl&üssel"
                                 << "Schlüssel abgegeben?";
    QTest::newRow("ButtonNeuerGast") << "ButtonNeuerGast" << "Neu&er Gast"
                                     << "Neuen Gast anlegen";
    QTest::newRow("ButtonStornieren") << "ButtonStornieren" << "Gast s&tornieren"
                                      << "Den Gast löschen";
    QTest::newRow("ButtonPrintRe") << "ButtonPrintRe" << "Re&chnung drucken"
                                   << "Abrechnung drucken";
}

void TestGuestForm::windowHasItsControls()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    AppFixture app;
    // Major and minor of the version, e.g. "Zimbrana Ver1.3" for 1.3.0.
    QCOMPARE(app.window->windowTitle(), QStringLiteral("Zimbrana Ver%1.%2").arg(version::kMajor).arg(version::kMinor));
    auto *control = app.window->findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    // Laid out on the page "Gast", whole and visible at the window's first size.
    QWidget *page = app.w("Gast");
    QVERIFY(control->isVisible());
    QVERIFY(page->rect().contains(QRect(control->mapTo(page, QPoint(0, 0)), control->size())));
    QCOMPARE(control->toolTip(), hint);
    if (auto *label = qobject_cast<QLabel *>(control))
        QCOMPARE(label->text(), text);
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        QCOMPARE(button->text(), text);
    auto *tabs = app.w<QTabWidget>("Tabcontrol1");
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Gast"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Zimmerkalender"));
}

void TestGuestForm::startsWithRecordZero()
{
    AppFixture app;
    QCOMPARE(app.list().size(), 1);
    QCOMPARE(app.list().currentIndex(), 0);
    QVERIFY(!app.list().changed());
    // The form shows its starting values, not record 0's zeros.
    QCOMPARE(app.w<QDateEdit>("DateEditVon")->date(), QDate(2025, 2, 20));
    QCOMPARE(app.w<QTimeEdit>("TimeEditAnreise")->time(), QTime(12, 0));
    QCOMPARE(app.w<QSpinBox>("NumberBoxPersonen")->value(), 1);
    QCOMPARE(app.w<QSpinBox>("SpinBox1")->maximum(), 100);
    QVERIFY(app.dialogs.informations.isEmpty()); // the price file was there
}

void TestGuestForm::newGuestAfterStart()
{
    AppFixture app;
    app.click("ButtonNeuerGast");
    QCOMPARE(app.list().size(), 2);
    QCOMPARE(app.list().currentIndex(), 1);
    QCOMPARE(app.list().current().GastNr, 1);
    QCOMPARE(app.w<QSpinBox>("NumberBoxGastnr")->value(), 1);
    QCOMPARE(app.w<QSpinBox>("SpinBox1")->value(), 1);
    QVERIFY(app.list().changed());
    // A new booking is from today to today, for one person, in the record as in the form.
    QCOMPARE(app.w<QDateEdit>("DateEditVon")->date(), QDate(2025, 2, 20));
    QCOMPARE(app.w<QDateEdit>("DateEditBis")->date(), QDate(2025, 2, 20));
    QCOMPARE(app.list().current().Von, EncodeDate(2025, 2, 20));
    QCOMPARE(app.list().current().Bis, EncodeDate(2025, 2, 20));
    QCOMPARE(app.list().current().Personen, 1);
}

void TestGuestForm::typedNameReachesOldRecordBeforeNewGuest()
{
    AppFixture app;
    app.click("ButtonNeuerGast");
    app.enter("EditName");
    app.keyClicks("EditName", QStringLiteral("Müller"));
    app.click("ButtonNeuerGast"); // the click takes the focus: the name field is left first
    QCOMPARE(app.list().size(), 3);
    QCOMPARE(app.list().at(1).Name, QStringLiteral("Müller"));
    QCOMPARE(app.list().current().Name, QString());
    QCOMPARE(app.w<QLineEdit>("EditName")->text(), QString());
}

void TestGuestForm::typingMarksChangedShowingDoesNot()
{
    AppFixture app;
    app.click("ButtonNeuerGast");
    app.type("EditName", QStringLiteral("Anna"));
    app.click("ButtonNeuerGast");
    app.type("EditName", QStringLiteral("Bert"));
    app.dialogs.saveFile = app.path(QStringLiteral("Gaeste.csv"));
    app.click("ButtonSave");
    QVERIFY(!app.list().changed());

    // Showing other records (spin box) changes nothing.
    app.w<QSpinBox>("SpinBox1")->setValue(1);
    QCOMPARE(app.w<QLineEdit>("EditName")->text(), QStringLiteral("Anna"));
    QVERIFY(!app.list().changed());

    // Any field the user edits marks the data as changed, e-mail and check boxes included.
    app.type("EditEMail", QStringLiteral("a@b.de"));
    QVERIFY(app.list().changed());
    app.click("ButtonSave");
    QVERIFY(!app.list().changed());
    app.w<QCheckBox>("CheckBoxKey")->click();
    QVERIFY(app.list().changed());
}

void TestGuestForm::spinBoxClampsToList()
{
    AppFixture app;
    for (int i = 0; i < 4; ++i)
        app.click("ButtonNeuerGast");
    QCOMPARE(app.list().size(), 5);
    auto *spin = app.w<QSpinBox>("SpinBox1");
    spin->setValue(7);
    QCOMPARE(app.list().currentIndex(), 4);
    QCOMPARE(spin->value(), 5);
    QCOMPARE(app.w<QSpinBox>("NumberBoxGastnr")->value(), 4);
    spin->setValue(2);
    QCOMPARE(app.list().currentIndex(), 2);
    QCOMPARE(spin->maximum(), 3);
    spin->setValue(4); // up by at most one record at a time
    QCOMPARE(spin->value(), 3);
    QCOMPARE(app.list().currentIndex(), 3);
}

void TestGuestForm::deleteShowsTheRecordInItsPlace()
{
    AppFixture app;
    for (const char *name : {"Anna", "Bert", "Carl"}) {
        app.click("ButtonNeuerGast");
        app.type("EditName", QString::fromLatin1(name));
    }
    app.w<QSpinBox>("SpinBox1")->setValue(1);
    app.dialogs.confirmAnswer = true;
    app.click("ButtonStornieren");
    QCOMPARE(app.list().size(), 3);
    QCOMPARE(app.list().currentIndex(), 1);
    QCOMPARE(app.list().at(1).GastNr, 2); // numbers are not renumbered
    QCOMPARE(app.w<QLineEdit>("EditName")->text(), QStringLiteral("Bert"));
    QCOMPARE(app.w<QSpinBox>("SpinBox1")->value(), 1);
    QVERIFY(app.list().changed());

    // Leaving a field now writes into the record that is shown, not over it.
    app.type("EditOrt", QStringLiteral("Kassel"));
    QCOMPARE(app.list().at(1).Name, QStringLiteral("Bert"));
    QCOMPARE(app.list().at(1).Ort, QStringLiteral("Kassel"));

    // Deleting the last record shows the new last one.
    app.w<QSpinBox>("SpinBox1")->setValue(2);
    app.click("ButtonStornieren");
    QCOMPARE(app.list().size(), 2);
    QCOMPARE(app.list().currentIndex(), 1);
    QCOMPARE(app.w<QLineEdit>("EditName")->text(), QStringLiteral("Bert"));

    // The next new guest never takes a number another guest has.
    app.click("ButtonNeuerGast");
    QCOMPARE(app.list().current().GastNr, 3);
    QCOMPARE(app.list().at(1).GastNr, 2);
}

void TestGuestForm::recordZeroIsNotDeleted()
{
    AppFixture app;
    app.click("ButtonStornieren");
    QCOMPARE(app.list().size(), 1);
    QCOMPARE(app.status(), QStringLiteral("Kein Gast gewählt"));
    QVERIFY(!app.list().changed());
}

void TestGuestForm::valuesBeyondTheBoxesSurviveTheForm()
{
    AppFixture app;
    app.writeFile(QStringLiteral("Gaeste.csv"),
                  "0;;0;30.12.1899;00:00:00;30.12.1899;00:00:00;;;0;;;;0; 0,00;False;False;\r\n"
                  "150;2;7;01.03.2025;14:30:15;03.03.2025;10:00:00;Gruppe;Weg 1;34519;Diemelsee;;;2000000000;"
                  "1234567,89;True;False;Chor\r\n");
    app.dialogs.openFile = app.path(QStringLiteral("Gaeste.csv"));
    app.click("ButtonRead");
    QCOMPARE(app.list().currentIndex(), 1);
    const TGast before = app.list().current();
    app.type("EditBem", QStringLiteral(" 2025")); // leaving any field copies the form
    TGast expected = before;
    expected.Bemerkung = QStringLiteral("Chor 2025");
    QCOMPARE(app.list().current(), expected);
    QCOMPARE(app.list().current().GastNr, 150);
    QCOMPARE(app.list().current().Personen, 7);
    QCOMPARE(app.list().current().ReNr, 2000000000);
    QCOMPARE(app.list().current().Kosten, 1234567.89);
    QCOMPARE(app.w<QSpinBox>("NumberBoxGastnr")->value(), 150);
    QCOMPARE(app.w<QSpinBox>("NumberBoxPersonen")->value(), 7);
}

void TestGuestForm::checkBoxReachesRecordAtOnce()
{
    AppFixture app;
    app.click("ButtonNeuerGast");
    QTest::mouseClick(app.w<QCheckBox>("CheckBoxBez"), Qt::LeftButton);
    QVERIFY(app.list().current().Bezahlt);
    app.w<QCheckBox>("CheckBoxKey")->click();
    QVERIFY(app.list().current().Schluessel);
}

void TestGuestForm::semicolonIsRefused()
{
    AppFixture app;
    app.click("ButtonNeuerGast");
    app.type("EditName", QStringLiteral("Mayer;Schulz"));
    app.type("EditZimmer", QStringLiteral("1;24x31"));
    QCOMPARE(app.list().current().Name, QStringLiteral("MayerSchulz"));
    QCOMPARE(app.list().current().Zimmer, QStringLiteral("123"));
}

void TestGuestForm::typedAmountIsReadAsMeant_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("expected");
    QTest::addColumn<QString>("refusal"); // empty: taken
    QTest::newRow("decimal comma") << "85,50" << 85.5 << "";
    QTest::newRow("point before cents") << "85.50" << 85.5 << "";
    QTest::newRow("thousands") << "1.500" << 1500.0 << "";
    QTest::newRow("letter O") << "1O0,00" << 12.0 << "'1O0,00' ist kein gültiger Betrag";
    QTest::newRow("three decimals") << "85,505" << 12.0 << "'85,505' ist kein gültiger Betrag";
    QTest::newRow("negative") << "-5" << 12.0 << "'-5' ist kein gültiger Betrag: er muss zwischen 0,00 und 99.999.999,99 liegen";
}

void TestGuestForm::typedAmountIsReadAsMeant()
{
    QFETCH(QString, typed);
    QFETCH(double, expected);
    QFETCH(QString, refusal);
    AppFixture app;
    app.click("ButtonNeuerGast");
    // Over the whole amount, as a host selects it.
    const auto typeOver = [&app](const QString &text) {
        app.enter("NumberBoxKosten");
        QTest::keyClick(app.w("NumberBoxKosten"), Qt::Key_A, Qt::ControlModifier);
        app.keyClicks("NumberBoxKosten", text);
        app.leave();
    };
    typeOver(QStringLiteral("12"));
    QCOMPARE(app.list().current().Kosten, 12.0);
    typeOver(typed);
    QCOMPARE(app.list().current().Kosten, expected);
    QCOMPARE(app.w<QDoubleSpinBox>("NumberBoxKosten")->value(), expected);
    if (refusal.isEmpty()) {
        QVERIFY(app.dialogs.errors.isEmpty());
    } else {
        QTRY_COMPARE(app.dialogs.errors, QStringList{refusal});
    }
}

void TestGuestForm::closingAsksOnlyWhenChanged()
{
    {
        AppFixture app;
        QVERIFY(app.window->close());
        QVERIFY(app.dialogs.confirmations.isEmpty());
    }
    {
        AppFixture app;
        app.dialogs.saveFile = app.path(QStringLiteral("Gaeste.csv"));
        app.click("ButtonNeuerGast");
        app.enter("EditName");
        app.keyClicks("EditName", QStringLiteral("Otto"));
        app.dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Nein"); };
        QVERIFY(app.window->close()); // No: nothing is written
        QCOMPARE(app.dialogs.choicesAsked, QStringList{QStringLiteral("Daten sichern?|Ja|Nein|Abbrechen")});
        QVERIFY(!QFile::exists(app.path(QStringLiteral("Gaeste.csv"))));
    }
    {
        AppFixture app;
        app.dialogs.saveFile = app.path(QStringLiteral("Gaeste.csv"));
        app.click("ButtonNeuerGast");
        app.enter("EditName");
        app.keyClicks("EditName", QStringLiteral("Otto"));
        // Yes: the name being typed is saved too
        app.dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Ja"); };
        QVERIFY(app.window->close());
        QVERIFY(app.readFile(QStringLiteral("Gaeste.csv")).contains(";Otto;"));
    }
}

void TestGuestForm::closingKeepsWindowOpenWhenSaveFails()
{
    AppFixture app;
    app.dialogs.saveFile = app.path(QStringLiteral("kein/Ordner/Gaeste.csv"));
    app.click("ButtonNeuerGast");
    app.dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Ja"); };
    QVERIFY(!app.window->close());
    QVERIFY(app.window->isVisible());
    QCOMPARE(app.dialogs.errors.size(), 1);
    QVERIFY(app.dialogs.errors.first().startsWith(QStringLiteral("Ungültiger Dateiname\n")));
    QVERIFY(app.list().changed());
}

void TestGuestForm::realQuestionOnClosingSaysJaNeinAbbrechen()
{
    QVERIFY(InstallGermanQtTexts(*QCoreApplication::instance()));
    AppFixture app; // its working folder holds the price file
    app.window.reset();
    TMainForm window; // the shipped dialogs
    window.show();
    window.findChild<QAbstractButton *>(QStringLiteral("ButtonNeuerGast"))->click();
    QStringList buttons;
    QString question;
    QTimer::singleShot(0, &window, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        question = box->text();
        for (QAbstractButton *button : box->buttons())
            buttons << button->text().remove(u'&');
        for (QAbstractButton *button : box->buttons())
            if (button->text().remove(u'&') == QStringLiteral("Nein"))
                button->click();
    });
    QVERIFY(window.close());
    QCOMPARE(question, QStringLiteral("Daten sichern?"));
    QCOMPARE(buttons, (QStringList{QStringLiteral("Ja"), QStringLiteral("Nein"), QStringLiteral("Abbrechen")}));
    QVERIFY(!QFile::exists(app.path(QStringLiteral("Gaeste.csv"))));
}

QTEST_MAIN(TestGuestForm)
#include "test_guestform.moc"
