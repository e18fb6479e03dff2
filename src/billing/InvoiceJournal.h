#pragma once
// The invoice journal "Rechnungen/Rechnungsbuch.csv": one line for every invoice number taken,
// written before the guest file and never changed or removed, so that a number stays with its
// guest and amount whatever happens to the records, and a number that stayed unused says why.
// A German spreadsheet opens it: UTF-8 with a byte-order mark, ";" between fields, dates
// dd.MM.yyyy and amounts with a decimal comma, whatever the regional settings.
//
// Each line carries after its 16 fields a 17th, "Kette": the SHA-256 (lower-case hex) of the bytes
//     <the "Kette" of the chained line before it> "\n" <this line's 16 fields as written>
// where the fields as written are the line's UTF-8 bytes from its start up to and including the
// ";" that ends its 16th field (quotes and all), and the "Kette" before the first chained line is
// empty (so the first one hashes "\n" and its fields). A line changed, removed, inserted or moved
// by hand no longer fits the chain. Lines from before the chain (16 fields, in older journals)
// stay as they are; the chain starts after them.

#include "platform/DataFolderLayout.h"
#include "platform/DayNumber.h"
#include "register/TGast.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>
#include <functional>
#include <optional>
#include <vector>

namespace billing {

inline constexpr const auto &kJournalFile = platform::layout::kJournalFile;
inline constexpr char kKindInvoice[] = "Rechnung";
inline constexpr char kKindCancellation[] = "Storno";
// A number is journaled as reserved the moment it is taken, before anything else happens to it; a
// later line for the same number says what became of it. A reservation with no later line means
// the program stopped in between, and so explains the gap.
inline constexpr char kNoteReserved[] = "Nummer reserviert";

// The header's name of the 17th field.
inline constexpr char kChainHeader[] = "Kette";

// The journal beside the kept copies: "<folder>/Rechnungsbuch.csv".
QString journalPath(const QString &invoiceFolder);

struct JournalLine
{
    qint32 nr = 0;
    QDateTime issued;                               // date and time of issue, to the second
    QString kind = QString::fromUtf8(kKindInvoice); // "Rechnung" or "Storno"
    qint32 refersTo = 0;                            // the cancelled invoice; 0 for an invoice
    qint32 gastNr = 0;
    QString name;
    QString town;
    platform::TDateTime von = 0; // arrival and departure (whole days), 0 when none
    platform::TDateTime bis = 0;
    qint32 nights = 0;
    qint32 persons = 0;
    QString rooms;     // the booked rooms as the record names them ("13")
    double amount = 0; // euros; negative for a cancellation
    QString sha256;    // of the kept PDF, lower-case hex; empty: the number stayed unused
    QString note;      // why the number stayed unused
    // Not written, found when read (readJournal): a reservation nothing followed, while its copy
    // lies kept beside the journal. The program stopped after keeping (and maybe printing) it and
    // before journaling it as issued; it counts as issued, so the stay gets no second number.
    bool keptUnfinished = false;

