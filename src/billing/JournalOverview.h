#pragma once
// The invoice list and the revenue by invoice as the journal tells them: a number keeps the
// guest and amount it was issued with whatever happens to the records later; the kept PDFs and
// the records fill in what the journal does not hold (invoices from before it existed).

#include "billing/InvoiceArchive.h"
#include "billing/InvoiceJournal.h"
#include "register/TGast.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace billing {

// The last day an invoice issued on `issued` must be kept: 31 December of the eighth year after
// the year of issue ("31.12.2034" for an invoice of 2026). Invalid for an invalid date.
QDate keepUntil(const QDate &issued);

struct OverviewRow
{
    enum class Kind { Invoice, Cancellation, Unused, Gap };
    Kind kind = Kind::Invoice;
    qint32 nr = 0;
    qint32 until = 0;    // the last number of a gap; nr otherwise
    qint32 refersTo = 0; // a cancellation's invoice
    QDate issued;        // the journal's date; the kept PDF's date without a journal line
    QString guest;       // "Weiß", or "Gast 6" without a name
    std::optional<double> amount;
    std::optional<bool> paid; // from the record holding the number now
    int index = -1;           // that record, -1 when none holds it
    QString copy;             // the kept PDF's path, empty when there is none
    QDate keepUntil;
    bool inJournal = false;
    bool changed = false; // the kept PDF is no longer the one journaled ("verändert")
    QStringList notes;    // what needs a look, and why a number stayed unused

    bool needsLook() const { return kind == Kind::Gap || changed || !notes.isEmpty(); }
};

struct YearTotal
{
    int year = 0;
    int invoices = 0;
    int cancellations = 0;
    double amount = 0; // invoices less cancellations, euros
    bool operator==(const YearTotal &) const = default;
};

struct InvoiceOverview
{
    std::vector<OverviewRow> rows; // by number
    std::vector<YearTotal> years;  // by year of issue, from the journal
    int skippedJournalLines = 0;   // lines of the journal that are not whole
    std::vector<qint32> unheld;    // journaled invoices, not cancelled, that no record holds
};

// What the journal says of one number, kept small: the window holds one per number. Of several
// lines for a number the issued one tells (a kept copy proves it; the first if there are more);
// without one, the last tells: "Nummer bleibt frei: ..." or a reservation nothing followed.
struct JournaledNumber
{
    enum class State : quint8 { Issued, Unused, Reserved };
    qint32 nr = 0;
    qint32 refersTo = 0;
    qint32 gastNr = 0;
    quint16 issuedLines = 0;
    State state = State::Unused;
    bool cancellation = false;
    QDate issued;
    double amount = 0;
    quint32 name = 0;                // the guest's name: JournalSummary::text(name)
    quint32 note = 0;                // why an unused number stayed free: JournalSummary::text(note)
    std::array<quint8, 32> sha256{}; // of the kept copy, when issued
};

// The journal folded to one entry per number, by number, with what reading it found.
struct JournalSummary
{
    std::vector<JournaledNumber> numbers; // by number
    int skipped = 0;
    QStringList findings; // the lines that break the chain
    qint64 fileLines = 0;

    // Folds in the next line of the journal.
    void take(const JournalLine &line);
    void take(const JournalLineView &line);
    // The numbers alone, by number.
    std::vector<qint32> numberList() const;
    // A name or note of an entry.
    const QString &text(quint32 index) const;

private:
    quint32 textIndex(QByteArrayView utf8);

    // Each text held once, however many numbers carry it; the first is the empty one.
    std::vector<QString> texts_{QString()};
    QHash<QByteArray, quint32> textIndexes_;
};

// The journal's lines folded; and the journal at `path` read line by line into one, never whole.
// The second throws what forEachJournalLine throws.
JournalSummary summarizeJournal(const JournalContents &journal);
JournalSummary summarizeJournal(const QString &path);

// Every number the journal, the kept copies (`copies`, with their files for the SHA-256) and the
// records (record 0 aside) know, in order; numbers between them and up to the counter's last
// (`lastNumber`) that nothing knows are gaps. Reads the kept copies to compare their SHA-256.
InvoiceOverview invoiceOverview(const JournalContents &journal, const std::vector<AbgelegteRechnung> &copies,
                                const std::vector<guests::TGast> &records, std::optional<qint32> lastNumber);
InvoiceOverview invoiceOverview(const JournalSummary &journal, const std::vector<AbgelegteRechnung> &copies,
                                const std::vector<guests::TGast> &records, std::optional<qint32> lastNumber);

// The same from the files: the journal and the copies in `invoiceFolder`, the counter at
// `counterPath`. Throws platform::EInOutError when the journal cannot be read.
InvoiceOverview loadInvoiceOverview(const QString &invoiceFolder, const QString &counterPath,
                                    const std::vector<guests::TGast> &records);

// The list's columns and one row as text: Nummer, Datum, Art, Zu Rechnung, Gast, Betrag,
// Bezahlt, Kopie, Aufbewahren bis, Hinweis.
QStringList invoiceOverviewHeader();
QStringList invoiceOverviewTexts(const OverviewRow &row);

// The counts under the list: "3 Rechnungen, 1 Lücke, 0 ohne Kopie", with ", 1 Storno" and
// ", 1 verändert" where there are any.
QString overviewSummaryText(const InvoiceOverview &overview);

// The invoices no guest record holds, for the host to look at: "Rechnung 1042 ist bei keinem Gast
// eingetragen", the first `listed` of them one per line and a last line with how many more there are.
QStringList unheldInvoiceLines(const InvoiceOverview &overview, int listed = 5);

// The totals per year, one line each: "2026: 12 Rechnungen, 1 Storno, zusammen 4321,50 €";
// and a line on skipped journal lines when there are any.
QStringList yearTotalsLines(const InvoiceOverview &overview);

// "Umsatz nach Rechnung" of `year` per month: every journaled invoice and cancellation in the
// month of its issue (a cancellation negative); an invoice the journal does not hold (from
// before it) in the month of its departure, as the figures counted before, and marked so.
struct RevenueByInvoice
{
    std::array<double, 12> amount{};      // all of it, euros
    std::array<double, 12> byDeparture{}; // the part counted by departure
    int withoutJournal = 0;               // invoices counted by departure
};
RevenueByInvoice revenueByInvoice(const JournalContents &journal, const std::vector<guests::TGast> &records, int year);

} // namespace billing
