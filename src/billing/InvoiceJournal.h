#pragma once
// The invoice journal "Rechnungen/Rechnungsbuch.csv": one line for every invoice number taken,
// written before the guest file and never changed or removed, so that a number stays with its
// guest and amount whatever happens to the records, and a number that stayed unused says why.
// A German spreadsheet opens it: UTF-8 with a byte-order mark, ";" between fields, dates
// dd.MM.yyyy and amounts with a decimal comma, whatever the regional settings.

#include "platform/DayNumber.h"
#include "register/TGast.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace billing {

inline constexpr char kJournalFile[] = "Rechnungsbuch.csv";
inline constexpr char kKindInvoice[] = "Rechnung";
inline constexpr char kKindCancellation[] = "Storno";
// A number is journaled as reserved the moment it is taken, before anything else happens to it; a
// later line for the same number says what became of it. A reservation with no later line means
// the program stopped in between, and so explains the gap.
inline constexpr char kNoteReserved[] = "Nummer reserviert";

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

    bool used() const { return !sha256.isEmpty(); }
    bool isReservation() const { return sha256.isEmpty() && note == QLatin1String(kNoteReserved); }
    bool isCancellation() const { return kind == QLatin1String(kKindCancellation); }
    bool operator==(const JournalLine &) const = default;
};

// A line for `g`'s invoice number `nr`: the stay, the guest and its cost as the record holds them.
JournalLine journalLineFor(const guests::TGast &g, qint32 nr, const QDateTime &issued);

// The header's fields and one line's fields, as they are written.
QStringList journalHeader();
QStringList journalFields(const JournalLine &line);

// Proves before a number is taken that the journal can be written: makes it (with its header)
// when it is missing, opens it for appending and syncs it. Throws EInvoiceError naming the file
// and the reason.
void checkJournalWritable(const QString &path);

// Appends one line and returns once it is on the disk (flushed and synced). A journal without
// its header gets it first; a last line cut off by a crash is ended first, so the new line
// stands on a line of its own. Line breaks inside a field are written as blanks: every line of
// the file is one line of the journal. Throws EInvoiceError naming the file and the reason;
// what a failed append wrote is taken back.
void appendJournalLine(const QString &path, const JournalLine &line);

struct JournalContents
{
    std::vector<JournalLine> lines; // in the order written
    int skipped = 0;                // lines that are not whole (cut off by a crash) or not readable
};

// Reads the journal: whole lines only; a line cut off by a crash or changed by hand into
// something unreadable is skipped and counted. A missing journal is empty. Throws
// platform::EInOutError when it cannot be read.
JournalContents readJournal(const QString &path);

// The SHA-256 of bytes and of a file, as lower-case hex. The file's throws platform::EInOutError.
QString sha256Of(const QByteArray &bytes);
QString sha256OfFile(const QString &path);

// Amounts as the journal writes them: "158,00", "-158,00"; and back (nothing when it is none).
QString journalAmount(double euros);
std::optional<double> parseJournalAmount(const QString &text);

} // namespace billing
