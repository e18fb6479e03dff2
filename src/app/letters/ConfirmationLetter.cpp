#include "app/letters/ConfirmationLetter.h"

#include "app/AppContext.h"
#include "billing/BookingConfirmation.h"
#include "exchange/MailCommand.h"
#include "guestfile/Settings.h"
#include "platform/Clock.h"
#include "platform/PrivateFiles.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

namespace app {

using billing::Briefkopf;
using guestfile::confirmationText;
using guestfile::HouseDetails;
using guests::TGast;

namespace {

// The letter needs a complete booking; otherwise the host is told what is missing and nothing is
// written.
bool mayConfirm(AppContext &context, QWidget *parent, const TGast &g)
{
    if (const QString gaps = billing::confirmationGaps(g); !gaps.isEmpty()) {
        context.dialogs().showError(parent, gaps);
        return false;
    }
    return true;
}

// Kept beside the guest file: in the data folder, or where the guests were read from while no
// folder was chosen.
QString writeLetter(AppContext &context, const TGast &g)
{
    QString folder = context.chosenFolder();
    if (folder.isEmpty())
        folder = QDir(context.dataFolder().pathOf(QString())).absolutePath();
    // The letters name guests: their folder is made the owner's only before the first is saved
    // (each letter is saved that way itself).
    platform::makePrivateFolder(billing::confirmationFolder(folder));
    return billing::saveConfirmation(folder, g, houseLetterhead(context), hostConfirmationText(), platform::Today());
}

} // namespace

Briefkopf houseLetterhead(const AppContext &context)
{
    const HouseDetails house = context.houseDetails();
    return Briefkopf{house.name, house.address, house.telephone, house.email, house.freeLine};
}

QString hostConfirmationText()
{
    return confirmationText().value_or(billing::defaultConfirmationText());
}

QString confirmBooking(AppContext &context, QWidget *parent, const TGast &g)
{
    if (!mayConfirm(context, parent, g))
        return {};
    const QString path = writeLetter(context, g);
    const QString shown = QDir::toNativeSeparators(path);
    if (!context.dialogs().openDocument(parent, path)) {
        context.dialogs().showError(parent, QStringLiteral("Die Bestätigung wurde gespeichert, konnte aber nicht "
                                                           "geöffnet werden. Ist ein Programm für PDF-Dateien "
                                                           "eingerichtet?\n%1")
                                                .arg(shown));
    }
    return QStringLiteral("Buchungsbestätigung gespeichert: %1").arg(shown);
}

namespace {

// No mail program started: the host gets what the mail would have held, to write it elsewhere
// (a webmail in the browser): the address on the clipboard at once, the folder of the letter, and
// the subject and text on the clipboard when asked.
void handOverWithoutMailProgram(AppContext &context, QWidget *parent, const exchange::MailRequest &request)
{
    QGuiApplication::clipboard()->setText(request.address);
    enum class Next { Ordner, Text, Schliessen };
    const QString folder = QFileInfo(request.attachment).absolutePath();
    const QString text =
        QStringLiteral("Kein E-Mail-Programm gefunden. Die Bestätigung liegt in:\n%1\n\nDie E-Mail-Adresse %2 ist "
                       "in die Zwischenablage kopiert. So können Sie die E-Mail mit einem anderen Programm "
                       "schreiben und die Bestätigung anhängen.")
            .arg(QDir::toNativeSeparators(request.attachment), request.address);
    const Next next = context.dialogs().choose(parent, text,
                                               {{Next::Ordner, QStringLiteral("Ordner öffnen")},
                                                {Next::Text, QStringLiteral("Betreff und Text kopieren")},
                                                {Next::Schliessen, QStringLiteral("Schließen")}},
                                               Next::Ordner, Next::Schliessen);
    if (next == Next::Ordner && !context.dialogs().openDocument(parent, folder))
        context.dialogs().showError(parent, QStringLiteral("Der Ordner %1 konnte nicht geöffnet werden.")
                                                .arg(QDir::toNativeSeparators(folder)));
    else if (next == Next::Text)
        QGuiApplication::clipboard()->setText(QStringLiteral("An: %1\nBetreff: %2\n\n%3")
                                                  .arg(request.address, request.subject, request.body));
}

} // namespace

QString mailConfirmation(AppContext &context, QWidget *parent, const TGast &g)
{
    if (!mayConfirm(context, parent, g))
        return {};
    // Checked before the letter is written: a wrong address is fixed on the page "Gast" first.
    if (const QString bad = exchange::mailAddressError(g.EMail); !bad.isEmpty()) {
        context.dialogs().showError(parent, bad + QStringLiteral(" Bitte auf der Seite „Gast“ eine gültige "
                                                                 "E-Mail-Adresse eintragen."));
        return {};
    }
    // Made afresh, so the mail carries the booking as it is now.
    const QString path = writeLetter(context, g);
    const Briefkopf house = houseLetterhead(context);
    exchange::MailRequest request;
    request.address = g.EMail.trimmed();
    request.subject = billing::confirmationSubject(g, house);
    request.body = billing::fillPlaceholders(hostConfirmationText(), g, house);
    request.attachment = QFileInfo(path).absoluteFilePath();
    const exchange::MailOutcome outcome = exchange::openMail(request, context.programRunner());
    if (!outcome.ok) {
        handOverWithoutMailProgram(context, parent, request);
        return {};
    }
    if (!outcome.attached)
        // The file could not be attached: the host must do it by hand and must not miss that.
        context.dialogs().inform(parent, outcome.message);
    return outcome.message;
}

} // namespace app
