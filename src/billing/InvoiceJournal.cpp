#include "billing/InvoiceJournal.h"

#include "billing/BillingFiles.h"
#include "billing/Invoice.h"
#include "billing/InvoiceArchive.h"
#include "billing/JournalLock.h"
#include "billing/LineReader.h"
#include "billing/Sha256.h"
#include "platform/Convert.h"
#include "platform/CsvField.h"
#include "platform/FileIo.h"
#include "platform/IoError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cmath>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <unordered_map>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace billing {

using guests::Naechte;
using guests::TGast;

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");
const QString kDateFormat = QStringLiteral("dd.MM.yyyy");
const QString kTimeFormat = QStringLiteral("HH:mm:ss");
constexpr int kFields = 16;
constexpr int kChainedFields = 17;
// Beyond this many, further lines that break the chain are counted, not listed one by one (a
// journal saved over by a spreadsheet would otherwise list every line).
constexpr int kMaxFindings = 20;
// The end of the journal read at a time when looking for the last chained line.
constexpr qint64 kTailPiece = 64 * 1024;

EInvoiceError journalError(const QString &path, int code)
{
    return EInvoiceError(QStringLiteral("In das Rechnungsbuch „%1“ kann nicht geschrieben werden (%2).\n%3")
                             .arg(QFileInfo(path).fileName(), platform::IoErrorText(code), platform::ShownPath(path)));
}

QString day(platform::TDateTime d)
{
    return d == 0 || !platform::IsCalendarDay(d) ? QString() : platform::DayToDate(d).toString(kDateFormat);
}

// "13" -> "1, 3": a spreadsheet would read the digits as the number thirteen.
QString roomsText(const QString &rooms)
{
    QStringList digits;
    for (const QChar c : rooms)
        digits << QString(c);
    return digits.join(QStringLiteral(", "));
}

QString roomsFrom(const QString &text)
{
    QString rooms;
    for (const QChar c : text)
        if (c != u',' && c != u' ')
            rooms += c;
    return rooms;
}

// Each line of the file is one line of the journal.
QString oneLine(const QString &text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(u'\r', u' ');
    line.replace(u'\n', u' ');
    return line;
}

// The fields are ended by ";" each, the last one too: a line cut off anywhere before its end
// has fewer of them, and so is never taken for a whole one.
QByteArray fieldBytes(const QStringList &fields)
{
    QString text;
    for (const QString &field : fields)
        text += platform::csvField(oneLine(field)) + u';';
    return text.toUtf8();
}

QByteArray lineBytes(const QStringList &fields)
{
    return fieldBytes(fields) + "\r\n";
}

// One line cut into its fields, each a view of the line's bytes; a field in quotes is unquoted
// into a buffer of its own. Kept from line to line, so that cutting a long journal allocates
// nothing once the buffers have grown.
class FieldCutter
{
public:
    // Cuts `line` into its 16 fields (17 with the chain); false when it is not whole. The fields
    // are ended by ";" each, the last one too: a line cut off anywhere before its end has fewer
    // of them.
    bool cut(QByteArrayView line)
    {
        count_ = 0;
        sixteenEnd_ = -1;
        const char *data = line.data();
        const qsizetype n = line.size();
        qsizetype i = 0;
        while (i < n) {
            if (count_ == kChainedFields)
                return false;
            const auto *semicolon = static_cast<const char *>(std::memchr(data + i, ';', static_cast<size_t>(n - i)));
            const qsizetype plainEnd = semicolon ? semicolon - data : n;
            if (!std::memchr(data + i, '"', static_cast<size_t>(plainEnd - i))) {
                if (!semicolon)
                    return false; // cut off inside its last field
                fields_[count_] = QByteArrayView(data + i, plainEnd - i);
                i = plainEnd + 1;
            } else {
                QByteArray &field = unquoted_[count_];
                field.resize(0); // keeps what it has allocated
                bool quoted = false;
                bool ended = false;
                for (; i < n; ++i) {
                    const char c = data[i];
                    if (quoted) {
                        if (c == '"' && i + 1 < n && data[i + 1] == '"') {
                            field += '"';
                            ++i;
                        } else if (c == '"') {
                            quoted = false;
                        } else {
                            field += c;
                        }
                    } else if (c == '"') {
                        quoted = true;
                    } else if (c == ';') {
                        ended = true;
                        ++i;
                        break;
                    } else {
                        field += c;
                    }
                }
                if (!ended)
                    return false;
                fields_[count_] = field;
            }
            ++count_;
            if (count_ == kFields)
                sixteenEnd_ = i;
        }
        return count_ == kFields || count_ == kChainedFields;
    }

