// The booking confirmation through the real main window: "Gast" → "Buchungsbestätigung…" writes
// the letter into "Bestätigungen" and opens it, "Per E-Mail senden…" hands it to the mail program
// (never sending anything itself), and the page "Bestätigung" of the settings keeps the host's text.

#include "app/settings/SettingsDialog.h"
#include "billing/BookingConfirmation.h"
#include "exchange/MailCommand.h"
#include "guestfile/GuestFile.h"
#include "support/AppFixture.h"
#include "support/GuestBuilder.h"

#include <QDateEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTabWidget>
#include <poppler-qt6.h>

using app::SettingsDialog;
using exchange::ProgramCall;
using fixture::Stay;
using guestfile::confirmationText;
using guestfile::OpenSettings;
using guestfile::setConfirmationText;
using guestfile::setHouseDetails;
using guestfile::WriteGuestFile;
using guests::TGast;

namespace {

platform::TDateTime d(int year, int month, int day)
{
    return platform::DateToDay(QDate(year, month, day));
}

const QString kHostText = QStringLiteral("Hallo {Name}, wir erwarten Sie am {Anreise} für {Naechte} Nächte.");

// Anna's booking is complete; Bert has no e-mail address.
std::vector<TGast> someGuests(const QString &annasAddress = QStringLiteral("anna@example.de"))
{
    TGast anna = Stay(1, "13", 2, d(2025, 3, 1), d(2025, 3, 4), QStringLiteral("Anna Müller"))
                     .address(QStringLiteral("Hauptstraße 5"), 1067, QStringLiteral("Dresden"))
                     .kosten(540);
    anna.Anreise = platform::TimeToFraction(QTime(15, 0));
    anna.Abreise = platform::TimeToFraction(QTime(10, 30));
    anna.EMail = annasAddress;
    const TGast bert = Stay(2, "2", 1, d(2025, 3, 5), d(2025, 3, 6), QStringLiteral("Bert Kunz"));
    return {TGast{}, anna, bert};
}

// A house with its letterhead and text, the guests read from the working folder, Anna shown.
class Letters : public AppFixture
{
public:
    explicit Letters(const std::vector<TGast> &records = someGuests())
    {
        WriteGuestFile(path(QStringLiteral("Gaeste.csv")), records);
        click("ButtonRead");
        w<QSpinBox>("SpinBox1")->setValue(1);
        QCoreApplication::processEvents();
        window->context().setProgramRunner([this](const ProgramCall &call) {
            calls.push_back(call);
            return starts.value(static_cast<qsizetype>(calls.size()) - 1, true);
        });
    }

    // The letters written, by file name.
    QStringList lettersWritten() const
    {
        return QDir(path(QStringLiteral("Bestätigungen"))).entryList(QDir::Files, QDir::Name);
    }

    std::vector<ProgramCall> calls; // the programs the window started
    QList<bool> starts;             // whether each of them starts (true beyond the list)
};

QString pdfText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<no file %1>").arg(path);
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(file.readAll());
    if (!document || document->numPages() != 1)
        return QStringLiteral("<not a one-page PDF %1>").arg(path);
    return document->page(0)->text(QRectF()).simplified();
}

} // namespace

class TestConfirmation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        OpenSettings()->remove(QStringLiteral("Bestaetigung"));
        setHouseDetails({QStringLiteral("Gasthaus Linde"), QStringLiteral("Lindenweg 3\n34519 Diemelsee"),
                         QStringLiteral("05632 1234"), QStringLiteral("info@linde.de"), QString()});
        setConfirmationText(kHostText);
    }
    void letterHoldsTheBookingAsShown();
    void incompleteBookingIsRefused_data();
    void incompleteBookingIsRefused();
    void mailGoesToTheMailProgram();
    void mailFallsBackWithoutXdgEmail_data();
    void mailFallsBackWithoutXdgEmail();
    void withoutMailProgramTheHostGetsTheParts_data();
    void withoutMailProgramTheHostGetsTheParts();
    void badAddressStartsNothing_data();
    void badAddressStartsNothing();
    void settingsPageKeepsTheText();
    void menuGastIsReachedByTheKeyboard();
    void textThatCannotBeKeptIsSaid();
};

