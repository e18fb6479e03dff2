#pragma once
// The booking confirmation from the page "Gast": written to the data folder's "Bestätigungen"
// and shown, or handed to the host's mail program. Zimbrana itself never sends mail.

#include "billing/Invoice.h"
#include "register/TGast.h"

#include <QString>

class QWidget;

namespace app {

class AppContext;

// The letterhead from the house's details in the settings.
billing::Briefkopf houseLetterhead(const AppContext &context);
// The host's text from the settings, or the default text while the host has written none.
QString hostConfirmationText();

// "Buchungsbestätigung…": writes the letter for `g` and opens it. What the status line says;
// empty when nothing was written (the host was told why).
QString confirmBooking(AppContext &context, QWidget *parent, const guests::TGast &g);

// "Per E-Mail senden…": writes the letter and opens a new mail to the guest with it attached.
// What the status line says; empty when no mail was opened (the host was told why).
QString mailConfirmation(AppContext &context, QWidget *parent, const guests::TGast &g);

} // namespace app
