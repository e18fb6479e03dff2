#include "guestfile/FileFormats.h"

#include "guestfile/GuestFile.h"
#include "guestfile/GuestRecord.h"
#include "platform/Convert.h"
#include "platform/DayNumber.h"
#include "platform/Regional.h"

#include <QStringList>
#include <QTime>

#include <vector>

namespace guestfile {

using guests::TGast;

namespace {

TGast probe(QDate von, QDate bis, QTime anreise, QTime abreise, double kosten)
{
    TGast g;
    g.GastNr = 1;
    g.Zimmer = QStringLiteral("12");
    g.Personen = 2;
    g.Von = platform::DateToDay(von);
    g.Bis = platform::DateToDay(bis);
    g.Anreise = platform::TimeToFraction(anreise);
    g.Abreise = platform::TimeToFraction(abreise);
    g.Name = QStringLiteral("Probe");
    g.Kosten = kosten;
    return g;
}

// Days above 12 (a day and a month cannot be swapped unseen), years of another century, times
// after noon and just after midnight (AM/PM), amounts with cents and thousands.
std::vector<TGast> probes()
{
    return {TGast(), probe(QDate(2026, 12, 24), QDate(2027, 1, 3), QTime(13, 45, 56), QTime(0, 5, 9), 1234.56),
            probe(QDate(2024, 2, 29), QDate(1999, 12, 31), QTime(12, 0, 0), QTime(23, 59, 59), 99999999.99),
            probe(QDate(2001, 10, 11), QDate(2001, 11, 30), QTime(0, 0, 0), QTime(9, 30, 1), -45.1)};
}

} // namespace

bool FileFormatsReadBack()
{
    const std::vector<TGast> records = probes();
    try {
        // The quick way of the whole file and the general way of a line, as both read files.
        if (DecodeGuestFile(GuestFileBytes(records), QString()) != records)
            return false;
        for (const TGast &g : records) {
            TGast back;
            DecodeSatz(back, EncodeSatz(g));
            if (!(back == g))
                return false;
        }
    } catch (const platform::EConvertError &) {
        return false;
    }
    return true;
}

QString UseReadableFileFormats(const QString &localeName)
{
    using platform::RegionalSettings;
    const RegionalSettings regional = platform::Regional();
    const RegionalSettings german = platform::GermanSettings();
    // Each format on its own beside the German others, so that one that fails does not hide
    // another that works.
    const auto readsBack = [](const RegionalSettings &settings) {
        platform::SetRegional(settings);
        return FileFormatsReadBack();
    };
    // Each part (date, time, amount) is tried alone within the German formats, so a failure is
    // laid at the right part and only that part becomes German.
    struct Part
    {
        void (*take)(RegionalSettings &to, const RegionalSettings &from);
        const char *name;
        const char *format;
    };
    static const Part kParts[] = {
        {[](RegionalSettings &to, const RegionalSettings &from) {
             to.shortDateFormat = from.shortDateFormat;
             to.dateSeparator = from.dateSeparator;
         },
         "Datum", "TT.MM.JJJJ"},
        {[](RegionalSettings &to, const RegionalSettings &from) {
             to.longTimeFormat = from.longTimeFormat;
             to.timeSeparator = from.timeSeparator;
         },
         "Uhrzeit", "HH:MM:SS"},
        {[](RegionalSettings &to, const RegionalSettings &from) { to.decimalSeparator = from.decimalSeparator; },
         "Beträge", "Dezimalkomma"},
    };
    RegionalSettings chosen = regional;
    QStringList replaced;
    QStringList formats;
    for (const Part &part : kParts) {
        RegionalSettings test = german;
        part.take(test, regional);
        if (!readsBack(test)) {
            part.take(chosen, german);
            replaced << QString::fromUtf8(part.name);
            formats << QString::fromUtf8(part.format);
        }
    }
    // Formats that read back each on its own may still clash together (the same separator for
    // the date and the amount): then all of them German.
    if (!readsBack(chosen)) {
        chosen = german;
        replaced.clear();
        formats.clear();
        for (const Part &part : kParts) {
            replaced << QString::fromUtf8(part.name);
            formats << QString::fromUtf8(part.format);
        }
    }
    platform::SetRegional(chosen);
    if (replaced.isEmpty())
        return {};
    const QString what = replaced.size() == 1 ? replaced.first()
                                              : replaced.mid(0, replaced.size() - 1).join(QStringLiteral(", ")) +
                                                    QStringLiteral(" und ") + replaced.last();
    return QStringLiteral("Ländereinstellung %1: Gaeste.csv verwendet für %2 das deutsche Format (%3), da sich das "
                          "eigene nicht zurücklesen lässt")
        .arg(localeName, what, formats.join(QStringLiteral(", ")));
}

} // namespace guestfile