void TestConfirmation::letterHoldsTheBookingAsShown()
{
    Letters app;
    // Typed on the form and not yet left: the letter carries it all the same.
    app.enter("EditOrt");
    app.w<QLineEdit>("EditOrt")->selectAll();
    app.keyClicks("EditOrt", QStringLiteral("Leipzig"));

    app.trigger("ActionBuchungsbestaetigung");

    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    const QString file = QStringLiteral("Bestätigung 1 Anna Müller 01.03.2025.pdf");
    QCOMPARE(app.lettersWritten(), QStringList{file});
    const QString path = QDir(app.path(QStringLiteral("Bestätigungen"))).filePath(file);
    QCOMPARE(app.dialogs.documentsOpened, QStringList{path});
    QVERIFY2(app.status().contains(file), qPrintable(app.status()));

    const QString text = pdfText(path);
    for (const QString &part :
         {QStringLiteral("Gasthaus Linde"), QStringLiteral("Lindenweg 3"), QStringLiteral("34519 Diemelsee"),
          QStringLiteral("Anna Müller"), QStringLiteral("Hauptstraße 5"), QStringLiteral("01067 Leipzig"),
          QStringLiteral("Zimmer: 1 und 3"), QStringLiteral("Personen: 2"),
          QStringLiteral("Anreise: Sa., 01.03.2025 ab 15:00"), QStringLiteral("Abreise: Di., 04.03.2025 bis 10:30"),
          QStringLiteral("Nächte: 3"), QStringLiteral("Preis: 540,00 €"),
          QStringLiteral("Hallo Anna Müller, wir erwarten Sie am 01.03.2025 für 3 Nächte.")})
        QVERIFY2(text.contains(part), qPrintable(part + QStringLiteral(" not in: ") + text));
    QVERIFY2(!text.contains(u'{'), qPrintable(text));
    // Nothing of the letter went into the guest file's record.
    QCOMPARE(app.list().at(1).Ort, QStringLiteral("Leipzig"));
    QVERIFY(!app.dialogs.confirmations.size());

    // Made again after a change: the same file, now with the new text, and nothing else beside it.
    setConfirmationText(QStringLiteral("Bis bald, {Name}!"));
    app.trigger("ActionBuchungsbestaetigung");
    QCOMPARE(app.lettersWritten(), QStringList{file});
    QVERIFY2(pdfText(path).contains(QStringLiteral("Bis bald, Anna Müller!")), qPrintable(pdfText(path)));

    // A desktop without a PDF program: the letter is kept, and the host is told where.
    app.dialogs.documentOpens = false;
    app.trigger("ActionBuchungsbestaetigung");
    QCOMPARE(app.dialogs.errors.size(), 1);
    QVERIFY2(app.dialogs.errors.front().contains(QDir::toNativeSeparators(path)),
             qPrintable(app.dialogs.errors.front()));
}

void TestConfirmation::incompleteBookingIsRefused_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("message");
    for (const char *action : {"ActionBuchungsbestaetigung", "ActionPerEmail"}) {
        QTest::addRow("%s, no name", action) << action << "EditName"
                                             << "Für eine Buchungsbestätigung fehlt noch: der Name des Gastes.";
        QTest::addRow("%s, no room", action) << action << "EditZimmer"
                                             << "Für eine Buchungsbestätigung fehlt noch: das Zimmer.";
        QTest::addRow("%s, departure on the day of arrival", action)
            << action << "DateEditBis"
            << "Die Abreise (01.03.2025) liegt nicht nach der Anreise (01.03.2025): so kann die Buchung nicht "
               "bestätigt werden.";
    }
}

