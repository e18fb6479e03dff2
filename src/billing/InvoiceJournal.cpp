#include "billing/InvoiceJournal.h"

#include "billing/BillingFiles.h"
#include "billing/Invoice.h"
#include "billing/JournalLock.h"
#include "billing/LineReader.h"
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
#include <cstring>

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

bool isCopyHash(const QString &text);

// One line's fields, and where its 16th ends in its bytes (what the chain hashes).
struct SplitFields
{
    QStringList texts;
    qsizetype sixteenEnd = -1;
};

// The fields of one line (16, or 17 with the chain), or nothing when the line is not whole.
std::optional<SplitFields> splitLine(QByteArrayView line)
{
    SplitFields split;
    const char *data = line.data();
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (i < n) {
        if (split.texts.size() == kChainedFields)
            return std::nullopt;
        const auto *semicolon = static_cast<const char *>(std::memchr(data + i, ';', static_cast<size_t>(n - i)));
        const qsizetype plainEnd = semicolon ? semicolon - data : n;
        if (!std::memchr(data + i, '"', static_cast<size_t>(plainEnd - i))) {
            if (!semicolon)
                return std::nullopt; // cut off inside its last field
            split.texts << QString::fromUtf8(data + i, plainEnd - i);
            i = plainEnd + 1;
        } else {
            QByteArray field;
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
                return std::nullopt;
            split.texts << QString::fromUtf8(field);
        }
        if (split.texts.size() == kFields)
            split.sixteenEnd = i;
    }
    if (split.texts.size() != kFields && split.texts.size() != kChainedFields)
        return std::nullopt;
    return split;
}

bool isChainHash(const QString &text)
{
    return text.size() == 64 && isCopyHash(text);
}

bool isHeader(const SplitFields &fields)
{
    return fields.texts.front() == QLatin1String("Nummer");
}

// The chain's value that a line chains on: that of the last whole chained line of the file.
// Nothing when it holds none (new, or only lines from before the chain).
QByteArray lastChainValue(QByteArrayView line)
{
    const std::optional<SplitFields> fields = splitLine(line);
    if (!fields || fields->texts.size() != kChainedFields || isHeader(*fields) || !isChainHash(fields->texts.back()))
        return {};
    return fields->texts.back().toLatin1();
}

// The writer guards a text that a spreadsheet would run as a formula with a leading "'".
QString unguarded(const QString &field)
{
    if (field.size() > 1 && field.front() == u'\'' && QStringView(u"=+-@\t\r").contains(field.at(1)))
        return field.mid(1);
    return field;
}

