#include "billing/JournalOverview.h"

#include "billing/StayCost.h"
#include "platform/Convert.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <map>
#include <set>

namespace billing {

using guests::TGast;

namespace {

QString guestName(const QString &name, qint32 gastNr)
{
    return name.isEmpty() ? QStringLiteral("Gast %1").arg(gastNr) : name;
}

QString dateText(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

// The invoice a kept cancellation refers to, from its file name; 0 for an invoice's copy.
qint32 refersToByName(const QString &path)
{
    static const QRegularExpression storno(QStringLiteral("\\(Storno zu ([1-9][0-9]{0,9})\\)\\.pdf$"));
    const QRegularExpressionMatch match = storno.match(path);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QString plural(int n, const QString &one, const QString &many)
{
    return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? one : many);
}

} // namespace

QDate keepUntil(const QDate &issued)
{
    return issued.isValid() ? QDate(issued.year() + 8, 12, 31) : QDate();
}

InvoiceOverview invoiceOverview(const JournalContents &journal, const std::vector<AbgelegteRechnung> &copies,
                                const std::vector<TGast> &records, std::optional<qint32> lastNumber)
{
    InvoiceOverview overview;
    overview.skippedJournalLines = journal.skipped;

    std::map<qint32, std::vector<const JournalLine *>> journaled;
    std::map<qint32, qint32> cancelledBy; // invoice -> cancellation
    for (const JournalLine &line : journal.lines) {
        journaled[line.nr].push_back(&line);
        if (line.used() && line.isCancellation() && line.refersTo > 0)
            cancelledBy.emplace(line.refersTo, line.nr);
    }
    std::map<qint32, std::vector<int>> holders;
    for (std::size_t i = 1; i < records.size(); ++i)
        if (records[i].ReNr > 0)
            holders[records[i].ReNr].push_back(static_cast<int>(i));
    std::map<qint32, const AbgelegteRechnung *> kept;
    for (const AbgelegteRechnung &copy : copies)
        if (copy.nr > 0)
            kept.emplace(copy.nr, &copy);

    std::set<qint32> numbers;
    for (const auto &entry : journaled)
        numbers.insert(entry.first);
    for (const auto &entry : holders)
        numbers.insert(entry.first);
    for (const auto &entry : kept)
        numbers.insert(entry.first);

    std::map<int, YearTotal> years;
    const auto gap = [&overview](qint64 from, qint64 to) {
        OverviewRow row;
        row.kind = OverviewRow::Kind::Gap;
        row.nr = static_cast<qint32>(from);
        row.until = static_cast<qint32>(to);
        row.notes << (from == to ? QStringLiteral("Lücke: keine Rechnung mit dieser Nummer bekannt")
                                 : QStringLiteral("Lücke: keine Rechnung mit diesen Nummern bekannt"));
        overview.rows.push_back(row);
    };

    std::optional<qint64> previous;
    for (const qint32 nr : numbers) {
        if (previous && nr > *previous + 1)
            gap(*previous + 1, nr - 1);
        previous = nr;

        OverviewRow row;
        row.nr = row.until = nr;
        const auto copy = kept.find(nr);
        if (copy != kept.end())
            row.copy = copy->second->pfad;
        if (lastNumber && nr > *lastNumber)
            row.notes << QStringLiteral("Nummer liegt über der letzten in ReNummer.DAT (%1)").arg(*lastNumber);
        const auto held = holders.find(nr);
        const std::vector<int> holding = held == holders.end() ? std::vector<int>() : held->second;
        if (!holding.empty()) {
            row.index = holding.front();
            row.paid = records[static_cast<std::size_t>(row.index)].Bezahlt;
        }
        if (holding.size() > 1)
            row.notes << QStringLiteral("Nummer %1-mal vergeben").arg(holding.size());

        const JournalLine *issued = nullptr;
        const JournalLine *unused = nullptr;
        int issuedLines = 0;
        if (const auto lines = journaled.find(nr); lines != journaled.end()) {
            for (const JournalLine *line : lines->second) {
                if (line->used()) {
                    issued = issued ? issued : line;
                    ++issuedLines;
                } else if (!unused) {
                    unused = line;
                }
            }
        }

        if (issued) {
            row.kind = issued->isCancellation() ? OverviewRow::Kind::Cancellation : OverviewRow::Kind::Invoice;
            row.inJournal = true;
            row.issued = issued->issued.date();
            row.refersTo = issued->refersTo;
            row.guest = guestName(issued->name, issued->gastNr);
            row.amount = issued->amount;
            if (issuedLines > 1)
                row.notes << QStringLiteral("Nummer %1-mal im Rechnungsbuch").arg(issuedLines);
            if (row.copy.isEmpty()) {
                row.notes << QStringLiteral("Kopie fehlt");
            } else {
                try {
                    if (sha256OfFile(row.copy) != issued->sha256) {
                        row.changed = true;
                        row.notes << QStringLiteral("verändert: die Kopie ist nicht mehr die gedruckte");
                    }
                } catch (const std::exception &) {
                    row.notes << QStringLiteral("Kopie nicht lesbar");
                }
            }
            // A record that carries the number for another guest: a backup re-linked it.
            for (const int index : holding) {
                const TGast &g = records[static_cast<std::size_t>(index)];
                if (issued->gastNr != 0 && g.GastNr != issued->gastNr)
                    row.notes << QStringLiteral("Gast %1 trägt diese Nummer, das Rechnungsbuch nennt Gast %2")
                                     .arg(g.GastNr)
                                     .arg(issued->gastNr);
            }
            if (row.kind == OverviewRow::Kind::Cancellation && !holding.empty())
                row.notes << QStringLiteral("Nummer einer Stornorechnung steht bei einem Gast");
            if (const auto storno = cancelledBy.find(nr);
                row.kind == OverviewRow::Kind::Invoice && storno != cancelledBy.end())
                row.notes << QStringLiteral("storniert durch Nr. %1").arg(storno->second);
            YearTotal &total = years[row.issued.year()];
            total.year = row.issued.year();
            (row.kind == OverviewRow::Kind::Cancellation ? total.cancellations : total.invoices) += 1;
            total.amount += issued->amount;
        } else if (unused) {
            // A number taken but never issued: the journal says why.
            row.kind = OverviewRow::Kind::Unused;
            row.inJournal = true;
            row.issued = unused->issued.date();
            row.refersTo = unused->refersTo;
            row.notes << (unused->note.isEmpty() ? QStringLiteral("Nummer bleibt frei") : unused->note);
            if (!row.copy.isEmpty())
                row.notes << QStringLiteral("eine Kopie trägt die freie Nummer");
            if (!holding.empty())
                row.notes << QStringLiteral("ein Gast trägt die freie Nummer");
        } else {
            // Issued before the journal existed: what the copy and the record say.
            row.refersTo = refersToByName(row.copy);
            row.kind = row.refersTo ? OverviewRow::Kind::Cancellation : OverviewRow::Kind::Invoice;
            if (copy != kept.end())
                row.issued = copy->second->abgelegt.date();
            row.notes.prepend(QStringLiteral("ohne Buchungszeile"));
            if (!holding.empty()) {
                const TGast &g = records[static_cast<std::size_t>(row.index)];
                row.guest = guestName(g.Name, g.GastNr);
                row.amount = g.Kosten;
                if (row.copy.isEmpty())
                    row.notes << QStringLiteral("Kopie fehlt");
            } else if (row.kind == OverviewRow::Kind::Invoice) {
                row.notes << QStringLiteral("kein Gast hat diese Nummer");
            }
        }
        row.keepUntil = keepUntil(row.issued);
        overview.rows.push_back(row);
    }
    if (previous && lastNumber && *lastNumber > *previous)
        gap(*previous + 1, *lastNumber);
    for (const auto &entry : years)
        overview.years.push_back(entry.second);
    return overview;
}

InvoiceOverview loadInvoiceOverview(const QString &invoiceFolder, const QString &counterPath,
                                    const std::vector<TGast> &records)
{
    return invoiceOverview(readJournal(journalPath(invoiceFolder)), AbgelegteRechnungen(invoiceFolder), records,
                           LetzteReNr(counterPath));
}

QStringList invoiceOverviewHeader()
{
    return {QStringLiteral("Nummer"),      QStringLiteral("Datum"), QStringLiteral("Art"),
            QStringLiteral("Zu Rechnung"), QStringLiteral("Gast"),  QStringLiteral("Betrag"),
            QStringLiteral("Bezahlt"),     QStringLiteral("Kopie"), QStringLiteral("Aufbewahren bis"),
            QStringLiteral("Hinweis")};
}

QStringList invoiceOverviewTexts(const OverviewRow &row)
{
    using Kind = OverviewRow::Kind;
    const bool gap = row.kind == Kind::Gap;
    const QString nummer =
        gap && row.until != row.nr ? QStringLiteral("%1 bis %2").arg(row.nr).arg(row.until) : QString::number(row.nr);
    const QString art = row.kind == Kind::Invoice        ? QStringLiteral("Rechnung")
                        : row.kind == Kind::Cancellation ? QStringLiteral("Storno")
                        : row.kind == Kind::Unused       ? QStringLiteral("frei")
                                                         : QStringLiteral("Lücke");
    const QString kopie = gap || row.kind == Kind::Unused
                              ? (row.copy.isEmpty() ? QString() : QFileInfo(row.copy).fileName())
                          : row.copy.isEmpty() ? QStringLiteral("fehlt")
                                               : QFileInfo(row.copy).fileName();
    return {nummer,
            dateText(row.issued),
            art,
            row.refersTo ? QString::number(row.refersTo) : QString(),
            row.guest,
            row.amount ? EuroText(*row.amount) : QString(),
            row.paid ? (*row.paid ? QStringLiteral("ja") : QStringLiteral("nein")) : QString(),
            kopie,
            dateText(row.keepUntil),
            row.notes.join(QStringLiteral("; "))};
}

QString overviewSummaryText(const InvoiceOverview &overview)
{
    int invoices = 0, cancellations = 0, gaps = 0, withoutCopy = 0, changed = 0;
    for (const OverviewRow &row : overview.rows) {
        switch (row.kind) {
        case OverviewRow::Kind::Invoice: ++invoices; break;
        case OverviewRow::Kind::Cancellation: ++cancellations; break;
        case OverviewRow::Kind::Gap: gaps += row.until - row.nr + 1; break;
        case OverviewRow::Kind::Unused: break;
        }
        const bool issued = row.kind == OverviewRow::Kind::Invoice || row.kind == OverviewRow::Kind::Cancellation;
        if (issued && row.copy.isEmpty())
            ++withoutCopy;
        if (row.changed)
            ++changed;
    }
    QString text = QStringLiteral("%1, %2, %3 ohne Kopie")
                       .arg(plural(invoices, QStringLiteral("Rechnung"), QStringLiteral("Rechnungen")),
                            plural(gaps, QStringLiteral("Lücke"), QStringLiteral("Lücken")))
                       .arg(withoutCopy);
    if (cancellations > 0)
        text += QStringLiteral(", ") + plural(cancellations, QStringLiteral("Storno"), QStringLiteral("Stornos"));
    if (changed > 0)
        text += QStringLiteral(", %1 verändert").arg(changed);
    return text;
}

QStringList yearTotalsLines(const InvoiceOverview &overview)
{
    QStringList lines;
    for (const YearTotal &total : overview.years)
        lines << QStringLiteral("%1: %2, %3, zusammen %4 €")
                     .arg(total.year)
                     .arg(plural(total.invoices, QStringLiteral("Rechnung"), QStringLiteral("Rechnungen")),
                          plural(total.cancellations, QStringLiteral("Storno"), QStringLiteral("Stornos")),
                          EuroText(total.amount));
    if (overview.skippedJournalLines > 0)
        lines << QStringLiteral("%1 im Rechnungsbuch nicht lesbar (unvollständig oder von Hand verändert)")
                     .arg(plural(overview.skippedJournalLines, QStringLiteral("Zeile"), QStringLiteral("Zeilen")));
    return lines;
}

RevenueByInvoice revenueByInvoice(const JournalContents &journal, const std::vector<TGast> &records, int year)
{
    RevenueByInvoice revenue;
    std::set<qint32> journaled;
    for (const JournalLine &line : journal.lines) {
        if (!line.used() || !journaled.insert(line.nr).second)
            continue;
        if (line.issued.date().year() == year)
            revenue.amount[static_cast<std::size_t>(line.issued.date().month() - 1)] += line.amount;
    }
    const auto byDeparture = [&revenue, year](platform::TDateTime bis, double amount) {
        if (!platform::IsCalendarDay(bis))
            return;
        const QDate departure = platform::DayToDate(bis);
        if (departure.year() != year)
            return;
        const auto month = static_cast<std::size_t>(departure.month() - 1);
        revenue.amount[month] += amount;
        revenue.byDeparture[month] += amount;
        ++revenue.withoutJournal;
    };
    std::set<qint32> held;
    for (std::size_t i = 1; i < records.size(); ++i) {
        const TGast &g = records[i];
        if (g.ReNr == 0 || journaled.count(g.ReNr))
            continue;
        held.insert(g.ReNr);
        byDeparture(g.Bis, g.Kosten);
    }
    // An invoice from before the journal that has since been cancelled is held by no record any
    // more; its cancellation's line still tells its stay and amount. Without it, the cancellation
    // alone would take the amount off twice.
    std::set<qint32> cancelled;
    for (const JournalLine &line : journal.lines)
        if (line.used() && line.isCancellation() && line.refersTo > 0 && !journaled.count(line.refersTo) &&
            !held.count(line.refersTo) && cancelled.insert(line.refersTo).second)
            byDeparture(line.bis, -line.amount);
    return revenue;
}

} // namespace billing
