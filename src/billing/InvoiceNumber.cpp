#include "billing/InvoiceNumber.h"

#include "platform/AnsiText.h"
#include "platform/Convert.h"
#include "platform/FolderLock.h"
#include "platform/IoError.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <limits>

namespace billing {

namespace {

// The last number the counter gave; EConvertError naming the file when it holds none.
qint32 letzteNummer(const QString &path)
{
    try {
        return platform::StrToInt(platform::ReadFirstLine(path));
    } catch (const platform::EConvertError &error) {
        throw platform::EConvertError(QStringLiteral("Der Rechnungszähler %1 enthält keine Rechnungsnummer (%2). "
                                                     "Bitte tragen Sie dort die zuletzt vergebene Nummer ein.\n%3")
                                          .arg(QFileInfo(path).fileName(), error.message(), platform::ShownPath(path)));
    }
}

bool gibtEs(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

qint32 NextReNr(const QString &path)
{
    return NextReNr(path, nullptr, nullptr).nr;
}

TakenNumber NextReNr(const QString &path, const std::function<qint32()> &highestIssued,
                     const std::function<void(qint32)> &reserve)
{
    // Read, count on and write back under one lock: two running copies of the program must never
    // both read the same last number.
    const platform::FolderLock lock(path);
    const qint32 last = platform::StrToInt(platform::ReadFirstLine(path));
    if (last < 0)
        // The next number would be 0 or below, and 0 means "no invoice".
        throw platform::EConvertError(
            QStringLiteral("%1 enthält die Rechnungsnummer %2; eine Rechnungsnummer kann nicht negativ sein. Bitte "
                           "tragen Sie dort die zuletzt vergebene Nummer ein.\n%3")
                .arg(QFileInfo(path).fileName())
                .arg(last)
                .arg(QDir::toNativeSeparators(path)));
    TakenNumber taken;
    // Asked under the lock: a number another copy reserved a moment ago is known here.
    const qint32 issued = highestIssued ? highestIssued() : 0;
    qint32 counted = last;
    if (issued > last) {
        // A counter set back, or made afresh beside the journal, would give a number again.
        counted = issued;
        taken.counterNote = QStringLiteral("Der Rechnungszähler %1 stand auf %2, aber die Nummer %3 ist schon "
                                           "vergeben; er wurde auf %3 gestellt.")
                                .arg(QFileInfo(path).fileName())
                                .arg(last)
                                .arg(issued);
    }
    if (counted == std::numeric_limits<qint32>::max())
        throw platform::EConvertError(
            QStringLiteral("Die Rechnungsnummer %1 ist die größte mögliche; es kann keine weitere vergeben werden.")
                .arg(counted));
    taken.nr = counted + 1;
    // The number is written down where it is issued before the counter moves on: a stop between
    // the two leaves a reservation above the counter, which the next take steps over.
    if (reserve)
        reserve(taken.nr);
    // Only a number that is safely on disk may be handed out, or it could be given twice.
    platform::SaveTextFileAtomic(path, {QString::number(taken.nr)});
    return taken;
}

ReNrStand LiesReNrStand(const QString &path)
{
    ReNrStand stand;
    if (!gibtEs(path)) {
        stand.fehlt = true;
        stand.meldung = QStringLiteral("Es gibt noch keinen Rechnungszähler %1: mit welcher Nummer die erste "
                                       "Rechnung beginnt, wird beim ersten Rechnungsdruck gefragt.\n%2")
                            .arg(QFileInfo(path).fileName(), platform::ShownPath(path));
        return stand;
    }
    try {
        const qint32 last = letzteNummer(path);
        if (last < 0)
            stand.meldung = QStringLiteral("Der Rechnungszähler enthält die Nummer %1; eine Rechnungsnummer kann "
                                           "nicht negativ sein.\n%2")
                                .arg(last)
                                .arg(platform::ShownPath(path));
        else if (last == std::numeric_limits<qint32>::max())
            stand.meldung = QStringLiteral("Die Rechnungsnummer %1 ist die größte mögliche; es kann keine weitere "
                                           "vergeben werden.\n%2")
                                .arg(last)
                                .arg(platform::ShownPath(path));
        else
            stand.naechste = last + 1;
    } catch (const platform::EConvertError &error) {
        stand.meldung = error.message();
    } catch (const platform::EInOutError &error) {
        stand.meldung = QStringLiteral("Der Rechnungszähler kann nicht gelesen werden:\n") + error.message();
    }
    return stand;
}

void ReNrBeginnen(const QString &path, qint32 erste, qint32 hoechsteVergebene)
{
    if (erste < 1)
        throw platform::EConvertError(
            QStringLiteral("Die erste Rechnungsnummer muss mindestens 1 sein, nicht %1.").arg(erste));
    if (erste <= hoechsteVergebene)
        throw platform::EConvertError(
            QStringLiteral("Die Rechnungsnummer %1 ist schon vergeben: das Rechnungsbuch, die abgelegten Rechnungen "
                           "oder die Gäste tragen Nummern bis %2. Rechnungsnummern dürfen sich nicht wiederholen; "
                           "die nächste Rechnung kann frühestens mit %3 beginnen.")
                .arg(erste)
                .arg(hoechsteVergebene)
                .arg(static_cast<qint64>(hoechsteVergebene) + 1));
    const platform::FolderLock lock(path);
    if (gibtEs(path)) {
        const qint32 last = letzteNummer(path);
        if (erste <= last)
            throw platform::EConvertError(
                QStringLiteral("Die Rechnungsnummer %1 ist schon vergeben: die letzte Rechnung hatte die Nummer %2, "
                               "die nächste bekommt %3. Eine kleinere Nummer wird nicht eingestellt, denn "
                               "Rechnungsnummern dürfen sich nicht wiederholen.\n%4")
                    .arg(erste)
                    .arg(last)
                    .arg(static_cast<qint64>(last) + 1)
                    .arg(platform::ShownPath(path)));
        if (erste == last + 1)
            return;
    }
    // The counter holds the last number given, so the first invoice gets the one after it.
    platform::SaveTextFileAtomic(path, {QString::number(erste - 1)});
}

} // namespace billing
