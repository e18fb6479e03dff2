#include "billing/JournalOverview.h"

#include "billing/StayCost.h"
#include "platform/Convert.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <limits>
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

void JournalSummary::take(const JournalLine &line)
{
    const QByteArray name = line.name.toUtf8();
    const QByteArray note = line.note.toUtf8();
    const QByteArray sha256 = line.sha256.toLatin1();
    const QByteArray rooms = line.rooms.toUtf8();
    JournalLineView view;
    view.nr = line.nr;
    view.date = line.issued.date();
    view.time = line.issued.time();
    view.cancellation = line.isCancellation();
    view.refersTo = line.refersTo;
    view.gastNr = line.gastNr;
    view.name = name;
    view.von = line.von;
    view.bis = line.bis;
    view.nights = line.nights;
    view.persons = line.persons;
    view.rooms = rooms;
    view.amount = line.amount;
    view.sha256 = sha256;
    view.note = note;
    take(view);
}

void JournalSummary::take(const JournalLineView &line)
{
    auto entry = numbers.end();
    // The journal is written by rising numbers: the new one almost always goes last.
    if (numbers.empty() || numbers.back().nr < line.nr) {
        entry = numbers.insert(numbers.end(), JournaledNumber{});
    } else {
        entry = std::lower_bound(numbers.begin(), numbers.end(), line.nr,
                                 [](const JournaledNumber &n, qint32 nr) { return n.nr < nr; });
        if (entry == numbers.end() || entry->nr != line.nr)
            entry = numbers.insert(entry, JournaledNumber{});
    }
    JournaledNumber &n = *entry;
    if (line.used() && n.issuedLines > 0) {
        if (n.issuedLines < std::numeric_limits<quint16>::max())
            ++n.issuedLines;
        return;
    }
    if (!line.used() && n.issuedLines > 0)
        return; // an issued number stays issued
    n.nr = line.nr;
    n.refersTo = line.refersTo;
    n.gastNr = line.gastNr;
    n.cancellation = line.cancellation;
    n.issued = line.date;
    n.amount = line.amount;
    n.name = textIndex(line.name);
    n.note = textIndex(line.note);
    if (line.used()) {
        n.state = JournaledNumber::State::Issued;
        n.issuedLines = 1;
        // Hex to bytes: the journal's reader let only 64 lower-case hex digits through.
        const auto nibble = [](char c) { return static_cast<quint8>(c <= '9' ? c - '0' : c - 'a' + 10); };
        for (std::size_t i = 0; i < n.sha256.size() && 2 * i + 1 < std::size_t(line.sha256.size()); ++i)
            n.sha256[i] = static_cast<quint8>(nibble(line.sha256[qsizetype(2 * i)]) << 4 |
                                              nibble(line.sha256[qsizetype(2 * i + 1)]));
    } else {
        n.state = line.isReservation() ? JournaledNumber::State::Reserved : JournaledNumber::State::Unused;
    }
}

quint32 JournalSummary::textIndex(QByteArrayView utf8)
{
    if (utf8.isEmpty())
        return 0;
    // Looked up without copying the bytes; copied only when the text is new.
    const auto found = textIndexes_.constFind(QByteArray::fromRawData(utf8.data(), utf8.size()));
    if (found != textIndexes_.constEnd())
        return *found;
    const auto index = static_cast<quint32>(texts_.size());
    texts_.push_back(QString::fromUtf8(utf8));
    textIndexes_.insert(utf8.toByteArray(), index);
    return index;
}

const QString &JournalSummary::text(quint32 index) const
{
    return index < texts_.size() ? texts_[index] : texts_.front();
}

std::vector<qint32> JournalSummary::numberList() const
{
    std::vector<qint32> list;
    list.reserve(numbers.size());
    for (const JournaledNumber &n : numbers)
        list.push_back(n.nr);
    return list;
}

JournalSummary summarizeJournal(const JournalContents &journal)
{
    JournalSummary summary;
    for (const JournalLine &line : journal.lines)
        summary.take(line);
    summary.skipped = journal.skipped;
    summary.findings = journal.findings;
    return summary;
}

JournalSummary summarizeJournal(const QString &path)
{
    JournalSummary summary;
    const JournalRead read =
        forEachJournalLineView(path, [&summary](const JournalLineView &line) { summary.take(line); });
    summary.skipped = read.skipped;
    summary.findings = read.findings;
    summary.fileLines = read.fileLines;
    return summary;
}

InvoiceOverview invoiceOverview(const JournalContents &journal, const std::vector<AbgelegteRechnung> &copies,
                                const std::vector<TGast> &records, std::optional<qint32> lastNumber)
{
    return invoiceOverview(summarizeJournal(journal), copies, records, lastNumber);
}

