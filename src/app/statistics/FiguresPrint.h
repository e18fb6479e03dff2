#pragma once
// The printout of the window "Auswertung": the chart, the table of the months, the year's summary,
// the unpaid invoices as far as the page holds them, and what the columns mean, on one page.

#include "calendar/YearFigures.h"

class QPrinter;

namespace app {

// Throws when the printer does not start or cannot finish.
void printYearFigures(QPrinter &printer, const calendar::JahresZahlen &z);

} // namespace app
