#include "calendar/YearFigures.h"

#include "platform/Convert.h"
#include "register/StayText.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <utility>

namespace calendar {

using guests::GuestName;
using guests::kRaeume;
using guests::RoomMask;
using guests::TGast;

namespace {

// The month 1..12 of a day when it lies in `jahr`, else 0.
int MonthIn(platform::TDateTime day, int jahr)
{
    if (!platform::IsCalendarDay(day))
        return 0;
    const QDate date = platform::DayToDate(day);
    return date.year() == jahr ? date.month() : 0;
}

double Percent(int part, int whole)
{
    return whole > 0 ? 100.0 * part / whole : 0.0;
}

QString Decimal(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(value * scale) / scale;
    if (rounded == 0)
        rounded = 0; // no "-0,00"
    return platform::FormatFixed(rounded, 0, decimals);
}

void Add(MonatsZahlen &sum, const MonatsZahlen &m)
{
    sum.tage += m.tage;
    for (std::size_t k = 0; k < kRaeume; ++k) {
        sum.naechte[k] += m.naechte[k];
        sum.belegt[k] += m.belegt[k];
    }
    sum.naechteGesamt += m.naechteGesamt;
    sum.belegtGesamt += m.belegtGesamt;
    sum.gaeste += m.gaeste;
    sum.personen += m.personen;
    sum.umsatzAnreise += m.umsatzAnreise;
    sum.umsatzRechnung += m.umsatzRechnung;
}

} // namespace

double MonatsZahlen::auslastung(int room) const
{
    if (room < 1 || room > kRaeume)
        return 0;
    return Percent(belegt[static_cast<std::size_t>(room - 1)], tage);
}

double MonatsZahlen::auslastungGesamt() const
{
    return Percent(belegtGesamt, tage * kRaeume);
}

JahresZahlen Jahresauswertung(const std::vector<TGast> &list, int jahr)
{
    JahresZahlen z;
    z.jahr = jahr;
    if (jahr < 1 || jahr > 9999)
        return z;
    const platform::TDateTime yearStart = platform::EncodeDate(jahr, 1, 1);
    const platform::TDateTime yearEnd = jahr < 9999 ? platform::EncodeDate(jahr + 1, 1, 1) : yearStart + 365;
    std::array<platform::TDateTime, 13> monthStart{};
    for (int m = 0; m < 12; ++m) {
        monthStart[static_cast<std::size_t>(m)] = platform::EncodeDate(jahr, m + 1, 1);
        z.monate[static_cast<std::size_t>(m)].tage = QDate(jahr, m + 1, 1).daysInMonth();
    }
    monthStart[12] = yearEnd;

    // Which room nights of the year are taken, so a double booking fills a night only once.
    const auto yearDays = static_cast<std::size_t>(yearEnd - yearStart);
    std::array<std::vector<bool>, kRaeume> taken;
    for (auto &room : taken)
        room.assign(yearDays, false);

    int bookings = 0;
    double bookedNights = 0;
    for (std::size_t i = 1; i < list.size(); ++i) {
        const TGast &g = list[i];
        const unsigned mask = RoomMask(g.Zimmer);
        const bool datesValid = platform::IsCalendarDay(g.Von) && platform::IsCalendarDay(g.Bis);
        const double von = datesValid ? platform::DateOf(g.Von) : 0;
        const double bis = datesValid ? platform::DateOf(g.Bis) : 0;
        const bool stay = mask != 0 && datesValid && bis >= von;

        if (const int m = MonthIn(g.Von, jahr)) {
            MonatsZahlen &month = z.monate[static_cast<std::size_t>(m - 1)];
            month.umsatzAnreise += g.Kosten;
            if (stay) {
                ++month.gaeste;
                month.personen += std::max(0, g.Personen);
                ++bookings;
                bookedNights += bis - von;
            }
        }
        if (g.ReNr != 0) {
            if (const int m = MonthIn(g.Bis, jahr)) {
                z.monate[static_cast<std::size_t>(m - 1)].umsatzRechnung += g.Kosten;
                if (!g.Bezahlt)
                    z.offen.push_back({static_cast<int>(i), g.ReNr, GuestName(g), g.Von, g.Bis, g.Kosten});
            }
            if (!g.Bezahlt) {
                ++z.offenAlleJahre;
                z.offenSummeAlleJahre += g.Kosten;
            }
        }
        if (!stay)
            continue;
        // The nights of the stay that fall in this year, month by month.
        const double from = std::max(von, yearStart);
        const double to = std::min(bis, yearEnd);
        if (from >= to)
            continue;
        for (std::size_t m = 0; m < 12; ++m) {
            const double a = std::max(from, monthStart[m]);
            const double b = std::min(to, monthStart[m + 1]);
            if (a >= b)
                continue;
            const int nights = static_cast<int>(b - a);
            for (std::size_t k = 0; k < kRaeume; ++k)
                if (mask & (1u << k))
                    z.monate[m].naechte[k] += nights;
        }
        for (std::size_t k = 0; k < kRaeume; ++k) {
            if (!(mask & (1u << k)))
                continue;
            for (auto d = static_cast<std::size_t>(from - yearStart); d < static_cast<std::size_t>(to - yearStart); ++d)
                taken[k][d] = true;
        }
    }

    for (std::size_t m = 0; m < 12; ++m) {
        MonatsZahlen &month = z.monate[m];
        const auto a = static_cast<std::size_t>(monthStart[m] - yearStart);
        const auto b = static_cast<std::size_t>(monthStart[m + 1] - yearStart);
        for (std::size_t k = 0; k < kRaeume; ++k) {
            month.naechteGesamt += month.naechte[k];
            month.belegt[k] = static_cast<int>(std::count(taken[k].begin() + static_cast<std::ptrdiff_t>(a),
                                                          taken[k].begin() + static_cast<std::ptrdiff_t>(b), true));
            month.belegtGesamt += month.belegt[k];
        }
        Add(z.summe, month);
    }
    z.mittlereAufenthaltsdauer = bookings > 0 ? bookedNights / bookings : 0;
    std::sort(z.offen.begin(), z.offen.end(), [](const OffeneRechnung &a, const OffeneRechnung &b) {
        return a.reNr != b.reNr ? a.reNr < b.reNr : a.record < b.record;
    });
    for (const OffeneRechnung &o : z.offen)
        z.offenSumme += o.kosten;
    return z;
}

QStringList AuswertungKopf()
{
    QStringList head{QStringLiteral("Monat")};
    for (int k = 1; k <= kRaeume; ++k)
        head << QStringLiteral("Nächte Zi %1").arg(k);
    head << QStringLiteral("Nächte");
    for (int k = 1; k <= kRaeume; ++k)
        head << QStringLiteral("Auslastung Zi %1 (%)").arg(k);
    head << QStringLiteral("Auslastung (%)") << QStringLiteral("Gäste") << QStringLiteral("Personen")
         << QStringLiteral("Umsatz nach Anreise (€)") << QStringLiteral("Umsatz nach Rechnung (€)");
    return head;
}

std::vector<QStringList> AuswertungZeilen(const JahresZahlen &zahlen)
{
    const auto row = [](const QString &label, const MonatsZahlen &m) {
        QStringList cells{label};
        for (int n : m.naechte)
            cells << QString::number(n);
        cells << QString::number(m.naechteGesamt);
        for (int k = 1; k <= kRaeume; ++k)
            cells << Decimal(m.auslastung(k), 1);
        cells << Decimal(m.auslastungGesamt(), 1) << QString::number(m.gaeste) << QString::number(m.personen)
              << Decimal(m.umsatzAnreise, 2) << Decimal(m.umsatzRechnung, 2);
        return cells;
    };
    std::vector<QStringList> rows;
    for (int m = 0; m < 12; ++m)
        rows.push_back(
            row(QStringLiteral("%1").arg(m + 1, 2, 10, QLatin1Char('0')), zahlen.monate[static_cast<std::size_t>(m)]));
    rows.push_back(row(QStringLiteral("Summe"), zahlen.summe));
    return rows;
}

QList<QStringList> figuresTable(const JahresZahlen &zahlen)
{
    QList<QStringList> table{AuswertungKopf()};
    for (QStringList &cells : AuswertungZeilen(zahlen))
        table << std::move(cells);
    return table;
}

QString BetragText(double euros)
{
    return Decimal(euros, 2) + QStringLiteral(" €");
}

namespace {

QString nightsText(double nights)
{
    return platform::FormatFixed(std::round(nights * 10) / 10, 0, 1) +
           (nights == 1 ? QStringLiteral(" Nacht") : QStringLiteral(" Nächte"));
}

} // namespace

QString yearSummaryText(const JahresZahlen &z)
{
    const MonatsZahlen &s = z.summe;
    return QStringLiteral("%1: %2 Gäste mit %3 Personen, %4 Zimmernächte, Auslastung %5 %, durchschnittlicher "
                          "Aufenthalt %6. Umsatz nach Anreise %7, nach Rechnung %8.")
        .arg(z.jahr)
        .arg(s.gaeste)
        .arg(s.personen)
        .arg(s.naechteGesamt)
        .arg(platform::FormatFixed(std::round(s.auslastungGesamt() * 10) / 10, 0, 1),
             nightsText(z.mittlereAufenthaltsdauer), BetragText(s.umsatzAnreise), BetragText(s.umsatzRechnung));
}

QString openInvoicesText(const JahresZahlen &z)
{
    QString text = z.offen.empty() ? QStringLiteral("Keine offenen Rechnungen %1.").arg(z.jahr)
                                   : QStringLiteral("Offene Rechnungen %1: %2, zusammen %3.")
                                         .arg(z.jahr)
                                         .arg(z.offen.size())
                                         .arg(BetragText(z.offenSumme));
    if (z.offenAlleJahre != static_cast<int>(z.offen.size()))
        text += QStringLiteral(" Alle Jahre: %1, zusammen %2.")
                    .arg(z.offenAlleJahre)
                    .arg(BetragText(z.offenSummeAlleJahre));
    return text;
}

QStringList openInvoiceRow(const OffeneRechnung &o)
{
    return {QString::number(o.reNr), o.gast,
            QStringLiteral("%1 bis %2").arg(platform::DateToStr(o.von), platform::DateToStr(o.bis)),
            BetragText(o.kosten)};
}

QString figuresExplanation()
{
    return QStringLiteral(
        "Nächte: verkaufte Zimmernächte; eine Nacht zählt im Monat, in dem sie beginnt, eine Buchung mehrerer "
        "Zimmer zählt je Zimmer. Auslastung: belegte Zimmernächte in Prozent der Tage des Monats (bei einer "
        "Doppelbelegung einmal). Gäste und Personen: Buchungen im Monat der Anreise, jede einmal. "
        "Umsatz nach Anreise: Kosten aller Buchungen im Monat der Anreise. Umsatz nach Rechnung: Beträge der "
        "Rechnungen im Monat ihrer Ausstellung laut Rechnungsbuch, Stornorechnungen abgezogen; Rechnungen ohne "
        "Buchungszeile (aus der Zeit vor dem Rechnungsbuch) im Monat der Abreise, kursiv. Offene Rechnungen: mit "
        "Rechnungsnummer, nicht als bezahlt markiert.");
}

} // namespace calendar
