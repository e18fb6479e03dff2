#pragma once
// The day list on paper: one A4 page with the arrivals, departures and guests who stay, and below
// them what the house has to do that day (breakfast, rooms to prepare).

#include "calendar/DayList.h"

class QPrinter;

namespace app {

// Draws the parts under the title on one page of the printer, in a smaller type when they are
// long. Throws platform::Error with a German text when the printer cannot start.
// `aufgaben`: the day's tasks, one line each (calendar::dayTaskLines), set under "Aufgaben des
// Tages"; a long line is wrapped.
void DruckeTagesliste(QPrinter &printer, const QString &titel, const std::vector<calendar::TageslistenTeil> &teile,
                      const QStringList &aufgaben = {});

} // namespace app
