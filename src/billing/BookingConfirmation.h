#pragma once
// The booking confirmation: a one-page letter to the guest with the stay's facts and the host's
// own text, kept as a PDF in the data folder's "Bestätigungen".

#include "billing/Invoice.h"
#include "platform/DayNumber.h"
#include "register/TGast.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace billing {

// The placeholders the host may write into the text, each with what it becomes, for the settings
// dialog: "{Name}" – "Name des Gastes", "{Anreise}", "{Abreise}", "{Naechte}", "{Zimmer}",
// "{Personen}", "{Preis}", "{Haus}".
QList<QPair<QString, QString>> confirmationPlaceholders();

// The text with each known placeholder replaced from the booking and the house ("{Nächte}" is
// read as "{Naechte}"; case is ignored). An unknown one ("{Anrede}") stays as written, so the host
// sees the slip in the letter.
QString fillPlaceholders(const QString &text, const guests::TGast &g, const Briefkopf &house);

// The text a house starts with until the host writes its own: greeting, arrival, cancellation
// terms, using the placeholders.
QString defaultConfirmationText();

// What a record lacks to be confirmed, said in German ("Für eine Buchungsbestätigung fehlt noch:
// der Name des Gastes."); empty when it can be. A booking needs a name, a room and an arrival
// and departure with the departure after the arrival.
QString confirmationGaps(const guests::TGast &g);

struct ConfirmationContent
{
    QStringList house;                    // letterhead lines: name first
    QStringList guest;                    // the guest's postal address
    QString date;                         // "20.02.2025"
    QString title;                        // "Buchungsbestätigung"
    QList<QPair<QString, QString>> facts; // "Zimmer" – "1 und 3", "Anreise" – "Sa, 01.03.2025 ab 15:00", …
    QString text;                         // the host's text, placeholders filled
};

// What the letter says. Arrival and departure carry their times when the booking has them (a
// time of 00:00 is none); the price line is left out while the booking has no price.
ConfirmationContent confirmationContent(const guests::TGast &g, const Briefkopf &house, const QString &hostText,
                                        platform::TDateTime today);

// The letter as a one-page A4 PDF (title "Buchungsbestätigung <Gast-Nr.>"); a long text is set
// smaller until it fits. Throws EInvoiceError when the PDF cannot be made.
QByteArray confirmationPdf(const ConfirmationContent &content, int gastNr);

// "Bestätigung 12 Müller 01.03.2025.pdf": the guest number makes it unique, the name and the day
// make it findable; characters no file name may hold become "_".
QString confirmationFileName(const guests::TGast &g);
// "<data folder>/Bestätigungen"
QString confirmationFolder(const QString &dataFolder);

// Writes the letter (the folder is made when missing) whole or not at all and returns its path.
// Throws EInvoiceError or platform::EInOutError.
QString saveConfirmation(const QString &dataFolder, const guests::TGast &g, const Briefkopf &house,
                         const QString &hostText, platform::TDateTime today);

// The mail's subject: "Buchungsbestätigung Gasthaus Linde: 01.03.2025 bis 04.03.2025".
QString confirmationSubject(const guests::TGast &g, const Briefkopf &house);

} // namespace billing
