#include "billing/InvoiceArchive.h"

#include "billing/Invoice.h"
#include "billing/InvoiceFiles.h"
#include "billing/StayCost.h"
#include "platform/AnsiText.h"
#include "platform/Convert.h"
#include "platform/IoError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <map>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace billing {

using guests::TGast;

namespace {

EInvoiceError existsError(const QString &path)
{
    return EInvoiceError(QStringLiteral("Die Rechnungskopie „%1“ gibt es schon; sie wird nie überschrieben.\n%2")
                             .arg(QFileInfo(path).fileName(), platform::ShownPath(path)));
}

} // namespace

QString RechnungsDateiname(qint32 nr)
{
    return QStringLiteral("Rechnung %1.pdf").arg(nr);
}

std::optional<qint32> LetzteReNr(const QString &counterPath)
{
    try {
        return platform::StrToInt(platform::ReadFirstLine(counterPath));
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

std::optional<qint32> NaechsteReNrVorschau(const QString &counterPath)
{
    const std::optional<qint32> last = LetzteReNr(counterPath);
    if (!last || *last < 0 || *last == std::numeric_limits<qint32>::max())
        return std::nullopt;
    return *last + 1;
}

qint32 ErsteFreieReNr(const std::vector<TGast> &records, const std::vector<AbgelegteRechnung> &kopien)
{
    qint32 highest = 0;
    // Record 0 is the list's placeholder, no invoice.
    for (std::size_t i = 1; i < records.size(); ++i)
        highest = std::max(highest, records[i].ReNr);
    for (const AbgelegteRechnung &kopie : kopien)
        highest = std::max(highest, kopie.nr);
    return highest == std::numeric_limits<qint32>::max() ? highest : highest + 1;
}

void PruefeAblage(const QString &folder, qint64 bytes)
{
    const auto refuse = [&folder](int code) {
        return EInvoiceError(
            QStringLiteral("In den Ordner für die Rechnungskopien kann nicht geschrieben werden (%1).\n"
                           "%2\nEs wurde keine Rechnungsnummer vergeben und nichts gedruckt.")
                .arg(platform::IoErrorText(code), platform::ShownPath(folder)));
    };
    errno = 0;
    if (!MakeInvoiceFolder(folder))
        throw refuse(QFileInfo::exists(folder) ? int(platform::kPathNotFound) : platform::LastIoErrorCode(folder));
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".Schreibprobe-XXXXXX")));
    errno = 0;
    if (!probe.open())
        throw refuse(platform::LastIoErrorCode(folder));
    // An empty file fits on a full disk: the probe takes as much room as the copy will, and is
    // synced, so a disk that only finds out when writing back says so now.
    const QByteArray chunk(64 * 1024, 'R');
    for (qint64 left = std::max<qint64>(bytes, 1); left > 0; left -= chunk.size()) {
        errno = 0;
        const qint64 n = std::min<qint64>(left, chunk.size());
        if (probe.write(chunk.constData(), n) != n)
            throw refuse(platform::LastIoErrorCode(folder));
    }
    errno = 0;
    if (!probe.flush())
        throw refuse(platform::LastIoErrorCode(folder));
#ifdef Q_OS_UNIX
    errno = 0;
    if (::fsync(probe.handle()) != 0)
        throw refuse(platform::LastIoErrorCode(folder));
#endif
}

void PruefeNeueAblage(const QString &folder, qint32 nr)
{
    const QString path = QDir(folder).filePath(RechnungsDateiname(nr));
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        throw existsError(path);
    // A cancellation's copy carries its number too.
    const QStringList cancellations =
        QDir(folder).entryList({QStringLiteral("Rechnung %1 (Storno zu *).pdf").arg(nr)}, QDir::Files | QDir::System);
    if (!cancellations.isEmpty())
        throw existsError(QDir(folder).filePath(cancellations.front()));
}

QString LegeRechnungAb(const QString &folder, qint32 nr, const QByteArray &pdf)
{
    return keepCopy(folder, nr, RechnungsDateiname(nr), pdf);
}

QString keepCopy(const QString &folder, qint32 nr, const QString &fileName, const QByteArray &pdf)
{
    const QDir dir(folder);
    const QString path = dir.filePath(fileName);
    PruefeNeueAblage(folder, nr);
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        throw existsError(path);
    MakeInvoiceFolder(folder); // a missing folder shows in the write below
    // Written whole under a hidden name first, so that the kept name never shows half a file.
    const QString part = dir.filePath(QStringLiteral(".") + RechnungsDateiname(nr) + QStringLiteral(".neu"));
    QFile::remove(part); // left by an attempt that was cut off
    platform::SaveFileAtomic(part, pdf);
    errno = 0;
    if (!QFile::setPermissions(part, QFileDevice::ReadOwner)) {
        const int code = platform::LastIoErrorCode(part);
        QFile::remove(part);
        throw platform::EInOutError(code, path);
    }
#ifdef Q_OS_UNIX
    // A hard link is the one way to put a file in place that fails, rather than replaces, when
    // the name has been taken meanwhile.
    const QByteArray from = QFile::encodeName(part);
    const QByteArray to = QFile::encodeName(path);
    if (::link(from.constData(), to.constData()) == 0) {
        QFile::remove(part);
        return path;
    }
    const int linkError = errno;
    if (linkError == EEXIST) {
        QFile::remove(part);
        throw existsError(path);
    }
    // Some file systems (memory sticks) know no hard links; a rename that checks first serves there.
#endif
    if (QFileInfo::exists(path)) {
        QFile::remove(part);
        throw existsError(path);
    }
    errno = 0;
    if (!QFile::rename(part, path)) {
        const int code = platform::LastIoErrorCode(path);
        QFile::remove(part);
        throw platform::EInOutError(code, path);
    }
    return path;
}

std::vector<AbgelegteRechnung> AbgelegteRechnungen(const QString &folder)
{
    static const QRegularExpression name(
        QStringLiteral("^Rechnung ([1-9][0-9]{0,9})( \\(Storno zu [1-9][0-9]{0,9}\\))?\\.pdf$"));
    std::vector<AbgelegteRechnung> kept;
    const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("Rechnung *.pdf")}, QDir::Files);
    for (const QFileInfo &file : files) {
        const QRegularExpressionMatch match = name.match(file.fileName());
        bool ok = false;
        const qint32 nr = match.hasMatch() ? match.captured(1).toInt(&ok) : 0;
        if (ok)
            kept.push_back({nr, file.filePath(), file.lastModified()});
    }
    std::sort(kept.begin(), kept.end(), [](const auto &a, const auto &b) { return a.nr < b.nr; });
    return kept;
}

} // namespace billing