    int count() const { return count_; }
    QByteArrayView operator[](int i) const { return fields_[static_cast<std::size_t>(i)]; }
    bool chained() const { return count_ == kChainedFields; }
    // Where the 16th field ends in the line's bytes: what the chain hashes.
    qsizetype sixteenEnd() const { return sixteenEnd_; }
    bool isHeader() const { return count_ > 0 && fields_[0] == QByteArrayView("Nummer"); }

private:
    std::array<QByteArrayView, kChainedFields> fields_;
    std::array<QByteArray, kChainedFields> unquoted_;
    int count_ = 0;
    qsizetype sixteenEnd_ = -1;
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool allDigits(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), isDigit);
}

// Digits, read by hand: a journal of many thousand lines is read each time the list opens.
int digitsValue(QByteArrayView text)
{
    int value = 0;
    for (const char c : text)
        value = value * 10 + (c - '0');
    return value;
}

bool isCopyHash(QByteArrayView text)
{
    if (text.isEmpty())
        return true;
    if (text.size() != 64)
        return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return isDigit(c) || (c >= 'a' && c <= 'f'); });
}

bool isChainHash(QByteArrayView text)
{
    return text.size() == 64 && isCopyHash(text);
}

// The chain's value that a line chains on: that of the last whole chained line of the file.
// Nothing when it holds none (new, or only lines from before the chain).
QByteArray lastChainValue(QByteArrayView line)
{
    FieldCutter fields;
    if (!fields.cut(line) || !fields.chained() || fields.isHeader() || !isChainHash(fields[kFields]))
        return {};
    return fields[kFields].toByteArray();
}

// The writer (platform::csvField) guards a text that a spreadsheet would run as a formula with a
// leading "'", and one that already looks guarded ("'=1") with one more; one comes off again.
QByteArrayView unguarded(QByteArrayView field)
{
    qsizetype quotes = 0;
    while (quotes < field.size() && field[quotes] == '\'')
        ++quotes;
    if (quotes > 0 && quotes < field.size() && std::memchr("=+-@\t\r", field[quotes], 6))
        return field.sliced(1);
    return field;
}

std::optional<qint32> number(QByteArrayView text, bool mayBeEmpty)
{
    if (text.isEmpty())
        return mayBeEmpty ? std::optional<qint32>(0) : std::nullopt;
    if (text.size() > 10 || !allDigits(text))
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text)
        value = value * 10 + (c - '0');
    return value <= std::numeric_limits<qint32>::max() ? std::optional<qint32>(static_cast<qint32>(value))
                                                       : std::nullopt;
}

// "dd.MM.yyyy", without parsing a format for every line.
QDate dateFrom(QByteArrayView text)
{
    if (text.size() != 10 || text[2] != '.' || text[5] != '.' || !allDigits(text.sliced(0, 2)) ||
        !allDigits(text.sliced(3, 2)) || !allDigits(text.sliced(6, 4)))
        return {};
    return QDate(digitsValue(text.sliced(6, 4)), digitsValue(text.sliced(3, 2)), digitsValue(text.sliced(0, 2)));
}

// "HH:mm:ss"
QTime timeFrom(QByteArrayView text)
{
    if (text.size() != 8 || text[2] != ':' || text[5] != ':' || !allDigits(text.sliced(0, 2)) ||
        !allDigits(text.sliced(3, 2)) || !allDigits(text.sliced(6, 2)))
        return {};
    return QTime(digitsValue(text.sliced(0, 2)), digitsValue(text.sliced(3, 2)), digitsValue(text.sliced(6, 2)));
}

std::optional<platform::TDateTime> dayFrom(QByteArrayView text)
{
    if (text.isEmpty())
        return 0;
    const QDate date = dateFrom(text);
    return date.isValid() ? std::optional<platform::TDateTime>(platform::DateToDay(date)) : std::nullopt;
}

