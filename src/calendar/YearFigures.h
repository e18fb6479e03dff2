#pragma once
// The figures of a year that a host and the tax adviser ask for: per month and room the nights
// sold and the occupancy, the guests and persons, and the revenue, with the year's totals.
//
// How things are counted:
// - A night belongs to the day it begins: a stay from 31 January to 2 February has one night in
//   January and one in February, and the night of New Year's Eve belongs to the old year.
// - Nights sold count per booked room: a booking of rooms 1 and 3 for three nights sells six room
//   nights. Two bookings that share a room's night (a double booking) both count as sold; the
//   occupancy counts that room night once, so it never exceeds 100 %.
// - Guests and persons count once per booking, in the month of arrival, whatever the rooms.
// - Revenue by arrival: the cost of every booking, in the month of its arrival.
// - Revenue by invoice: the cost of every booking that has an invoice number, in the month of its
//   departure. The record keeps no invoice date; the invoice is written when the guest leaves,
//   so the departure day stands for it.
// - Unpaid invoices: bookings with an invoice number that are not marked paid, in the year of
//   their departure.
// Record 0 never counts; a booking without a room or with its departure before its arrival has no
// nights and no guests, but its cost still counts.

#include "platform/DayNumber.h"
#include "register/Rooms.h"
#include "register/TGast.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace calendar {

struct MonatsZahlen
{
    int tage = 0;                       // days of the month (of the year, in the totals)
    std::array<int, guests::kRaeume> naechte{}; // room nights sold, per room
    int naechteGesamt = 0;              // all rooms
    std::array<int, guests::kRaeume> belegt{}; // room nights occupied (a double booking once)
    int belegtGesamt = 0;
    int gaeste = 0;           // bookings arriving
    int personen = 0;         // their persons
    double umsatzAnreise = 0; // euros
    double umsatzRechnung = 0;

    // Occupancy in percent of the month's days: one room, and all rooms together.
    double auslastung(int room) const;
    double auslastungGesamt() const;
};

struct OffeneRechnung
{
    int record = 0;
    qint32 reNr = 0;
    QString gast; // "Gast 7 (Anna Müller)"
    platform::TDateTime von = 0;
    platform::TDateTime bis = 0;
    double kosten = 0;
};

struct JahresZahlen
{
    int jahr = 0;
    std::array<MonatsZahlen, 12> monate{};
    MonatsZahlen summe;
    // Nights per booking arriving in the year (rooms not counted twice); 0 without bookings.
    double mittlereAufenthaltsdauer = 0;
    std::vector<OffeneRechnung> offen; // by invoice number
    double offenSumme = 0;
    // Unpaid invoices of every year, for a hint beside the year's.
    int offenAlleJahre = 0;
    double offenSummeAlleJahre = 0;
};

JahresZahlen Jahresauswertung(const std::vector<guests::TGast> &list, int jahr);

// The table as the window, the export and the printout show it: a header, then one row per
// month "01" to "12" and a row "Summe"; numbers with the regional decimal separator.
QStringList AuswertungKopf();
std::vector<QStringList> AuswertungZeilen(const JahresZahlen &zahlen);

// The header and the rows together, as the export hands them to the CSV writer.
QList<QStringList> figuresTable(const JahresZahlen &zahlen);

// "1234,50 €"
QString BetragText(double euros);

// The texts beside the table, the same in the window and on the printout:
// the year in one sentence ("2025: 3 Gäste mit 5 Personen, 9 Zimmernächte, ...");
QString yearSummaryText(const JahresZahlen &zahlen);
// the unpaid invoices of the year, and of all years where those are more;
QString openInvoicesText(const JahresZahlen &zahlen);
// one unpaid invoice: number, guest, "<von> bis <bis>", amount;
QStringList openInvoiceRow(const OffeneRechnung &offen);
// what the columns mean.
QString figuresExplanation();

} // namespace calendar