    bool used() const { return !sha256.isEmpty(); }
    bool isReservation() const { return sha256.isEmpty() && note == QLatin1String(kNoteReserved); }
    // Journaled as issued, or kept before the program stopped.
    bool countsAsIssued() const { return used() || keptUnfinished; }
    bool isCancellation() const { return kind == QLatin1String(kKindCancellation); }
    bool operator==(const JournalLine &) const = default;
};

// A line for `g`'s invoice number `nr`: the stay, the guest and its cost as the record holds them.
JournalLine journalLineFor(const guests::TGast &g, qint32 nr, const QDateTime &issued);

// The header's fields (with "Kette") and one line's 16 fields, as they are written.
QStringList journalHeader();
QStringList journalFields(const JournalLine &line);

// The chain's value of a line: SHA-256 as lower-case hex of `previous` (the chain's value of the
// chained line before, empty for the first), "\n" and `fields` (the line's 16 fields as written).
QByteArray journalChainHash(const QByteArray &previous, QByteArrayView fields);

// Proves before a number is taken that the journal can be written: makes it (with its header)
// when it is missing, opens it for appending and syncs it. Throws EInvoiceError naming the file
// and the reason.
void checkJournalWritable(const QString &path);

// Appends one line, chained to the last chained line, and returns once it is on the disk
// (flushed and synced). A journal without its header gets it first; a last line cut off by a
// crash is ended first, so the new line stands on a line of its own. Line breaks inside a field
// are written as blanks: every line of the file is one line of the journal. Another running copy
// of the program waits while one appends (up to 10 s, then this fails). Throws EInvoiceError
// naming the file and the reason (a symbolic link or anything but a file is refused); what a
// failed append wrote is taken back, and nothing else.
void appendJournalLine(const QString &path, const JournalLine &line);

// What reading the journal found besides its lines.
struct JournalRead
{
    int skipped = 0;      // lines that are not whole (cut off by a crash) or not readable
    QStringList findings; // lines that break the chain, in German with their line number in the file
    qint64 fileLines = 0; // lines of the file, the header among them
};

// Reads the journal line by line from the file, never whole, and hands each whole line to `take`
// in the order written. A line cut off by a crash or changed by hand into something unreadable is
// skipped and counted; a line that breaks the chain is named among the findings ("Rechnungsbuch
// Zeile 7: ..."; the header is line 1), and still handed on when it is readable. A missing
// journal is empty. Throws EInvoiceError when the journal is a symbolic link or not a file, and
// platform::EInOutError when it cannot be read.
JournalRead forEachJournalLine(const QString &path, const std::function<void(const JournalLine &)> &take);

// One line of the journal as it is read, before anything is copied out of it: for readers that
// keep little of each line of a long journal. Numbers and dates are plain values (no time zone is
// asked), texts are views of the line's UTF-8 bytes, valid only while the line is handed on.
struct JournalLineView
{
    qint32 nr = 0;
    QDate date; // of issue
    QTime time;
    bool cancellation = false;
    qint32 refersTo = 0;
    qint32 gastNr = 0;
    QByteArrayView name; // without the "'" that guards a text from a spreadsheet
    QByteArrayView town;
    platform::TDateTime von = 0;
    platform::TDateTime bis = 0;
    qint32 nights = 0;
    qint32 persons = 0;
    QByteArrayView rooms; // as written: "1, 3"
    double amount = 0;
    QByteArrayView sha256; // lower-case hex; empty: the number stayed unused
    QByteArrayView note;

    bool used() const { return !sha256.isEmpty(); }
    bool isReservation() const;
    // The whole line, its texts decoded.
    JournalLine line() const;
};

// forEachJournalLine without making a JournalLine of every line.
JournalRead forEachJournalLineView(const QString &path, const std::function<void(const JournalLineView &)> &take);

struct JournalContents
{
    std::vector<JournalLine> lines; // in the order written
    int skipped = 0;                // lines that are not whole (cut off by a crash) or not readable
    QStringList findings;           // see JournalRead
};

// The whole journal in memory: forEachJournalLine into a list, with markKeptUnfinished for the
// copies in the journal's folder.
JournalContents readJournal(const QString &path);

// Marks each reservation nothing followed whose copy ("Rechnung <Nr>.pdf", a cancellation's
// "Rechnung <Nr> (Storno zu <Nr>).pdf") lies in `invoiceFolder` as kept unfinished.
void markKeptUnfinished(JournalContents &journal, const QString &invoiceFolder);

// The SHA-256 of bytes and of a file, as lower-case hex. The file's throws platform::EInOutError.
QString sha256Of(const QByteArray &bytes);
QString sha256OfFile(const QString &path);

// Amounts as the journal writes them: "158,00", "-158,00"; and back (nothing when it is none).
QString journalAmount(double euros);
std::optional<double> parseJournalAmount(const QString &text);

} // namespace billing