void TestConfirmation::incompleteBookingIsRefused()
{
    QFETCH(QString, action);
    QFETCH(QString, field);
    QFETCH(QString, message);
    Letters app;
    if (field == u"DateEditBis") {
        app.w<QDateEdit>("DateEditBis")->setDate(QDate(2025, 3, 1));
    } else {
        app.enter(qPrintable(field));
        app.w<QLineEdit>(qPrintable(field))->clear();
    }
    app.leave();
    app.dialogs.errors.clear();

    app.trigger(qPrintable(action));

    QCOMPARE(app.dialogs.errors, QStringList{message});
    QVERIFY(app.lettersWritten().isEmpty());
    QVERIFY(app.dialogs.documentsOpened.isEmpty());
    QVERIFY(app.calls.empty());
}

void TestConfirmation::mailGoesToTheMailProgram()
{
    Letters app;
    app.trigger("ActionPerEmail");

    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    const QString path = QDir(app.path(QStringLiteral("Bestätigungen")))
                             .filePath(QStringLiteral("Bestätigung 1 Anna Müller 01.03.2025.pdf"));
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(app.calls.size(), std::size_t(1));
    const ProgramCall expected{
        QStringLiteral("xdg-email"),
        {QStringLiteral("--subject"), QStringLiteral("Buchungsbestätigung Gasthaus Linde: 01.03.2025 bis 04.03.2025"),
         QStringLiteral("--body"), QStringLiteral("Hallo Anna Müller, wir erwarten Sie am 01.03.2025 für 3 Nächte."),
         QStringLiteral("--attach"), QFileInfo(path).absoluteFilePath(), QStringLiteral("mailto:anna@example.de")}};
    QCOMPARE(app.calls.front().program, expected.program);
    QCOMPARE(app.calls.front().arguments, expected.arguments);
    // The attached letter is the booking's.
    QVERIFY(pdfText(path).contains(QStringLiteral("Hallo Anna Müller")));
    QVERIFY2(app.status().contains(QStringLiteral("angehängt")), qPrintable(app.status()));
    QVERIFY(app.dialogs.informations.isEmpty());
    QVERIFY(app.dialogs.documentsOpened.isEmpty());
}

void TestConfirmation::mailFallsBackWithoutXdgEmail_data()
{
    QTest::addColumn<QList<bool>>("starts"); // xdg-email, xdg-open mailto:, xdg-open folder
    QTest::addColumn<QString>("informed");   // empty: none
    QTest::addColumn<QString>("error");      // empty: none
    QTest::newRow("mail and folder open")
        << QList<bool>{false, true, true} << "aus dem geöffneten Ordner an die E-Mail anhängen" << QString();
    QTest::newRow("only the mail opens") << QList<bool>{false, true, false}
                                         << "Bitte die Bestätigung anhängen: " << QString();
}

void TestConfirmation::mailFallsBackWithoutXdgEmail()
{
    QFETCH(QList<bool>, starts);
    QFETCH(QString, informed);
    QFETCH(QString, error);
    Letters app;
    app.starts = starts;
    const QString before = app.status();

    app.trigger("ActionPerEmail");

    QCOMPARE(app.calls.size(), std::size_t(3));
    QCOMPARE(app.calls[0].program, QStringLiteral("xdg-email"));
    const QUrl mail(app.calls[1].arguments.value(0));
    QCOMPARE(app.calls[1].program, QStringLiteral("xdg-open"));
    QCOMPARE(mail.scheme(), QStringLiteral("mailto"));
    QCOMPARE(mail.path(), QStringLiteral("anna@example.de"));
    // The folder opened beside the mail is the letter's.
    QCOMPARE(app.calls[2], (ProgramCall{QStringLiteral("xdg-open"),
                                        {QFileInfo(app.path(QStringLiteral("Bestätigungen"))).absoluteFilePath()}}));
    QCOMPARE(app.dialogs.informations.size(), informed.isEmpty() ? 0 : 1);
    if (!informed.isEmpty())
        QVERIFY2(app.dialogs.informations.front().contains(informed), qPrintable(app.dialogs.informations.front()));
    QCOMPARE(app.dialogs.errors.size(), error.isEmpty() ? 0 : 1);
    if (!error.isEmpty()) {
        QVERIFY2(app.dialogs.errors.front().contains(error), qPrintable(app.dialogs.errors.front()));
        // No mail opened: the status line does not claim one.
        QCOMPARE(app.status(), before);
    }
    // The letter is kept whatever the mail program did.
    QCOMPARE(app.lettersWritten().size(), 1);
}