// "-?[0-9]{1,12},[0-9]{2}", checked by hand: it is read for every line of the journal.
std::optional<double> amountFrom(QByteArrayView text)
{
    const bool negative = text.startsWith('-');
    const QByteArrayView digits = negative ? text.sliced(1) : text;
    const qsizetype comma = digits.size() - 3;
    if (comma < 1 || comma > 12 || digits[comma] != ',' || !allDigits(digits.first(comma)) ||
        !allDigits(digits.sliced(comma + 1)))
        return std::nullopt;
    qint64 whole = 0;
    for (const char c : digits.first(comma))
        whole = whole * 10 + (c - '0');
    const double value = static_cast<double>(whole) + digitsValue(digits.sliced(comma + 1)) / 100.0;
    return negative ? -value : value;
}

// The line's fields as values, or nothing when one of them is not what the journal writes.
std::optional<JournalLineView> parse(const FieldCutter &f)
{
    const auto nr = number(f[0], false);
    const QDate date = dateFrom(f[1]);
    const QTime time = timeFrom(f[2]);
    const auto refersTo = number(f[4], true);
    const auto gastNr = number(f[5], true);
    const auto von = dayFrom(f[8]);
    const auto bis = dayFrom(f[9]);
    const auto nights = number(f[10], true);
    const auto persons = number(f[11], true);
    const auto amount = amountFrom(f[13]);
    const bool invoice = f[3] == QByteArrayView(kKindInvoice);
    const bool cancellation = f[3] == QByteArrayView(kKindCancellation);
    if (!nr || *nr <= 0 || !date.isValid() || !time.isValid() || !(invoice || cancellation) || !refersTo || !gastNr ||
        !von || !bis || !nights || !persons || !amount || !isCopyHash(f[14]))
        return std::nullopt;
    JournalLineView line;
    line.nr = *nr;
    line.date = date;
    line.time = time;
    line.cancellation = cancellation;
    line.refersTo = *refersTo;
    line.gastNr = *gastNr;
    line.name = unguarded(f[6]);
    line.town = unguarded(f[7]);
    line.von = *von;
    line.bis = *bis;
    line.nights = *nights;
    line.persons = *persons;
    line.rooms = f[12];
    line.amount = *amount;
    line.sha256 = f[14];
    line.note = unguarded(f[15]);
    return line;
}

QString notAFile(const QString &path)
{
    QString what = KeineDateiSondern(path);
    const QFileInfo info(path);
    if (what.isEmpty() && info.isSymLink())
        what = QStringLiteral("ein Verweis (symbolischer Link) auf „%1“")
                   .arg(QDir::toNativeSeparators(info.symLinkTarget()));
    return what;
}

[[noreturn]] void refuseJournal(const QString &path, const QString &what)
{
    throw EInvoiceError(QStringLiteral("Das Rechnungsbuch „%1“ ist keine Datei, sondern %2.\n%3")
                            .arg(QFileInfo(path).fileName(), what, platform::ShownPath(path)));
}

// A symbolic link or anything but a file by the journal's name is refused.
void refuseNonFile(const QString &path)
{
    if (const QString what = notAFile(path); !what.isEmpty())
        refuseJournal(path, what);
}

#ifdef Q_OS_UNIX
// Opens the journal itself, never what a link that appeared meanwhile points to; -1 and errno
// when it cannot be opened.
int openNoLink(const QString &path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno == ELOOP)
        refuseJournal(path,
                      notAFile(path).isEmpty() ? QStringLiteral("ein Verweis (symbolischer Link)") : notAFile(path));
    if (fd >= 0) {
        struct stat status
        {
        };
        if (::fstat(fd, &status) == 0 && !S_ISREG(status.st_mode)) {
            ::close(fd);
            refuseJournal(path, QStringLiteral("keine gewöhnliche Datei"));
        }
    }
    return fd;
}

// A new file's name lives in its folder's entry, which must reach the disk as well.
void syncFolderOf(const QString &path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}
#endif