InvoiceOverview invoiceOverview(const JournalSummary &journal, const std::vector<AbgelegteRechnung> &copies,
                                const std::vector<TGast> &records, std::optional<qint32> lastNumber)
{
    InvoiceOverview overview;
    overview.skippedJournalLines = journal.skipped;

    std::map<qint32, std::vector<int>> holders;
    for (std::size_t i = 1; i < records.size(); ++i)
        if (records[i].ReNr > 0)
            holders[records[i].ReNr].push_back(static_cast<int>(i));
    std::map<qint32, const AbgelegteRechnung *> kept;
    for (const AbgelegteRechnung &copy : copies)
        if (copy.nr > 0)
            kept.emplace(copy.nr, &copy);
    // A reservation nothing followed, whose copy was kept: the program stopped after keeping (and
    // maybe printing) the invoice, before its last line. It counts as issued.
    const auto keptUnfinished = [&kept](const JournaledNumber &n) {
        if (n.state != JournaledNumber::State::Reserved)
            return false;
        const auto copy = kept.find(n.nr);
        return copy != kept.end() && refersToByName(copy->second->pfad) == (n.cancellation ? n.refersTo : 0);
    };
    const auto issued = [&keptUnfinished](const JournaledNumber &n) {
        return n.state == JournaledNumber::State::Issued || keptUnfinished(n);
    };
    std::map<qint32, qint32> cancelledBy; // invoice -> cancellation
    for (const JournaledNumber &n : journal.numbers)
        if (n.cancellation && n.refersTo > 0 && issued(n))
            cancelledBy.emplace(n.refersTo, n.nr);

    std::vector<qint32> numbers = journal.numberList();
    for (const auto &entry : holders)
        numbers.push_back(entry.first);
    for (const auto &entry : kept)
        numbers.push_back(entry.first);
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    overview.rows.reserve(numbers.size());

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

    auto journaledAt = journal.numbers.begin();
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

        // Both run through the numbers in order.
        while (journaledAt != journal.numbers.end() && journaledAt->nr < nr)
            ++journaledAt;
        const JournaledNumber *entry =
            journaledAt != journal.numbers.end() && journaledAt->nr == nr ? &*journaledAt : nullptr;

        if (entry && issued(*entry)) {
            row.kind = entry->cancellation ? OverviewRow::Kind::Cancellation : OverviewRow::Kind::Invoice;
            row.inJournal = true;
            row.issued = entry->issued;
            row.refersTo = entry->refersTo;
            row.guest = guestName(journal.text(entry->name), entry->gastNr);
            row.amount = entry->amount;
            if (entry->issuedLines > 1)
                row.notes << QStringLiteral("Nummer %1-mal im Rechnungsbuch").arg(entry->issuedLines);
            if (entry->state == JournaledNumber::State::Reserved) {
                // Nothing was journaled to compare the copy with.
                row.notes << QStringLiteral("nach Abbruch abgelegt, Rechnungsbuch ohne Abschluss");
            } else if (row.copy.isEmpty()) {
                // Most rows of a long journal without its copies say just this: one list for them all.
                static const QStringList copyMissing{QStringLiteral("Kopie fehlt")};
                if (row.notes.isEmpty())
                    row.notes = copyMissing;
                else
                    row.notes << copyMissing.front();
            } else {
                try {
                    const QByteArray sha = QByteArray::fromHex(sha256OfFile(row.copy).toLatin1());
                    if (sha.size() != 32 || !std::equal(entry->sha256.begin(), entry->sha256.end(),
                                                        reinterpret_cast<const quint8 *>(sha.constData()))) {
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
                if (entry->gastNr != 0 && g.GastNr != entry->gastNr)
                    row.notes << QStringLiteral("Gast %1 trägt diese Nummer, das Rechnungsbuch nennt Gast %2")
                                     .arg(g.GastNr)
                                     .arg(entry->gastNr);
            }
            if (row.kind == OverviewRow::Kind::Cancellation && !holding.empty())
                row.notes << QStringLiteral("Nummer einer Stornorechnung steht bei einem Gast");
            const auto storno = cancelledBy.find(nr);
            if (row.kind == OverviewRow::Kind::Invoice && storno != cancelledBy.end())
                row.notes << QStringLiteral("storniert durch Nr. %1").arg(storno->second);
            if (row.kind == OverviewRow::Kind::Invoice && storno == cancelledBy.end() && holding.empty())
                overview.unheld.push_back(nr);
            YearTotal &total = years[row.issued.year()];
            total.year = row.issued.year();
            (row.kind == OverviewRow::Kind::Cancellation ? total.cancellations : total.invoices) += 1;
            total.amount += entry->amount;
        } else if (entry && entry->state == JournaledNumber::State::Reserved) {
            // Taken, and then nothing: the program stopped before the invoice was issued or given up.
            row.kind = OverviewRow::Kind::Gap;
            row.inJournal = true;
            row.issued = entry->issued;
            row.refersTo = entry->refersTo;
            row.notes << QStringLiteral("Lücke: reserviert, aber nicht abgeschlossen (Programm beendet?)");
            if (!row.copy.isEmpty())
                row.notes << QStringLiteral("eine Kopie trägt die reservierte Nummer");
            if (!holding.empty())
                row.notes << QStringLiteral("ein Gast trägt die reservierte Nummer");
            overview.rows.push_back(std::move(row)); // a gap is kept no time
            continue;
        } else if (entry) {
            // A number taken but never issued: the journal says why.
            row.kind = OverviewRow::Kind::Unused;
            row.inJournal = true;
            row.issued = entry->issued;
            row.refersTo = entry->refersTo;
            const QString &note = journal.text(entry->note);
            row.notes << (note.isEmpty() ? QStringLiteral("Nummer bleibt frei") : note);
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
        overview.rows.push_back(std::move(row));
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

QStringList unheldInvoiceLines(const InvoiceOverview &overview, int listed)
{
    QStringList lines;
    const auto count = static_cast<qsizetype>(overview.unheld.size());
    for (qsizetype i = 0; i < count && i < listed; ++i)
        lines << QStringLiteral("Rechnung %1 ist bei keinem Gast eingetragen")
                     .arg(overview.unheld[static_cast<std::size_t>(i)]);
    if (count > listed)
        lines
            << QStringLiteral("… und %1 weitere Rechnungen, die bei keinem Gast eingetragen sind").arg(count - listed);
    return lines;
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
        if (!line.countsAsIssued() || !journaled.insert(line.nr).second)
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
        if (line.countsAsIssued() && line.isCancellation() && line.refersTo > 0 && !journaled.count(line.refersTo) &&
            !held.count(line.refersTo) && cancelled.insert(line.refersTo).second)
            byDeparture(line.bis, -line.amount);
    return revenue;
}

} // namespace billing
