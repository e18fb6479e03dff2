#include "billing/CreateBill.h"

#include "billing/Invoice.h"
#include "billing/InvoiceArchive.h"
#include "billing/InvoiceJournal.h"
#include "billing/InvoiceNumber.h"
#include "billing/InvoicePdf.h"
#include "billing/IssuedInvoices.h"
#include "billing/StayCost.h"
#include "platform/AnsiText.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/IoError.h"
#include "register/StayText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <algorithm>
#include <limits>

namespace billing {

using guests::GuestAndStay;
using guests::GuestList;
using guests::TGast;

namespace {

// A print to the file the dialog offered gets the name of the number really taken.
void druckdateiFolgtNummer(QPrinter &printer, const RechnungsDateien &dateien, const QString &counter,
                           const QString &name)
{
    if (dateien.druckdateiVorschlag.isEmpty() || printer.outputFormat() != QPrinter::PdfFormat ||
        printer.outputFileName() != dateien.druckdateiVorschlag)
        return;
    printer.setOutputFileName(QFileInfo(counter).absoluteDir().filePath(name));
}

QString reasonOnOneLine(const QString &text)
{
    return QString(text).replace(u'\n', u' ').simplified();
}

} // namespace

RechnungsDateien settledFiles(const RechnungsDateien &dateien)
{
    RechnungsDateien files = dateien;
    // Finding the counter may mean asking the host: once is enough.
    const QString counter = dateien.nummer();
    files.nummer = [counter] { return counter; };
    const QString ablage =
        dateien.ablage ? dateien.ablage() : QFileInfo(counter).dir().filePath(QString::fromUtf8(kRechnungenOrdner));
    files.ablage = [ablage] { return ablage; };
    return files;
}

JournalContents journalBeforeANumber(const QString &ablage)
{
    const QString nothingTaken = QStringLiteral("\nEs wurde keine Rechnungsnummer vergeben und nichts gedruckt.");
    PruefeAblage(ablage);
    // The journal is asked before a number is taken: a number it could not hold is never given.
    const QString journal = billing::journalPath(ablage);
    try {
        billing::checkJournalWritable(journal);
        return billing::readJournal(journal);
    } catch (const EInvoiceError &error) {
        throw EInvoiceError(error.message() + nothingTaken);
    } catch (const platform::EInOutError &error) {
        throw EInvoiceError(QStringLiteral("Das Rechnungsbuch kann nicht gelesen werden:\n") + error.message() +
                            nothingTaken);
    }
}

NumberedResult printNumbered(const RechnungsDateien &dateien, const QImage &form, const Briefkopf *kopf,
                             QPrinter &printer, const NummerierteSeite &seite)
{
    const QString counter = dateien.nummer();
    const QString ablage =
        dateien.ablage ? dateien.ablage() : QFileInfo(counter).dir().filePath(QString::fromUtf8(kRechnungenOrdner));
    const auto reached = [&dateien](NumberStep step, qint32 nr) {
        if (dateien.afterStep)
            dateien.afterStep(step, nr);
    };
    const QString journal = billing::journalPath(ablage);
    journalBeforeANumber(ablage);
    // Every number the journal, the kept copies or the records know counts as given, whatever
    // the counter says.
    const auto highestIssued = [&] {
        return std::max(dateien.highestRecordReNr,
                        HighestIssuedNumber({}, AbgelegteRechnungen(ablage), billing::readJournal(journal)));
    };
    std::optional<qint32> next = NaechsteReNrVorschau(counter);
    if (next) {
        if (const qint32 issued = highestIssued(); issued >= *next)
            next = issued == std::numeric_limits<qint32>::max() ? std::nullopt : std::optional<qint32>(issued + 1);
    }
    if (next) {
        try {
            PruefeNeueAblage(ablage, *next);
        } catch (const EInvoiceError &error) {
            throw EInvoiceError(
                error.message() +
                QStringLiteral("\nDie nächste Nummer ist also schon vergeben worden; bitte ReNummer.DAT "
                               "und den Ordner der Rechnungskopien prüfen. Es wurde keine "
                               "Rechnungsnummer vergeben und nichts gedruckt."));
        }
    }
    // The copy is drawn with the number expected next, so that the disk can be asked for room
    // for it before a number is taken; another copy of the program taking that number meanwhile
    // only means drawing it again.
    const QPageSize pageSize = AblageSeitengroesse(printer);
    const auto draw = [&](qint32 nr) {
        return linesPdf(form, seite.zeilen(nr), seite.titel(nr), QStringLiteral("%1 Nr. %2").arg(seite.was).arg(nr),
                        pageSize, false, kopf);
    };
    QByteArray pdf;
    if (next) {
        pdf = draw(*next);
        PruefeAblage(ablage, pdf.size());
    }

    NumberedResult result;
    // The number is in the journal before the counter moves on: a stop at any later step leaves
    // a line that explains it.
    const auto reserve = [&](qint32 nr) {
        billing::JournalLine line = seite.buchung(nr);
        line.sha256.clear();
        line.note = QString::fromUtf8(kNoteReserved);
        try {
            billing::appendJournalLine(journal, line);
        } catch (const EInvoiceError &error) {
            throw EInvoiceError(QStringLiteral("Die Nummer %1 konnte nicht im Rechnungsbuch vorgemerkt werden:\n%2\n"
                                               "Sie wurde deshalb nicht vergeben; ReNummer.DAT ist unverändert. Es "
                                               "wurde nichts abgelegt und nichts gedruckt.")
                                    .arg(nr)
                                    .arg(error.message()));
        }
        result.nr = nr;
        reached(NumberStep::Reserved, nr);
    };
    // A number taken but not issued is journaled with the reason, so its gap is explained.
    const auto unbenutzt = [&](const QString &why) {
        QString message =
            why + QStringLiteral("\n%1 Nr. %2 wurde nicht gedruckt und bleibt frei.").arg(seite.was).arg(result.nr);
        billing::JournalLine line = seite.buchung(result.nr);
        line.sha256.clear();
        line.note = QStringLiteral("Nummer bleibt frei: ") + reasonOnOneLine(why);
        try {
            billing::appendJournalLine(journal, line);
        } catch (const EInvoiceError &error) {
            message += QStringLiteral("\nAuch das Rechnungsbuch konnte das nicht festhalten:\n") + error.message();
        }
        if (!result.counterNote.isEmpty())
            message += u'\n' + result.counterNote;
        return EInvoiceError(message);
    };

    TakenNumber taken;
    try {
        taken = NextReNr(counter, highestIssued, reserve);
    } catch (const platform::EInOutError &error) {
        if (result.nr == 0)
            throw;
        // Reserved, but the counter could not move on: the reservation alone keeps the number
        // from being given again, and the journal says why it stays free.
        throw unbenutzt(QStringLiteral("ReNummer.DAT konnte nicht geschrieben werden:\n") + error.message());
    }
    result.nr = taken.nr;
    result.counterNote = taken.counterNote;
    reached(NumberStep::Taken, result.nr);
    if (!next || result.nr != *next)
        pdf = draw(result.nr);
    // Kept on the disk first: nothing is printed that has no copy.
    const QString keeping = QStringLiteral("Die Kopie der %1 konnte nicht abgelegt werden:\n").arg(seite.was);
    try {
        result.kopie = keepCopy(ablage, result.nr, seite.dateiname(result.nr), pdf);
    } catch (const EInvoiceError &error) {
        throw unbenutzt(keeping + error.message());
    } catch (const platform::EInOutError &error) {
        throw unbenutzt(keeping + error.message());
    }
    reached(NumberStep::Kept, result.nr);

    druckdateiFolgtNummer(printer, dateien, counter, seite.dateiname(result.nr));
    {
        QImage paper = form;
        if (kopf)
            DrawBriefkopf(paper, *kopf);
        DrawInvoiceTexts(paper, seite.zeilen(result.nr));
        try {
            PrintInvoice(printer, paper);
        } catch (const EInvoiceError &error) {
            // Not printed, so not issued: its copy goes again, and the number stays a gap.
            QFile::setPermissions(result.kopie, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            QFile::remove(result.kopie);
            throw unbenutzt(error.message());
        }
    }
    reached(NumberStep::Printed, result.nr);

    // Issued: the journal holds it before the record does, so before the guest file.
    billing::JournalLine line = seite.buchung(result.nr);
    line.sha256 = billing::sha256Of(pdf);
    try {
        billing::appendJournalLine(journal, line);
        reached(NumberStep::Journaled, result.nr);
    } catch (const EInvoiceError &error) {
        result.journalError = QStringLiteral("%1 Nr. %2 wurde gedruckt und abgelegt, aber nicht ins Rechnungsbuch "
                                             "eingetragen:\n%3")
                                  .arg(seite.was)
                                  .arg(result.nr)
                                  .arg(error.message());
    }
    return result;
}

RechnungsErgebnis RechnungErstellen(GuestList &list, int index, const RechnungsDateien &dateien,
                                    const TPreisMatrix *matrix, QPrinter &printer, platform::TDateTime heute)
{
    if (index <= 0 || index > list.lastIndex())
        throw EInvoiceError(QStringLiteral("Kein Gast gewählt"));
    TGast gast = list.at(index);
    const QImage form = dateien.ohneVorlage ? LeeresRechnungsblatt() : LoadInvoiceTemplate(dateien.vorlage);
    const Briefkopf *kopf = dateien.ohneVorlage ? &*dateien.ohneVorlage : nullptr;
    if (gast.Bis < gast.Von)
        throw EInvoiceError(QStringLiteral("Bei %1 liegt die Abreise vor der Anreise; dafür wird keine Rechnung "
                                           "gedruckt. Bitte Anreise und Abreise prüfen.")
                                .arg(GuestAndStay(gast)));
    // The amount is settled before a number is taken: an invoice of nothing, or of less, is never
    // issued.
    if (gast.Kosten == 0) {
        if (matrix == nullptr)
            throw EInvoiceError(QStringLiteral("Die Kosten sind 0,00 Euro und Preismatrix.dat fehlt, sie können "
                                               "nicht berechnet werden. Bitte die Kosten eintragen."));
        const Listenpreis preis = PreisNachListe(gast, *matrix);
        if (!preis.kosten)
            throw EInvoiceError(preis.warumNicht +
                                QStringLiteral(".\nBitte die Kosten eintragen. Es wurde keine Rechnungsnummer "
                                               "vergeben und nichts gedruckt."));
        gast.Kosten = static_cast<decltype(gast.Kosten)>(*preis.kosten);
    }
    if (gast.Kosten > kHoechsterRechnungsbetrag)
        throw EInvoiceError(QStringLiteral("Die Kosten von %1 Euro sind größer als der höchste Betrag einer Rechnung "
                                           "(%2 Euro); das kann nicht stimmen. Bitte die Kosten und die Preisliste "
                                           "prüfen.\nEs wurde keine Rechnungsnummer vergeben und nichts gedruckt.")
                                .arg(EuroText(gast.Kosten), EuroText(kHoechsterRechnungsbetrag)));
    if (!(gast.Kosten > 0))
        throw EInvoiceError(QStringLiteral("Die Kosten sind %1 Euro; eine Rechnung über nichts oder weniger wird "
                                           "nicht gedruckt. Bitte die Kosten eintragen.\nEs wurde keine "
                                           "Rechnungsnummer vergeben und nichts gedruckt.")
                                .arg(EuroText(gast.Kosten)));

    // The journal decides whether this stay has its invoice already: a number lost from the record
    // (a kill before the save, an older backup) must not lead to a second invoice for one stay.
    RechnungsDateien files = settledFiles(dateien);
    if (const std::optional<IssuedInvoice> issued = issuedInvoiceFor(journalBeforeANumber(files.ablage()), gast))
        throw EInvoiceError(QStringLiteral("Für %1 gibt es schon die %2; sie ist nicht storniert. Eine zweite "
                                           "Rechnung für denselben Aufenthalt wird nicht gedruckt: bitte eine "
                                           "Rechnungskopie drucken, oder die Rechnung Nr. %3 zuerst stornieren.\n"
                                           "Es wurde keine Rechnungsnummer vergeben und nichts gedruckt.")
                                .arg(GuestAndStay(gast), issuedInvoiceText(issued->nr, issued->issued.date()))
                                .arg(issued->nr));
    files.highestRecordReNr = std::max(files.highestRecordReNr, HighestIssuedNumber(list.records(), {}, {}));

    // The journal's date is the one printed on the invoice; the time, to the second, is now.
    const QTime now = platform::Clock::now().time();
    const QDateTime issued(platform::DayToDate(heute), QTime(now.hour(), now.minute(), now.second()));
    const auto numbered = [gast](qint32 nr) {
        TGast g = gast;
        g.ReNr = nr;
        return g;
    };
    NummerierteSeite seite;
    seite.was = QStringLiteral("Rechnung");
    seite.zeilen = [&](qint32 nr) { return InvoiceLines(numbered(nr), heute); };
    seite.titel = [](qint32 nr) { return QStringLiteral("Rechnung %1").arg(nr); };
    seite.dateiname = [](qint32 nr) { return RechnungsDateiname(nr); };
    seite.buchung = [&](qint32 nr) { return billing::journalLineFor(gast, nr, issued); };
    const NumberedResult issuedNr = printNumbered(files, form, kopf, printer, seite);

    RechnungsErgebnis result;
    result.ReNr = issuedNr.nr;
    result.kopie = issuedNr.kopie;
    result.journalError = issuedNr.journalError;
    result.counterNote = issuedNr.counterNote;
    list.update(index, numbered(issuedNr.nr));
    return result;
}

KopieErgebnis RechnungskopieDrucken(const TGast &gast, const QString &vorlage, const QString &ablage, QPrinter &printer,
                                    platform::TDateTime heute)
{
    if (gast.ReNr <= 0)
        throw EInvoiceError(QStringLiteral("Dieser Gast hat noch keine Rechnung; es gibt keine Kopie zu drucken."));
    KopieErgebnis result;
    result.kopie = QDir(ablage).filePath(RechnungsDateiname(gast.ReNr));
    if (QFileInfo::exists(result.kopie) || QFileInfo(result.kopie).isSymLink()) {
        DruckeKopie(printer, LiesGepruefteKopie(result.kopie, gast.ReNr), result.kopie);
        return result;
    }

    // Kept from now on, marked as what it is: drawn again today, not the paper the guest got.
    const QByteArray pdf = RechnungsPdf(LoadInvoiceTemplate(vorlage), gast, heute, AblageSeitengroesse(printer), true);
    DruckeKopie(printer, pdf, result.kopie);
    result.neuGezeichnet = true;
    try {
        result.kopie = LegeRechnungAb(ablage, gast.ReNr, pdf);
    } catch (const std::exception &error) {
        result.kopie.clear();
        result.fehler = QStringLiteral("Die Kopie der Rechnung Nr. %1 wurde gedruckt, konnte aber nicht als „%2“ "
                                       "abgelegt werden:\n%3")
                            .arg(gast.ReNr)
                            .arg(RechnungsDateiname(gast.ReNr), platform::ErrorText(error));
    }
    return result;
}

QString NeueRechnungFrage(qint32 ReNr, const QDate &datum)
{
    const QString vom =
        datum.isValid() ? QStringLiteral(" vom ") + datum.toString(QStringLiteral("dd.MM.yyyy")) : QString();
    return QStringLiteral("Für diesen Gast gibt es schon die Rechnung Nr. %1%2. Eine ausgestellte Rechnung wird "
                          "nicht geändert.\n\n"
                          "„Rechnungskopie“ druckt die Rechnung Nr. %1 noch einmal, ohne neue Nummer.\n"
                          "„Stornieren und neu berechnen“ druckt eine Stornorechnung zur Rechnung Nr. %1 und danach "
                          "eine neue Rechnung mit einer neuen Nummer.")
        .arg(ReNr)
        .arg(vom);
}

QString OhneAnschriftFrage(const TGast &gast)
{
    QStringList fehlt;
    if (gast.Name.trimmed().isEmpty())
        fehlt << QStringLiteral("der Name");
    if (gast.Strasse.trimmed().isEmpty())
        fehlt << QStringLiteral("die Straße");
    if (gast.Ort.trimmed().isEmpty())
        fehlt << QStringLiteral("der Ort");
    if (fehlt.isEmpty())
        return {};
    const QString verb = fehlt.size() == 1 ? QStringLiteral("fehlt") : QStringLiteral("fehlen");
    const QString last = fehlt.takeLast();
    const QString was = fehlt.isEmpty() ? last : fehlt.join(QStringLiteral(", ")) + QStringLiteral(" und ") + last;
    return QStringLiteral("Bei %1 %2 %3.\n\nRechnung ohne Anschrift drucken?").arg(GuestAndStay(gast), verb, was);
}

} // namespace billing