// Digits only, by hand: a journal of many thousand lines is read each time the list opens.
bool allDigits(QStringView text)
{
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

std::optional<qint32> number(const QString &text, bool mayBeEmpty)
{
    if (text.isEmpty() && mayBeEmpty)
        return 0;
    bool ok = false;
    const qint32 value = text.size() <= 10 && !text.isEmpty() && allDigits(text) ? text.toInt(&ok) : 0;
    return ok ? std::optional<qint32>(value) : std::nullopt;
}

// "dd.MM.yyyy", as QDate::fromString reads it but without parsing the format for every line.
QDate dateFrom(const QString &text)
{
    if (text.size() != 10 || text[2] != u'.' || text[5] != u'.')
        return {};
    const QStringView view(text);
    if (!allDigits(view.sliced(0, 2)) || !allDigits(view.sliced(3, 2)) || !allDigits(view.sliced(6, 4)))
        return {};
    return QDate(view.sliced(6, 4).toInt(), view.sliced(3, 2).toInt(), view.sliced(0, 2).toInt());
}

// "HH:mm:ss"
QTime timeFrom(const QString &text)
{
    if (text.size() != 8 || text[2] != u':' || text[5] != u':')
        return {};
    const QStringView view(text);
    if (!allDigits(view.sliced(0, 2)) || !allDigits(view.sliced(3, 2)) || !allDigits(view.sliced(6, 2)))
        return {};
    return QTime(view.sliced(0, 2).toInt(), view.sliced(3, 2).toInt(), view.sliced(6, 2).toInt());
}

bool isCopyHash(const QString &text)
{
    if (text.isEmpty())
        return true;
    if (text.size() != 64)
        return false;
    for (const QChar c : text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    return true;
}

std::optional<platform::TDateTime> dayFrom(const QString &text)
{
    if (text.isEmpty())
        return 0;
    const QDate date = dateFrom(text);
    return date.isValid() ? std::optional<platform::TDateTime>(platform::DateToDay(date)) : std::nullopt;
}

std::optional<JournalLine> parse(const QStringList &f)
{
    JournalLine line;
    const auto nr = number(f[0], false);
    const QDate date = dateFrom(f[1]);
    const QTime time = timeFrom(f[2]);
    const auto refersTo = number(f[4], true);
    const auto gastNr = number(f[5], true);
    const auto von = dayFrom(f[8]);
    const auto bis = dayFrom(f[9]);
    const auto nights = number(f[10], true);
    const auto persons = number(f[11], true);
    const auto amount = parseJournalAmount(f[13]);
    const bool knownKind = f[3] == QLatin1String(kKindInvoice) || f[3] == QLatin1String(kKindCancellation);
    if (!nr || *nr <= 0 || !date.isValid() || !time.isValid() || !knownKind || !refersTo || !gastNr || !von || !bis ||
        !nights || !persons || !amount || !isCopyHash(f[14]))
        return std::nullopt;
    line.nr = *nr;
    line.issued = QDateTime(date, time);
    line.kind = f[3];
    line.refersTo = *refersTo;
    line.gastNr = *gastNr;
    line.name = unguarded(f[6]);
    line.town = unguarded(f[7]);
    line.von = *von;
    line.bis = *bis;
    line.nights = *nights;
    line.persons = *persons;
    line.rooms = roomsFrom(f[12]);
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
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(previous);
    hash.addData(QByteArrayView("\n"));
    hash.addData(fields);
    return hash.result().toHex();
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
    void take(qint64 lineNumber, const SplitFields &fields, QByteArrayView bytes)
    {
        if (fields.texts.size() == kChainedFields) {
            started_ = true;
            const QString &value = fields.texts.back();
            if (!isChainHash(value)) {
                find(lineNumber, QStringLiteral("die Prüfsumme ist unlesbar – von Hand verändert"));
                return;
            }
            const QByteArray stored = value.toLatin1();
            if (journalChainHash(previous_, bytes.first(fields.sixteenEnd)) != stored)
                find(lineNumber, QStringLiteral("geändert, eingefügt oder verschoben, oder eine Zeile davor wurde "
                                                "entfernt – die Prüfsumme passt nicht zur Zeile davor"));
            // The next line is checked against this one: one change is named once.
            previous_ = stored;
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

    QByteArray previous_; // the chain's value of the last chained line; empty before the first
    bool started_ = false;
    QStringList findings_;
    qint64 unlisted_ = 0;
};

} // namespace

JournalRead forEachJournalLine(const QString &path, const std::function<void(const JournalLine &)> &take)
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
    QByteArrayView bytes;
    bool ended = true;
    for (qint64 lineNumber = 1; reader.next(bytes, ended); ++lineNumber) {
        read.fileLines = lineNumber;
        if (lineNumber == 1 && bytes.startsWith(kByteOrderMark))
            bytes = bytes.sliced(kByteOrderMark.size());
        const std::optional<SplitFields> fields = splitLine(bytes);
        if (fields && isHeader(*fields))
            continue;
        // The last line of a chained journal cut off just before its chain's value is cut off,
        // not inserted: nothing of it is taken.
        if (fields && !ended && chain.started() && fields->texts.size() == kFields) {
            ++read.skipped;
            continue;
        }
        if (fields)
            chain.take(lineNumber, *fields, bytes);
        // A line cut off while it was written lacks the ";" that ends its last field.
        const std::optional<JournalLine> parsed = fields ? parse(fields->texts) : std::nullopt;
        if (parsed)
            take(*parsed);
        else
            ++read.skipped;
    }
    read.findings = chain.findings();
    return read;
}

JournalContents readJournal(const QString &path)
{
    JournalContents contents;
    const JournalRead read =
        forEachJournalLine(path, [&contents](const JournalLine &line) { contents.lines.push_back(line); });
    contents.skipped = read.skipped;
    contents.findings = read.findings;
    return contents;
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
    // "-?[0-9]{1,12},[0-9]{2}", checked by hand: it is read for every line of the journal.
    const QStringView view(text);
    const bool negative = view.startsWith(u'-');
    const QStringView digits = negative ? view.sliced(1) : view;
    const qsizetype comma = digits.size() - 3;
    if (comma < 1 || comma > 12 || digits[comma] != u',' || !allDigits(digits.first(comma)) ||
        !allDigits(digits.sliced(comma + 1)))
        return std::nullopt;
    const double value = digits.first(comma).toDouble() + digits.sliced(comma + 1).toDouble() / 100;
    return negative ? -value : value;
}

} // namespace billing