void TestConfirmation::withoutMailProgramTheHostGetsTheParts_data()
{
    QTest::addColumn<QString>("button"); // empty: Esc
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<bool>("folderOpened");
    QTest::newRow("Ordner öffnen") << "Ordner öffnen" << "anna@example.de" << true;
    QTest::newRow("Betreff und Text kopieren") << "Betreff und Text kopieren" << "An: anna@example.de\nBetreff: " << false;
    QTest::newRow("Schließen") << "Schließen" << "anna@example.de" << false;
    QTest::newRow("Esc") << "" << "anna@example.de" << false;
}

void TestConfirmation::withoutMailProgramTheHostGetsTheParts()
{
    QFETCH(QString, button);
    QFETCH(QString, clipboard);
    QFETCH(bool, folderOpened);
    Letters app;
    app.starts = {false, false, false}; // neither xdg-email nor xdg-open
    const QString before = app.status();
    app.dialogs.choose = [button](const QString &, const QStringList &) { return button; };

    app.trigger("ActionPerEmail");

    // The host hears where the letter is, with the address already on the clipboard.
    QCOMPARE(app.dialogs.choicesAsked.size(), 1);
    QVERIFY2(app.dialogs.choicesAsked.front().startsWith(
                 QStringLiteral("Kein E-Mail-Programm gefunden. Die Bestätigung liegt in:\n")),
             qPrintable(app.dialogs.choicesAsked.front()));
    QVERIFY2(app.dialogs.choicesAsked.front().contains(QStringLiteral("Die E-Mail-Adresse anna@example.de ist in die "
                                                                      "Zwischenablage kopiert.")),
             qPrintable(app.dialogs.choicesAsked.front()));
    QVERIFY(app.dialogs.choicesAsked.front().endsWith(
        QStringLiteral("|Ordner öffnen|Betreff und Text kopieren|Schließen")));
    QVERIFY2(QGuiApplication::clipboard()->text().startsWith(clipboard), qPrintable(QGuiApplication::clipboard()->text()));
    if (clipboard.startsWith(QStringLiteral("An:")))
        QVERIFY(QGuiApplication::clipboard()->text().contains(QStringLiteral("Hallo Anna Müller")));
    QCOMPARE(app.dialogs.documentsOpened.size(), folderOpened ? 1 : 0);
    if (folderOpened)
        QCOMPARE(app.dialogs.documentsOpened.front(), QFileInfo(app.path(QStringLiteral("Bestätigungen"))).absoluteFilePath());
    QVERIFY(app.dialogs.errors.isEmpty());
    // No mail opened: the status line does not claim one; the letter is kept.
    QCOMPARE(app.status(), before);
    QCOMPARE(app.lettersWritten().size(), 1);
}

void TestConfirmation::badAddressStartsNothing_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("message");
    QTest::newRow("none") << QString() << "Der Gast hat keine E-Mail-Adresse.";
    QTest::newRow("blanks") << "   "
                            << "Der Gast hat keine E-Mail-Adresse.";
    QTest::newRow("no @") << "anna.example.de"
                          << "Die E-Mail-Adresse „anna.example.de“ ist ungültig.";
    QTest::newRow("blank inside") << "anna @example.de"
                                  << "Die E-Mail-Adresse „anna @example.de“ ist ungültig.";
    QTest::newRow("a field of its own") << "anna@example.de?bcc=x@y.de"
                                        << "Die E-Mail-Adresse „anna@example.de?bcc=x@y.de“ ist ungültig.";
    QTest::newRow("an option") << "-a@b.de"
                               << "Die E-Mail-Adresse „-a@b.de“ ist ungültig.";
}

