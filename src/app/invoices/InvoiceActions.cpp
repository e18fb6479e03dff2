#include "app/invoices/InvoiceActions.h"

#include "app/AppContext.h"
#include "app/BookingEditor.h"
#include "app/ExportTargets.h"
#include "app/GuardedAction.h"
#include "app/StatusLine.h"
#include "app/session/GuestFileController.h"
#include "app/settings/SettingsDialog.h"
#include "billing/BillingFiles.h"
#include "billing/Cancellation.h"
#include "billing/Invoice.h"
#include "billing/InvoiceArchive.h"
#include "billing/InvoiceFiles.h"
#include "billing/InvoiceNumber.h"
#include "billing/IssuedInvoices.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/Error.h"

#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QScopeGuard>
#include <memory>

namespace app {

using billing::Briefkopf;
using billing::DateiFund;
using billing::EInvoiceError;
using billing::KeepPrintedFilePrivate;
using billing::KopieErgebnis;
using billing::KostenBeimEintritt;
using billing::KostenBerechnen;
using billing::KostenLage;
using billing::KostenVorschlag;
using billing::kRechnungenOrdner;
using billing::kRechnungsvorlageDatei;
using billing::kReNummerDatei;
using billing::LiesReNrStand;
using billing::NaechsteReNrVorschau;
using billing::NeueRechnungFrage;
using billing::OhneAnschriftFrage;
using billing::RechnungErstellen;
using billing::RechnungsDateien;
using billing::RechnungsDateiname;
using billing::RechnungsErgebnis;
using billing::RechnungskopieDrucken;
using billing::ReNrBeginnen;
using billing::SucheDatei;
using billing::TPreisMatrix;
using billing::VergleichMitPreisliste;
using guestfile::HouseDetails;
using guestfile::SetupStep;
using guests::TGast;

namespace {

const QString kKeinGastGewaehlt = QStringLiteral("Kein Gast gewählt");
const QString kKeineRechnung = QStringLiteral("Keine Rechnung gedruckt");

// Offers `path` as the file to print to, without making printing to a file the choice: the
// printer stays the one the dialog would offer. Returns the offered path.
QString SuggestPrintFile(QPrinter &printer, const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    printer.setOutputFileName(absolute);
    printer.setOutputFormat(QPrinter::NativeFormat);
    return printer.outputFileName() == absolute ? absolute : QString();
}

} // namespace

InvoiceActions::InvoiceActions(AppContext &context, BookingEditor &editor, GuestFileController &files,
                               StatusLine &status, QWidget *window, double costMaximum)
    : context_(context), list_(context.guestList()), editor_(editor), files_(files), status_(status), window_(window),
      costMaximum_(costMaximum), kostenBezuege_(context.guests())
{
    Dialogs &dialogs = context_.dialogs();
    drucken_ = guardedAction(
        window_, this, dialogs, QStringLiteral("Rechnung &drucken…"), nullptr, [this] { ButtonPrintReClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_P));
    kopie_ = guardedAction(
        window_, this, dialogs, QStringLiteral("Rechnungs&kopie…"), "ActionRechnungskopie",
        [this] { RechnungskopieClick(); }, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    kopie_->setStatusTip(QStringLiteral("Die Rechnung dieses Gastes noch einmal drucken, ohne neue Nummer"));
    storno_ = guardedAction(window_, this, dialogs, QStringLiteral("Rechnung &stornieren…"), "ActionRechnungStornieren",
                            [this] { RechnungStornierenClick(); });
    storno_->setStatusTip(
        QStringLiteral("Eine Stornorechnung zur Rechnung dieses Gastes drucken; danach kann neu berechnet werden"));
    kostenBerechnen_ = guardedAction(
        window_, this, dialogs, QStringLiteral("Kosten &berechnen"), "ActionKostenBerechnen",
        [this] { KostenBerechnenClick(); }, QKeySequence(Qt::CTRL | Qt::Key_K));
    kostenBerechnen_->setStatusTip(QStringLiteral("Die Kosten nach der Preisliste in das Feld eintragen"));

    // A copy exists only of an invoice that was issued.
    const auto followInvoice = [this] {
        const bool invoiced = list_.currentIndex() > 0 && list_.current().ReNr != 0;
        kopie_->setEnabled(invoiced);
        storno_->setEnabled(invoiced);
    };
    followInvoice();
    using guests::GuestList;
    for (const auto changed : {&GuestList::recordChanged, &GuestList::currentChanged, &GuestList::recordRemoved})
        connect(&list_, changed, this, followInvoice);
    connect(&list_, &GuestList::listReset, this, followInvoice);
}

InvoiceActions::~InvoiceActions() = default;

void InvoiceActions::addToCostMenu(QDoubleSpinBox *kosten)
{
    kosten->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(kosten, &QWidget::customContextMenuRequested, this, [this, kosten](const QPoint &at) {
        auto *edit = kosten->findChild<QLineEdit *>();
        const std::unique_ptr<QMenu> menu(edit ? edit->createStandardContextMenu() : new QMenu);
        menu->setObjectName(QStringLiteral("MenuKosten"));
        menu->addSeparator();
        menu->addAction(kostenBerechnen_);
        menu->exec(kosten->mapToGlobal(at));
    });
}

QString InvoiceActions::dataPath(const char *fileName)
{
    return context_.dataPath(window_, QString::fromUtf8(fileName), false);
}

// --- the cost -------------------------------------------------------------------------------

void InvoiceActions::NumberBoxKostenEnter()
{
    Uebernachtungskosten();
}

const TPreisMatrix *InvoiceActions::priceList()
{
    return context_.priceList(window_);
}

KostenLage InvoiceActions::kostenLage()
{
    KostenLage lage;
    lage.matrix = priceList();
    lage.ohneListe = context_.priceListRead().kurz;
    lage.maximum = costMaximum_;
    lage.basis = kostenBezuege_.basis(list_.currentIndex());
    return lage;
}

void InvoiceActions::Uebernachtungskosten()
{
    editor_.takeOver();
    const KostenVorschlag vorschlag = KostenBeimEintritt(list_.current(), kostenLage());
    if (!vorschlag.status.isEmpty())
        status_.sayAboutShown(vorschlag.status);
    if (vorschlag.kosten) {
        list_.modifyCurrent([&vorschlag](TGast &g) { g.Kosten = static_cast<decltype(g.Kosten)>(*vorschlag.kosten); });
        kostenBezuege_.festhalten(list_.currentIndex());
    }
}

void InvoiceActions::KostenBerechnenClick()
{
    editor_.takeOver();
    if (list_.currentIndex() == 0) {
        status_.say(kKeinGastGewaehlt);
        return;
    }
    const KostenVorschlag vorschlag = KostenBerechnen(list_.current(), kostenLage());
    status_.sayAboutShown(vorschlag.status);
    if (vorschlag.kosten) {
        list_.modifyCurrent([&vorschlag](TGast &g) { g.Kosten = static_cast<decltype(g.Kosten)>(*vorschlag.kosten); });
        kostenBezuege_.festhalten(list_.currentIndex());
    }
}

// --- the invoice ----------------------------------------------------------------------------

QString InvoiceActions::invoiceFormPath(bool required)
{
    const DateiFund fund =
        SucheDatei(QString::fromUtf8(kRechnungsvorlageDatei),
                   context_.dataFolder().chosen() ? context_.dataFolder().folder() : QString(), context_.startFolder());
    if (required && !fund.gefunden())
        throw EInvoiceError(fund.fehler +
                            QStringLiteral("\nEs wurde keine Rechnungsnummer vergeben und nichts gedruckt."));
    return fund.pfad;
}

bool InvoiceActions::ensureInvoiceCounter(const QString &counter)
{
    if (!LiesReNrStand(counter).fehlt)
        return true;
    // Numbers the records, the kept copies or the journal carry already are not offered again.
    const QString ablage = QFileInfo(counter).dir().filePath(QString::fromUtf8(kRechnungenOrdner));
    const qint32 lowest = billing::HighestIssuedNumber(list_.records(), ablage) + 1;
    const std::optional<int> first = context_.dialogs().askNumber(
        window_,
        QStringLiteral("Mit welcher Nummer soll die nächste Rechnung beginnen?\n\nDer Rechnungszähler %1 fehlt "
                       "noch; er wird mit dieser Nummer angelegt in:\n%2")
            .arg(QString::fromUtf8(kReNummerDatei), QDir::toNativeSeparators(QFileInfo(counter).absolutePath())),
        lowest, lowest);
    if (!first)
        return false;
    ReNrBeginnen(counter, *first, lowest - 1);
    return true;
}

void InvoiceActions::ButtonPrintReClick()
{
    editor_.takeOver();
    if (list_.currentIndex() == 0) {
        status_.say(kKeinGastGewaehlt);
        return;
    }
    Dialogs &dialogs = context_.dialogs();
    // Without the form nothing can be printed: settled before anything else is asked.
    if (!context_.printWithoutForm() && !ensureInvoiceForm()) {
        status_.say(kKeineRechnung);
        return;
    }
    if (!priceList()) {
        enum class Ohne { Einstellungen, Weiter };
        if (dialogs.choose(window_,
                           context_.priceListRead().meldung +
                               QStringLiteral("\n\nDie Preisliste in den Einstellungen anlegen, oder die Rechnung mit "
                                              "dem eingetragenen Betrag drucken?"),
                           {{Ohne::Einstellungen, QStringLiteral("Einstellungen…")},
                            {Ohne::Weiter, QStringLiteral("Mit eingetragenem Betrag")}},
                           Ohne::Weiter, Ohne::Weiter) == Ohne::Einstellungen) {
            Q_EMIT settingsWanted(SetupStep::PriceList);
            status_.say(QStringLiteral("Keine Rechnung gedruckt: erst die Preisliste anlegen"));
            return;
        }
    }
    // An issued invoice stays as it is: a copy of it, or a cancellation before a new one. The
    // journal knows it even when the record lost its number (a kill, another copy's save).
    bool cancelFirst = false;
    std::optional<double> newCost;
    const std::optional<billing::IssuedInvoice> inJournal =
        context_.dataFolder().chosen() ? billing::issuedInvoiceFor(context_.invoiceFolder(), list_.current())
                                       : std::nullopt;
    if (inJournal && list_.current().ReNr == 0) {
        list_.modifyCurrent([&inJournal](TGast &g) { g.ReNr = inJournal->nr; });
        status_.say(QStringLiteral("Rechnung %1 wieder bei Gast %2 eingetragen")
                        .arg(inJournal->nr)
                        .arg(list_.current().GastNr));
    }
    if (const qint32 issued = list_.current().ReNr; issued != 0) {
        enum class Schon { Kopie, Neu, Abbrechen };
        const QDate date = inJournal && inJournal->nr == issued ? inJournal->issued.date() : QDate();
        const Schon answer = dialogs.choose(window_, NeueRechnungFrage(issued, date),
                                            {{Schon::Kopie, QStringLiteral("Rechnungskopie")},
                                             {Schon::Neu, QStringLiteral("Stornieren und neu berechnen")},
                                             {Schon::Abbrechen, QStringLiteral("Abbrechen")}},
                                            Schon::Abbrechen, Schon::Abbrechen);
        if (answer == Schon::Kopie) {
            RechnungskopieClick();
            return;
        }
        if (answer != Schon::Neu) {
            status_.say(QStringLiteral("Keine neue Rechnung gedruckt"));
            return;
        }
        cancelFirst = true;
    }
    // Asked before a number is taken, so that a "Nein" costs nothing.
    if (const QString frage = OhneAnschriftFrage(list_.current());
        !frage.isEmpty() && !dialogs.confirm(window_, frage)) {
        status_.say(kKeineRechnung);
        return;
    }
    if (const auto vergleich = VergleichMitPreisliste(list_.current(), priceList())) {
        enum class Betrag { Preisliste, Eingetragen, Abbrechen };
        const Betrag answer = dialogs.choose(window_, vergleich->frage,
                                             {{Betrag::Preisliste, QStringLiteral("Preisliste")},
                                              {Betrag::Eingetragen, QStringLiteral("Eingetragener Betrag")},
                                              {Betrag::Abbrechen, QStringLiteral("Abbrechen")}},
                                             Betrag::Abbrechen, Betrag::Abbrechen);
        if (answer == Betrag::Abbrechen) {
            status_.say(kKeineRechnung);
            return;
        }
        // An invoice from before the journal is cancelled over the amount the record holds: the
        // list's amount reaches the record only after its cancellation.
        if (answer == Betrag::Preisliste && cancelFirst)
            newCost = vergleich->liste;
        else if (answer == Betrag::Preisliste)
            list_.modifyCurrent(
                [&vergleich](TGast &g) { g.Kosten = static_cast<decltype(g.Kosten)>(vergleich->liste); });
    }
    if (const QString frage = billing::UngewoehnlicherBetragFrage(list_.current(), priceList());
        !frage.isEmpty() && !dialogs.confirmDefaultNo(window_, frage)) {
        status_.say(kKeineRechnung);
        return;
    }
    if (context_.dataFolder().chosen() &&
        !ensureInvoiceCounter(context_.invoiceCounterPath())) {
        status_.say(kKeineRechnung);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    // Printed to a file, the invoice is named after its number: the one the counter will give,
    // looked at without taking it (CreateBill renames the file should another be taken).
    QString vorschlag;
    if (const auto next = NaechsteReNrVorschau(context_.invoiceCounterPath()))
        vorschlag = SuggestPrintFile(printer, context_.dataFolder().pathOf(RechnungsDateiname(*next)));
    if (dialogs.askPrinter(window_, printer) && MayPrintTo(window_, dialogs, context_.dataFolder(), printer)) {
        const auto keepPrivate = qScopeGuard([&] { KeepPrintedFilePrivate(printer, context_.dataFolder().folder()); });
        CreateBill(printer, vorschlag, cancelFirst, newCost);
    }
}

RechnungsDateien InvoiceActions::invoiceFiles(const QString &vorschlag)
{
    const bool ohneVorlage = context_.printWithoutForm();
    const auto counter = [this] {
        const QString path = dataPath(kReNummerDatei);
        if (!ensureInvoiceCounter(path))
            throw EInvoiceError(QStringLiteral("Es wurde keine erste Rechnungsnummer gewählt; es wurde keine "
                                               "Rechnungsnummer vergeben und nichts gedruckt."));
        return path;
    };
    RechnungsDateien dateien{ohneVorlage ? QString() : invoiceFormPath(true), counter,
                             [this] { return dataPath(kRechnungenOrdner); }, vorschlag};
    if (ohneVorlage) {
        const HouseDetails house = context_.houseDetails();
        dateien.ohneVorlage = Briefkopf{house.name, house.address, house.telephone, house.email, house.freeLine};
    }
    return dateien;
}

void InvoiceActions::CreateBill(QPrinter &printer, const QString &vorschlag, bool cancelFirst,
                                std::optional<double> newCost)
{
    Dialogs &dialogs = context_.dialogs();
    const RechnungsDateien dateien = invoiceFiles(vorschlag);
    std::optional<billing::CancellationResult> storno;
    if (cancelFirst) {
        // Printed to a file, the cancellation and the new invoice get a file each.
        const QString chosenFile = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
        if (!chosenFile.isEmpty() && chosenFile != vorschlag) {
            const QFileInfo file(chosenFile);
            printer.setOutputFileName(file.dir().filePath(file.completeBaseName() + QStringLiteral(" (Storno).pdf")));
        }
        storno = billing::cancelInvoice(list_, list_.currentIndex(), dateien, printer, platform::Today());
        if (!chosenFile.isEmpty())
            printer.setOutputFileName(chosenFile);
        if (!storno->journalError.isEmpty())
            dialogs.showError(window_, storno->journalError);
        if (!storno->counterNote.isEmpty())
            dialogs.inform(window_, storno->counterNote);
        // The cancellation is in the guest file before the new invoice is drawn, so that no state
        // between them is left that the next start could not explain.
        if (!storno->alreadyCancelled && !enterPrinted(QStringLiteral("Die Stornorechnung Nr. %1").arg(storno->nr),
                                                       QStringLiteral("Die neue Rechnung wurde nicht gedruckt.")))
            return;
        if (newCost)
            list_.modifyCurrent([&newCost](TGast &g) { g.Kosten = static_cast<decltype(g.Kosten)>(*newCost); });
    }
    const RechnungsErgebnis result =
        RechnungErstellen(list_, list_.currentIndex(), dateien, priceList(), printer, platform::Today());
    if (enterPrinted(QStringLiteral("Die Rechnung Nr. %1").arg(result.ReNr)))
        status_.say(storno && !storno->alreadyCancelled
                        ? QStringLiteral("Rechnung Nr. %1 storniert (Stornorechnung Nr. %2); Rechnung Nr. %3 gedruckt "
                                         "und als PDF abgelegt")
                              .arg(storno->refersTo)
                              .arg(storno->nr)
                              .arg(result.ReNr)
                        : QStringLiteral("Rechnung Nr. %1 gedruckt und als PDF abgelegt").arg(result.ReNr));
    // Printed and kept, but the journal line is missing: the host must hear of it, not read "abgelegt" only.
    if (!result.journalError.isEmpty())
        dialogs.showError(window_, result.journalError);
    if (!result.counterNote.isEmpty())
        dialogs.inform(window_, result.counterNote);
}

bool InvoiceActions::enterPrinted(const QString &what, const QString &more)
{
    QString why;
    try {
        if (files_.FileSave())
            return true;
        why = status_.text();
    } catch (const std::exception &error) {
        why = platform::ErrorText(error);
    }
    // Printed and kept, so the number is issued: the record that holds it must not be lost.
    files_.keepRecoveryCopy();
    QString message = QStringLiteral("%1 ist gedruckt und als PDF abgelegt, aber noch nicht in Gaeste.csv "
                                     "eingetragen:\n%2\n\nDie Änderung ist in der Wiederherstellungskopie gesichert; "
                                     "„Daten schreiben“ trägt sie ein, sobald das Speichern wieder gelingt.")
                          .arg(what, why);
    if (!more.isEmpty())
        message += u'\n' + more;
    context_.dialogs().showError(window_, message);
    status_.say(QStringLiteral("%1 ist gedruckt, aber noch nicht in Gaeste.csv eingetragen").arg(what));
    return false;
}

void InvoiceActions::RechnungskopieClick()
{
    editor_.takeOver();
    if (list_.currentIndex() == 0 || list_.current().ReNr == 0) {
        status_.say(QStringLiteral("Dieser Gast hat noch keine Rechnung"));
        return;
    }
    Dialogs &dialogs = context_.dialogs();
    const TGast gast = list_.current();
    const QString ablage = dataPath(kRechnungenOrdner);
    QPrinter printer(QPrinter::HighResolution);
    SuggestPrintFile(printer, context_.dataFolder().pathOf(QStringLiteral("Rechnung %1 Kopie.pdf").arg(gast.ReNr)));
    if (!dialogs.askPrinterFor(window_, printer, QStringLiteral("Rechnungskopie drucken")) ||
        !MayPrintTo(window_, dialogs, context_.dataFolder(), printer))
        return;
    const auto keepPrivate = qScopeGuard([&] { KeepPrintedFilePrivate(printer, context_.dataFolder().folder()); });
    // The form is needed only for an invoice from before copies were kept.
    const bool kept = QFileInfo::exists(QDir(ablage).filePath(RechnungsDateiname(gast.ReNr)));
    const KopieErgebnis result =
        RechnungskopieDrucken(gast, invoiceFormPath(!kept), ablage, printer, platform::Today());
    if (!result.fehler.isEmpty())
        dialogs.showError(window_, result.fehler);
    status_.say(result.neuGezeichnet && result.fehler.isEmpty()
                    ? QStringLiteral("Kopie der Rechnung Nr. %1 gedruckt und abgelegt").arg(gast.ReNr)
                    : QStringLiteral("Kopie der Rechnung Nr. %1 gedruckt").arg(gast.ReNr));
}

void InvoiceActions::RechnungStornierenClick()
{
    editor_.takeOver();
    if (list_.currentIndex() == 0 || list_.current().ReNr == 0) {
        status_.say(QStringLiteral("Dieser Gast hat keine Rechnung"));
        return;
    }
    Dialogs &dialogs = context_.dialogs();
    const TGast gast = list_.current();
    if (!dialogs.confirmDefaultNo(window_, billing::cancellationQuestion(gast))) {
        status_.say(QStringLiteral("Rechnung Nr. %1 nicht storniert").arg(gast.ReNr));
        return;
    }
    if (!context_.printWithoutForm() && !ensureInvoiceForm()) {
        status_.say(QStringLiteral("Nichts storniert"));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    QString vorschlag;
    if (const auto next = NaechsteReNrVorschau(context_.invoiceCounterPath()))
        vorschlag =
            SuggestPrintFile(printer, context_.dataFolder().pathOf(billing::cancellationFileName(*next, gast.ReNr)));
    if (!dialogs.askPrinterFor(window_, printer, QStringLiteral("Stornorechnung drucken")) ||
        !MayPrintTo(window_, dialogs, context_.dataFolder(), printer)) {
        status_.say(QStringLiteral("Nichts storniert"));
        return;
    }
    const auto keepPrivate = qScopeGuard([&] { KeepPrintedFilePrivate(printer, context_.dataFolder().folder()); });
    const billing::CancellationResult result =
        billing::cancelInvoice(list_, list_.currentIndex(), invoiceFiles(vorschlag), printer, platform::Today());
    const QString done = result.alreadyCancelled
                             ? QStringLiteral("Rechnung Nr. %1 war schon storniert; die Nummer ist beim Gast gelöscht")
                                   .arg(result.refersTo)
                             : QStringLiteral("Stornorechnung Nr. %1 zu Rechnung Nr. %2 gedruckt und als PDF abgelegt")
                                   .arg(result.nr)
                                   .arg(result.refersTo);
    if (result.alreadyCancelled) {
        // Nothing new was printed: only the record lost a number already cancelled.
        status_.say(files_.FileSave() ? done : done + QStringLiteral("; ") + status_.text());
    } else if (enterPrinted(QStringLiteral("Die Stornorechnung Nr. %1").arg(result.nr))) {
        status_.say(done);
    }
    if (!result.journalError.isEmpty())
        dialogs.showError(window_, result.journalError);
    if (!result.counterNote.isEmpty())
        dialogs.inform(window_, result.counterNote);
}

bool InvoiceActions::ensureInvoiceForm()
{
    const DateiFund fund =
        SucheDatei(QString::fromUtf8(kRechnungsvorlageDatei), context_.chosenFolder(), context_.startFolder());
    if (fund.gefunden())
        return true;
    enum class Vorlage { Bild, Ohne, Abbrechen };
    const Vorlage answer = context_.dialogs().choose(
        window_,
        fund.fehler + QStringLiteral("\n\nEin eingescanntes Formular als Vorlage wählen, oder ohne Vorlage auf einer "
                                     "schlichten Seite mit dem Briefkopf des Hauses drucken?"),
        {{Vorlage::Bild, QStringLiteral("Bild wählen…")},
         {Vorlage::Ohne, QStringLiteral("Ohne Vorlage")},
         {Vorlage::Abbrechen, QStringLiteral("Abbrechen")}},
        Vorlage::Bild, Vorlage::Abbrechen);
    if (answer == Vorlage::Ohne) {
        guestfile::setPrintWithoutForm(true);
        Q_EMIT setupChanged();
        return true;
    }
    if (answer != Vorlage::Bild)
        return false;
    const QString form =
        ChooseInvoiceForm(window_, context_.dialogs(),
                          context_.dataFolder().chosen() ? context_.dataFolder().folder() : context_.startFolder());
    Q_EMIT setupChanged();
    return !form.isEmpty();
}

} // namespace app
