#include "billing/InvoiceJournal.h"

#include "billing/BillingFiles.h"
#include "billing/Invoice.h"
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

#ifdef Q_OS_UNIX
#include <fcntl.h>
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
QByteArray lineBytes(const QStringList &fields)
{
    QString text;
    for (const QString &field : fields)
        text += platform::csvField(oneLine(field)) + u';';
    return text.toUtf8() + "\r\n";
}

// The fields of one line, or nothing when the line is not whole.
std::optional<QStringList> splitLine(QStringView line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    bool ended = true;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        ended = false;
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u';') {
            fields << field;
            field.clear();
            ended = true;
        } else {
            field += c;
        }
    }
    if (quoted || !ended || fields.size() != kFields)
        return std::nullopt;
    return fields;
}

// The writer guards a text that a spreadsheet would run as a formula with a leading "'".
QString unguarded(const QString &field)
{
    if (field.size() > 1 && field.front() == u'\'' && QStringView(u"=+-@\t\r").contains(field.at(1)))
        return field.mid(1);
    return field;
}

std::optional<qint32> number(const QString &text, bool mayBeEmpty)
{
    if (text.isEmpty() && mayBeEmpty)
        return 0;
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,10}$"));
    bool ok = false;
    const qint32 value = digits.match(text).hasMatch() ? text.toInt(&ok) : 0;
    return ok ? std::optional<qint32>(value) : std::nullopt;
}

std::optional<platform::TDateTime> dayFrom(const QString &text)
{
    if (text.isEmpty())
        return 0;
    const QDate date = QDate::fromString(text, kDateFormat);
    return date.isValid() ? std::optional<platform::TDateTime>(platform::DateToDay(date)) : std::nullopt;
}

std::optional<JournalLine> parse(const QStringList &f)
{
    JournalLine line;
    const auto nr = number(f[0], false);
    const QDate date = QDate::fromString(f[1], kDateFormat);
    const QTime time = QTime::fromString(f[2], kTimeFormat);
    const auto refersTo = number(f[4], true);
    const auto gastNr = number(f[5], true);
    const auto von = dayFrom(f[8]);
    const auto bis = dayFrom(f[9]);
    const auto nights = number(f[10], true);
    const auto persons = number(f[11], true);
    const auto amount = parseJournalAmount(f[13]);
    static const QRegularExpression hash(QStringLiteral("^([0-9a-f]{64})?$"));
    const bool knownKind = f[3] == QLatin1String(kKindInvoice) || f[3] == QLatin1String(kKindCancellation);
    if (!nr || *nr <= 0 || !date.isValid() || !time.isValid() || !knownKind || !refersTo || !gastNr || !von || !bis ||
        !nights || !persons || !amount || !hash.match(f[14]).hasMatch())
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

#ifdef Q_OS_UNIX
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

// The journal opened for appending, with its header written when it was new or empty.
class OpenJournal
{
public:
    explicit OpenJournal(const QString &path) : file_(path)
    {
        if (const QString what = KeineDateiSondern(path); !what.isEmpty())
            throw EInvoiceError(QStringLiteral("Das Rechnungsbuch „%1“ ist keine Datei, sondern %2.\n%3")
                                    .arg(QFileInfo(path).fileName(), what, platform::ShownPath(path)));
        const bool existed = QFileInfo::exists(path);
        errno = 0;
        // Unbuffered, so that what a failed write left can be taken back and nothing is written later.
        if (!file_.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered))
            throw journalError(path, platform::LastIoErrorCode(path));
        if (!existed)
            file_.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
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

    void write(const QByteArray &bytes)
    {
        const qint64 before = file_.size();
        errno = 0;
        if (file_.write(bytes) != bytes.size() || !file_.flush()) {
            const int code = platform::LastIoErrorCode(file_.fileName());
            // Bytes that never became a whole line are taken back; the journal stays as it was.
#ifdef Q_OS_UNIX
            if (::ftruncate(file_.handle(), before) == 0)
                ::fsync(file_.handle());
#else
            file_.resize(before);
#endif
            throw journalError(file_.fileName(), code);
        }
    }

    void sync()
    {
#ifdef Q_OS_UNIX
        errno = 0;
        if (::fsync(file_.handle()) != 0)
            throw journalError(file_.fileName(), platform::LastIoErrorCode(file_.fileName()));
#endif
    }

private:
    QFile file_;
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
    return {QStringLiteral("Nummer"),  QStringLiteral("Datum"),       QStringLiteral("Uhrzeit"),
            QStringLiteral("Art"),     QStringLiteral("Zu Rechnung"), QStringLiteral("Gast Nr."),
            QStringLiteral("Name"),    QStringLiteral("Ort"),         QStringLiteral("Anreise"),
            QStringLiteral("Abreise"), QStringLiteral("Nächte"),      QStringLiteral("Personen"),
            QStringLiteral("Zimmer"),  QStringLiteral("Betrag"),      QStringLiteral("SHA-256 der Kopie"),
            QStringLiteral("Hinweis")};
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

void appendJournalLine(const QString &path, const JournalLine &line)
{
    OpenJournal journal(path);
    const QByteArray bytes = journal.lineEnd() + lineBytes(journalFields(line));
    journal.write(bytes);
    journal.sync();
}

JournalContents readJournal(const QString &path)
{
    JournalContents contents;
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return contents;
    QByteArray bytes = platform::ReadFileBytes(path);
    if (bytes.startsWith(kByteOrderMark))
        bytes.remove(0, kByteOrderMark.size());
    const QString text = QString::fromUtf8(bytes);
    const QList<QStringView> lines = QStringView(text).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringView line = lines[i];
        const bool last = i == lines.size() - 1;
        if (last && line.isEmpty())
            break;
        if (line.endsWith(u'\r'))
            line.chop(1);
        // A line cut off while it was written lacks the ";" that ends its last field.
        const std::optional<QStringList> fields = splitLine(line);
        if (fields && fields->front() == journalHeader().front())
            continue;
        const std::optional<JournalLine> parsed = fields ? parse(*fields) : std::nullopt;
        if (parsed)
            contents.lines.push_back(*parsed);
        else
            ++contents.skipped;
    }
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
    static const QRegularExpression amount(QStringLiteral("^(-?)([0-9]{1,12}),([0-9]{2})$"));
    const QRegularExpressionMatch match = amount.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const double value = match.captured(2).toDouble() + match.captured(3).toDouble() / 100;
    return match.captured(1).isEmpty() ? value : -value;
}

} // namespace billing