// The journal opened for appending and held against other copies of the program, with its header
// written when it was new or empty.
class OpenJournal
{
public:
    explicit OpenJournal(const QString &path) : file_(path), path_(path)
    {
        refuseNonFile(path);
        const bool existed = QFileInfo::exists(path);
        errno = 0;
        // Unbuffered, so that what a failed write left can be taken back and nothing is written later.
        constexpr QIODevice::OpenMode mode = QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered;
#ifdef Q_OS_UNIX
        const int fd = openNoLink(path, O_RDWR | O_APPEND | O_CREAT);
        if (fd < 0 || !file_.open(fd, mode, QFileDevice::AutoCloseHandle)) {
            const int code = platform::LastIoErrorCode(path);
            if (fd >= 0)
                ::close(fd);
            throw journalError(path, code);
        }
#else
        if (!file_.open(mode))
            throw journalError(path, platform::LastIoErrorCode(path));
#endif
        if (!existed)
            file_.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        lock_.emplace(file_.handle(), path);
        size_ = file_.size();
        if (size_ == 0) {
            write(kByteOrderMark + lineBytes(journalHeader()));
            sync();
#ifdef Q_OS_UNIX
            syncFolderOf(path);
#endif
            size_ = file_.size();
        }
    }

    // What ends a last line cut off by a crash during an append: nothing when it is ended.
    QByteArray lineEnd()
    {
        if (size_ == 0 || !file_.seek(size_ - 1))
            return {};
        const QByteArray last = file_.read(1);
        return last == "\n" ? QByteArray() : last == "\r" ? QByteArray("\n") : QByteArray("\r\n");
    }

    // The chain's value of the last whole chained line, read backwards from the end: one piece
    // will do but for a journal whose lines all predate the chain.
    QByteArray lastChainValue()
    {
        QByteArray rest; // the start of a line that begins before the piece read
        for (qint64 end = size_; end > 0;) {
            const qint64 begin = std::max<qint64>(0, end - kTailPiece);
            if (!file_.seek(begin))
                throw journalError(path_, platform::LastIoErrorCode(path_));
            QByteArray piece = file_.read(end - begin);
            if (piece.size() != end - begin)
                throw journalError(path_, platform::LastIoErrorCode(path_));
            piece += rest;
            qsizetype lineEnd = piece.size();
            for (qsizetype i = piece.size() - 1; i >= 0; --i) {
                if (piece[i] != '\n' && piece[i] != '\r')
                    continue;
                if (const QByteArray value =
                        billing::lastChainValue(QByteArrayView(piece).sliced(i + 1, lineEnd - i - 1));
                    !value.isEmpty())
                    return value;
                lineEnd = i;
            }
            rest = piece.left(lineEnd);
            end = begin;
        }
        if (rest.startsWith(kByteOrderMark))
            rest.remove(0, kByteOrderMark.size());
        return billing::lastChainValue(rest);
    }

    void write(const QByteArray &bytes)
    {
        // Held against other copies, so the file ends where this append began.
        const qint64 before = file_.size();
        errno = 0;
        if (file_.write(bytes) != bytes.size() || !file_.flush()) {
            const int code = platform::LastIoErrorCode(path_);
            // Bytes that never became a whole line are taken back; the journal stays as it was.
#ifdef Q_OS_UNIX
            if (::ftruncate(file_.handle(), before) == 0)
                ::fsync(file_.handle());
#else
            file_.resize(before);
#endif
            throw journalError(path_, code);
        }
    }

    void sync()
    {
#ifdef Q_OS_UNIX
        errno = 0;
        if (::fsync(file_.handle()) != 0)
            throw journalError(path_, platform::LastIoErrorCode(path_));
#endif
    }

private:
    QFile file_;
    QString path_;                    // the file opened by its handle forgets its name
    std::optional<JournalLock> lock_; // after the file: released before it closes
    qint64 size_ = 0;
};

} // namespace

QString journalPath(const QString &invoiceFolder)
{
    return QDir(invoiceFolder).filePath(QString::fromUtf8(kJournalFile));
}

JournalLine journalLineFor(const TGast &g, qint32 nr, const QDateTime &issued)
{
    JournalLine line;
    line.nr = nr;
    line.issued = issued;
    line.gastNr = g.GastNr;
    line.name = g.Name;
    line.town = g.Ort;
    line.von = g.Von;
    line.bis = g.Bis;
    line.nights = Naechte(g);
    line.persons = g.Personen;
    line.rooms = g.Zimmer;
    line.amount = g.Kosten;
    return line;
}

