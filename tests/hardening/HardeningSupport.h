#pragma once
// What the fault tests share: German settings, guest lists big and small, and honest faults.
// Tests run as root, whom permissions do not stop, so a read-only folder is tried as the user
// "nobody" (the effective ids change only around the attempt), and a full disk is a file size
// limit, which stops root too.

#include "billing/InvoiceJournal.h"
#include "guestfile/GuestFile.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/DayNumber.h"
#include "platform/IoError.h"
#include "platform/Regional.h"
#include "support/FileFaults.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>
#include <csignal>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace hardening {

using testsupport::DiskFull;

inline void UseGermanSettings()
{
    platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
    platform::Clock::fix(QDateTime(QDate(2025, 2, 20), QTime(10, 0)));
}

// One guest with every field filled; `nr` and `stand` make each record and each version differ.
inline guests::TGast Guest(int nr, int stand = 0)
{
    guests::TGast g;
    g.GastNr = nr;
    g.Zimmer = QString::number(nr % 3 + 1);
    g.Personen = nr % 4 + 1;
    g.Von = platform::EncodeDate(2025, 1, 1) + nr % 365;
    g.Bis = g.Von + 2;
    g.Anreise = platform::TimeToFraction(QTime(14, nr % 60));
    g.Abreise = platform::TimeToFraction(QTime(10, 30));
    g.Name = QStringLiteral("Gäst %1").arg(nr);
    g.Strasse = QStringLiteral("Mühlweg %1").arg(nr % 97);
    g.PLZ = 10000 + nr % 89999;
    g.Ort = QStringLiteral("Köln");
    g.Telefon = QStringLiteral("0221 %1").arg(nr);
    g.EMail = QStringLiteral("gast%1@example.de").arg(nr);
    g.ReNr = nr;
    g.Kosten = static_cast<float>(nr % 1000) + 0.5f;
    g.Bezahlt = nr % 2 == 0;
    g.Schluessel = nr % 3 == 0;
    g.Bemerkung = QStringLiteral("Stand %1").arg(stand);
    return g;
}

// Record 0 and `guests` guests.
inline std::vector<guests::TGast> Guests(int guests, int stand = 0)
{
    std::vector<guests::TGast> list(1);
    for (int nr = 1; nr <= guests; ++nr)
        list.push_back(Guest(nr, stand));
    return list;
}

// One version of a large list for the crash test: which version a file holds shows in record 0,
// and the first and last guest carry it too, so that a file cut short cannot pass for whole.
inline std::vector<guests::TGast> Version(const std::vector<guests::TGast> &even, const std::vector<guests::TGast> &odd,
                                          int stand)
{
    std::vector<guests::TGast> list = stand % 2 == 0 ? even : odd;
    const QString mark = QStringLiteral("Stand %1").arg(stand);
    list.front().Bemerkung = mark;
    list.at(1).Bemerkung = mark;
    list.back().Bemerkung = mark;
    return list;
}

// The stand a read list claims to be, or -1.
inline int StandOf(const std::vector<guests::TGast> &list)
{
    bool ok = false;
    const int stand = list.front().Bemerkung.mid(6).toInt(&ok);
    return list.front().Bemerkung.startsWith(QStringLiteral("Stand ")) && ok ? stand : -1;
}

// The journal line the helper appends as number `nr`: long (a kill may fall inside its write), and
// every field to be told from `nr`, so a line read back can be checked whole.
inline billing::JournalLine JournalLineNr(qint32 nr)
{
    billing::JournalLine line;
    line.nr = nr;
    line.issued = QDateTime(QDate(2026, 12, 14), QTime(10, 0));
    line.gastNr = nr % 1000 + 1;
    line.name = QStringLiteral("Gast %1 Weiß").arg(nr);
    line.town = QString(256 * 1024, QLatin1Char('x')) + QString::number(nr);
    line.amount = nr + 0.5;
    line.sha256 = billing::sha256Of(QByteArray::number(nr));
    return line;
}

inline QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

// The message of the exception of type E that `action` throws; "<none>" when it throws nothing.
template <typename E> QString ErrorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const E &error) {
        return QString::fromUtf8(error.what());
    }
    return QStringLiteral("<none>");
}

// The I/O error text with the path on its second line, as the user sees it.
inline QString IoMessage(platform::IoErrorCode code, const QString &path)
{
    return platform::IoErrorText(code) + u'\n' + QDir::toNativeSeparators(path);
}

inline bool IsRoot()
{
    return geteuid() == 0;
}

// While it lives, the process acts as "nobody" (as root only; others are stopped by the
// permissions themselves). The real id changes too, since checks such as access() go by it;
// the saved id stays root, which allows the way back.
class AsNobody
{
public:
    AsNobody()
    {
        if (!IsRoot())
            return;
        const passwd *nobody = getpwnam("nobody");
        const uid_t uid = nobody ? nobody->pw_uid : 65534;
        const gid_t gid = nobody ? nobody->pw_gid : 65534;
        // Group first: without root the group could no longer be changed.
        active_ = setresgid(gid, gid, 0) == 0 && setresuid(uid, uid, 0) == 0;
    }
    ~AsNobody()
    {
        if (active_ || IsRoot()) {
            if (setresuid(0, 0, 0) != 0 || setresgid(0, 0, 0) != 0)
                qFatal("cannot become root again");
        }
    }
    AsNobody(const AsNobody &) = delete;
    AsNobody &operator=(const AsNobody &) = delete;
    // False when the ids could not be changed (the test cannot be honest then).
    bool ok() const { return !wasRoot_ || active_; }

private:
    const bool wasRoot_ = IsRoot();
    bool active_ = false;
};

// Everything in a folder but the given file: leftovers of a failed save would show here.
inline QStringList Leftovers(const QString &folder, const QString &keep)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    names.removeAll(keep);
    return names;
}

} // namespace hardening

// Readable failure output for record comparisons.
inline char *toString(const guests::TGast &g)
{
    const auto n = [](double v) { return QString::number(v, 'g', 17); };
    return QTest::toString(QStringList{QString::number(g.GastNr), g.Zimmer, QString::number(g.Personen), n(g.Von),
                                       n(g.Anreise), n(g.Bis), n(g.Abreise), g.Name, g.Strasse, QString::number(g.PLZ),
                                       g.Ort, g.Telefon, g.EMail, QString::number(g.ReNr), n(g.Kosten),
                                       QString::number(g.Bezahlt), QString::number(g.Schluessel), g.Bemerkung.left(80)}
                               .join(u'|'));
}