void TestConfirmation::badAddressStartsNothing()
{
    QFETCH(QString, address);
    QFETCH(QString, message);
    Letters app(someGuests(address));
    app.trigger("ActionPerEmail");
    QCOMPARE(app.dialogs.errors.size(), 1);
    QVERIFY2(app.dialogs.errors.front().startsWith(message), qPrintable(app.dialogs.errors.front()));
    QVERIFY(app.calls.empty());
    // Nothing is written for a mail that cannot go.
    QVERIFY(app.lettersWritten().isEmpty());
}

void TestConfirmation::settingsPageKeepsTheText()
{
    OpenSettings()->remove(QStringLiteral("Bestaetigung"));
    Letters app;
    const QByteArray guestFile = app.readFile(QStringLiteral("Gaeste.csv"));
    const auto open = [&app] {
        app.trigger("ActionEinstellungen");
        QCoreApplication::processEvents();
        auto *dialog = app.window->findChild<SettingsDialog *>(QStringLiteral("SettingsDialog"));
        if (!dialog || !dialog->isVisible())
            qFatal("the settings window did not open");
        return dialog;
    };
    SettingsDialog *dialog = open();
    auto *tabs = dialog->findChild<QTabWidget *>(QStringLiteral("TabsEinstellungen"));
    auto *edit = dialog->findChild<QPlainTextEdit *>(QStringLiteral("EditBestaetigungText"));
    auto *list = dialog->findChild<QListWidget *>(QStringLiteral("ListPlatzhalter"));
    QVERIFY(tabs && edit && list);
    // A house that wrote nothing starts with the default text; every placeholder is explained.
    QCOMPARE(edit->toPlainText(), billing::defaultConfirmationText());
    QCOMPARE(list->count(), static_cast<int>(billing::confirmationPlaceholders().size()));
    for (int row = 0; row < list->count(); ++row)
        QVERIFY2(list->item(row)->text().contains(QStringLiteral(" – ")), qPrintable(list->item(row)->text()));
    // Saved unchanged, the default is not written: a later default still reaches this house.
    QTest::mouseClick(dialog->findChild<QAbstractButton *>(QStringLiteral("ButtonEinstellungenSpeichern")),
                      Qt::LeftButton);
    QCoreApplication::processEvents();
    QVERIFY(!confirmationText().has_value());

    // The host writes a text, and puts a placeholder in from the list by the keyboard.
    dialog = open();
    tabs = dialog->findChild<QTabWidget *>(QStringLiteral("TabsEinstellungen"));
    edit = dialog->findChild<QPlainTextEdit *>(QStringLiteral("EditBestaetigungText"));
    list = dialog->findChild<QListWidget *>(QStringLiteral("ListPlatzhalter"));
    QTest::keyClick(tabs, Qt::Key_G, Qt::AltModifier);
    QCOMPARE(tabs->currentWidget(), edit->parentWidget());
    edit->clear();
    edit->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(edit, QStringLiteral("Willkommen am "));
    QTest::keyClick(edit, Qt::Key_T, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), list);
    list->setCurrentRow(1);
    QCOMPARE(list->currentItem()->data(Qt::UserRole).toString(), QStringLiteral("{Anreise}"));
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY2(dialog->isVisible(), "Enter in the list pressed Speichern");
    QCOMPARE(QApplication::focusWidget(), edit);
    QTest::keyClicks(edit, QStringLiteral("!"));
    QCOMPARE(edit->toPlainText(), QStringLiteral("Willkommen am {Anreise}!"));
    QTest::mouseClick(dialog->findChild<QAbstractButton *>(QStringLiteral("ButtonEinstellungenSpeichern")),
                      Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(confirmationText(), std::optional(QStringLiteral("Willkommen am {Anreise}!")));
    // Kept in the settings file, never in the guest file.
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")), guestFile);

    // The letter uses it at once.
    app.trigger("ActionBuchungsbestaetigung");
    QCOMPARE(app.dialogs.documentsOpened.size(), 1);
    QVERIFY(pdfText(app.dialogs.documentsOpened.front()).contains(QStringLiteral("Willkommen am 01.03.2025!")));

    // Shown again as kept; "Vorgabetext wiederherstellen" brings the default back.
    dialog = open();
    edit = dialog->findChild<QPlainTextEdit *>(QStringLiteral("EditBestaetigungText"));
    QCOMPARE(edit->toPlainText(), QStringLiteral("Willkommen am {Anreise}!"));
    QTest::mouseClick(dialog->findChild<QAbstractButton *>(QStringLiteral("ButtonBestaetigungVorgabe")),
                      Qt::LeftButton);
    QCOMPARE(edit->toPlainText(), billing::defaultConfirmationText());
    // Cancelled: the host's text stays.
    QTest::mouseClick(dialog->findChild<QAbstractButton *>(QStringLiteral("ButtonEinstellungenAbbrechen")),
                      Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(confirmationText(), std::optional(QStringLiteral("Willkommen am {Anreise}!")));
}

void TestConfirmation::menuGastIsReachedByTheKeyboard()
{
    Letters app;
    app.enter("EditName");
    // Alt alone moves into the menu bar, the arrow keys along it, as well as Alt+G.
    QWidget *field = QApplication::focusWidget();
    QTest::keyPress(field, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(field, Qt::Key_Alt, Qt::NoModifier);
    QMenuBar *bar = app.window->menuBar();
    QVERIFY(bar->activeAction());
    QTest::keyClick(bar, Qt::Key_Right);
    QTest::keyClick(bar, Qt::Key_Right);
    QVERIFY(bar->activeAction());
    QCOMPARE(bar->activeAction()->text(), QStringLiteral("&Gast"));
    QCOMPARE(bar->activeAction()->menu()->objectName(), QStringLiteral("MenuGast"));
    QTest::keyClick(bar, Qt::Key_Escape);

    // Within the menu each entry has a letter of its own.
    QStringList letters;
    for (const QAction *entry : app.w<QMenu>("MenuGast")->actions())
        if (!entry->isSeparator())
            letters << QKeySequence::mnemonic(entry->text()).toString();
    QCOMPARE(letters.size(), 3); // Buchungsbestätigung, E-Mail, Auskunft
    QVERIFY(!letters.contains(QString()));
    QCOMPARE(letters.removeDuplicates(), 0);
}

void TestConfirmation::textThatCannotBeKeptIsSaid()
{
    Letters app;
    app.trigger("ActionEinstellungen");
    QCoreApplication::processEvents();
    auto *dialog = app.window->findChild<SettingsDialog *>(QStringLiteral("SettingsDialog"));
    QVERIFY(dialog && dialog->isVisible());
    auto *edit = dialog->findChild<QPlainTextEdit *>(QStringLiteral("EditBestaetigungText"));
    edit->setPlainText(QStringLiteral("Ein langer Text, der nicht verloren gehen darf."));
    // The settings file cannot be written: a folder stands in its place.
    const QString ini = OpenSettings()->fileName();
    QVERIFY(QFile::remove(ini));
    QVERIFY(QDir().mkdir(ini));
    const auto restore = qScopeGuard([&] { QDir().rmdir(ini); });

    QTest::mouseClick(dialog->findChild<QAbstractButton *>(QStringLiteral("ButtonEinstellungenSpeichern")),
                      Qt::LeftButton);
    QCoreApplication::processEvents();

    QCOMPARE(app.dialogs.errors.size(), 1);
    QVERIFY2(app.dialogs.errors.front().startsWith(QStringLiteral("Der Text der Buchungsbestätigung konnte nicht in")),
             qPrintable(app.dialogs.errors.front()));
    // The window stays open on its page with the text, so the host can try again.
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->findChild<QTabWidget *>(QStringLiteral("TabsEinstellungen"))->currentWidget(),
             edit->parentWidget());
    QCOMPARE(edit->toPlainText(), QStringLiteral("Ein langer Text, der nicht verloren gehen darf."));
}

QTEST_MAIN(TestConfirmation)
#include "test_confirmation.moc"