QStringList journalHeader()
{
    return {QStringLiteral("Nummer"),  QStringLiteral("Datum"),        QStringLiteral("Uhrzeit"),
            QStringLiteral("Art"),     QStringLiteral("Zu Rechnung"),  QStringLiteral("Gast Nr."),
            QStringLiteral("Name"),    QStringLiteral("Ort"),          QStringLiteral("Anreise"),
            QStringLiteral("Abreise"), QStringLiteral("Nächte"),       QStringLiteral("Personen"),
            QStringLiteral("Zimmer"),  QStringLiteral("Betrag"),       QStringLiteral("SHA-256 der Kopie"),
            QStringLiteral("Hinweis"), QString::fromUtf8(kChainHeader)};
}

QStringList journalFields(const JournalLine &line)
{
    return {QString::number(line.nr),
            line.issued.date().toString(kDateFormat),
            line.issued.time().toString(kTimeFormat),
            line.kind,
            line.refersTo == 0 ? QString() : QString::number(line.refersTo),
            line.gastNr == 0 ? QString() : QString::number(line.gastNr),
            line.name,
            line.town,
            day(line.von),
            day(line.bis),
            QString::number(line.nights),
            QString::number(line.persons),
            roomsText(line.rooms),
            journalAmount(line.amount),
            line.sha256,
            line.note};
}

void checkJournalWritable(const QString &path)
{
    OpenJournal journal(path);
    journal.sync();
}

QByteArray journalChainHash(const QByteArray &previous, QByteArrayView fields)
{
    const std::array<char, 64> hex = hexOf(sha256Digest({previous, QByteArrayView("\n"), fields}));
    return QByteArray(hex.data(), hex.size());
}

void appendJournalLine(const QString &path, const JournalLine &line)
{
    OpenJournal journal(path);
    const QByteArray fields = fieldBytes(journalFields(line));
    const QByteArray bytes = journal.lineEnd() + fields + journalChainHash(journal.lastChainValue(), fields) + ";\r\n";
    journal.write(bytes);
    journal.sync();
}

namespace {

// Follows the chain through the lines as they are read, and says where it breaks.
class ChainCheck
{
public:
    // Checks one whole line, its bytes as read.
    void take(qint64 lineNumber, const FieldCutter &fields, QByteArrayView bytes)
    {
        if (fields.chained()) {
            started_ = true;
            const QByteArrayView value = fields[kFields];
            if (!isChainHash(value)) {
                find(lineNumber, QStringLiteral("die Prüfsumme ist unlesbar – von Hand verändert"));
                return;
            }
            const std::array<char, 64> hash =
                hexOf(sha256Digest({QByteArrayView(previous_.data(), previousSize_), QByteArrayView("\n"),
                                    bytes.first(fields.sixteenEnd())}));
            if (QByteArrayView(hash.data(), hash.size()) != value)
                find(lineNumber, QStringLiteral("geändert, eingefügt oder verschoben, oder eine Zeile davor wurde "
                                                "entfernt – die Prüfsumme passt nicht zur Zeile davor"));
            // The next line is checked against this one: one change is named once.
            std::copy(value.begin(), value.end(), previous_.begin());
            previousSize_ = value.size();
        } else if (started_) {
            find(lineNumber, QStringLiteral("ohne Prüfsumme nach Zeilen mit Prüfsumme – von Hand eingefügt oder "
                                            "verändert"));
        }
    }
    bool started() const { return started_; }

    QStringList findings() const
    {
        QStringList all = findings_;
        if (unlisted_ > 0)
            all << QStringLiteral("Rechnungsbuch: %1 weitere Zeilen passen nicht zur Prüfsumme").arg(unlisted_);
        return all;
    }

private:
    void find(qint64 lineNumber, const QString &what)
    {
        if (findings_.size() < kMaxFindings)
            findings_ << QStringLiteral("Rechnungsbuch Zeile %1: %2").arg(lineNumber).arg(what);
        else
            ++unlisted_;
    }

    // The chain's value of the last chained line; empty before the first.
    std::array<char, 64> previous_{};
    qsizetype previousSize_ = 0;
    bool started_ = false;
    QStringList findings_;
    qint64 unlisted_ = 0;
};

const QString &kindText(bool cancellation)
{
    static const QString invoice = QString::fromUtf8(kKindInvoice);
    static const QString storno = QString::fromUtf8(kKindCancellation);
    return cancellation ? storno : invoice;
}

// The name of the copy that the line's number is kept as.
QString keptCopyName(const JournalLine &line)
{
    return line.isCancellation() ? QStringLiteral("Rechnung %1 (Storno zu %2).pdf").arg(line.nr).arg(line.refersTo)
                                 : RechnungsDateiname(line.nr);
}

} // namespace

