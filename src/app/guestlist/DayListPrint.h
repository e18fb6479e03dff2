#pragma once
// The day list on paper: one A4 page with the arrivals, departures and guests who stay.

#include "calendar/DayList.h"

class QPrinter;

namespace app {

// Draws the parts under the title on one page of the printer, in a smaller type when they are
// long. Throws platform::Error with a German text when the printer cannot start.
void DruckeTagesliste(QPrinter &printer, const QString &titel, const std::vector<calendar::TageslistenTeil> &teile);

} // namespace app
