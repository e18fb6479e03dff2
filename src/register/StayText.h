#pragma once
// How a booking is named to the host in questions and the status line.

#include "register/TGast.h"

#include <QString>

namespace guests {

// "18.12.2026 bis 20.12.2026"
QString StayText(const TGast &gast);
// "Gast 6 (Weiß, 18.12.2026 bis 20.12.2026)"; without a name "Gast 6 (18.12.2026 bis 20.12.2026)".
QString GuestAndStay(const TGast &gast);
// "Gast 6 (Weiß)", or "Gast 6" without a name.
QString GuestName(const TGast &gast);
// The question before a booking is deleted; it names an invoice already issued.
QString StornoFrage(const TGast &gast);

} // namespace guests