bool JournalLineView::isReservation() const
{
    return !used() && note == QByteArrayView(kNoteReserved);
}

JournalLine JournalLineView::line() const
{
    JournalLine line;
    line.nr = nr;
    line.issued = QDateTime(date, time);
    line.kind = kindText(cancellation);
    line.refersTo = refersTo;
    line.gastNr = gastNr;
    line.name = QString::fromUtf8(name);
    line.town = QString::fromUtf8(town);
    line.von = von;
    line.bis = bis;
    line.nights = nights;
    line.persons = persons;
    line.rooms = roomsFrom(QString::fromUtf8(rooms));
    line.amount = amount;
    line.sha256 = QString::fromLatin1(sha256);
    line.note = QString::fromUtf8(note);
    return line;
}

JournalRead forEachJournalLineView(const QString &path, const std::function<void(const JournalLineView &)> &take)
{
    JournalRead read;
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return read;
    refuseNonFile(path);
    QFile file(path);
    errno = 0;
#ifdef Q_OS_UNIX
    // Not blocking: a pipe put in its place meanwhile must not hang the program.
    const int fd = openNoLink(path, O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        platform::ThrowLastIoError(path);
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        platform::ThrowLastIoError(path);
    }
#else
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        platform::ThrowLastIoError(path);
#endif
    LineReader reader(file, path);
    ChainCheck chain;
    FieldCutter fields;
    QByteArrayView bytes;
    bool ended = true;
    for (qint64 lineNumber = 1; reader.next(bytes, ended); ++lineNumber) {
        read.fileLines = lineNumber;
        if (lineNumber == 1 && bytes.startsWith(kByteOrderMark))
            bytes = bytes.sliced(kByteOrderMark.size());
        const bool whole = fields.cut(bytes);
        if (whole && fields.isHeader())
            continue;
        // The last line of a chained journal cut off just before its chain's value is cut off,
        // not inserted: nothing of it is taken.
        if (whole && !ended && chain.started() && !fields.chained()) {
            ++read.skipped;
            continue;
        }
        if (whole)
            chain.take(lineNumber, fields, bytes);
        // A line cut off while it was written lacks the ";" that ends its last field.
        const std::optional<JournalLineView> parsed = whole ? parse(fields) : std::nullopt;
        if (parsed)
            take(*parsed);
        else
            ++read.skipped;
    }
    read.findings = chain.findings();
    return read;
}

JournalRead forEachJournalLine(const QString &path, const std::function<void(const JournalLine &)> &take)
{
    return forEachJournalLineView(path, [&take](const JournalLineView &line) { take(line.line()); });
}

JournalContents readJournal(const QString &path)
{
    JournalContents contents;
    const JournalRead read =
        forEachJournalLine(path, [&contents](const JournalLine &line) { contents.lines.push_back(line); });
    contents.skipped = read.skipped;
    contents.findings = read.findings;
    markKeptUnfinished(contents, QFileInfo(path).absolutePath());
    return contents;
}

void markKeptUnfinished(JournalContents &journal, const QString &invoiceFolder)
{
    std::unordered_map<qint32, std::size_t> last; // number -> its last line
    for (std::size_t i = 0; i < journal.lines.size(); ++i)
        last[journal.lines[i].nr] = i;
    const QDir folder(invoiceFolder);
    for (const auto &[nr, index] : last) {
        JournalLine &line = journal.lines[index];
        line.keptUnfinished = line.isReservation() && QFileInfo(folder.filePath(keptCopyName(line))).isFile();
    }
}

QString sha256Of(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString sha256OfFile(const QString &path)
{
    return sha256Of(platform::ReadFileBytes(path));
}

QString journalAmount(double euros)
{
    // Cents first, so that -0.004 is "0,00" and 158.005 rounds as the cent it is held to.
    const qint64 cents = std::llround(euros * 100);
    const qint64 whole = std::llabs(cents) / 100;
    return QStringLiteral("%1%2,%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString())
        .arg(whole)
        .arg(std::llabs(cents) % 100, 2, 10, QLatin1Char('0'));
}

std::optional<double> parseJournalAmount(const QString &text)
{
    return amountFrom(text.toUtf8());
}

} // namespace billing
