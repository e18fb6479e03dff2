#pragma once
// The chart of a year's occupancy and revenue per month, for the window "Auswertung" and its
// printout.

#include "calendar/YearFigures.h"

class QChart;

namespace app {

// A new chart; whoever takes it owns it.
QChart *MakeFiguresChart(const calendar::JahresZahlen &zahlen);

} // namespace app
