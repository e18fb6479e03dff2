#pragma once
// What the fuzz targets share: fixed regional settings and clock, so that one input always
// behaves the same, and a loud stop when an invariant breaks, which libFuzzer and the replay
// runner both report with the input that caused it.

#include "guestfile/GuestRecord.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/Regional.h"
#include "register/TGast.h"
#include "support/GastText.h"

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

enum class Region { German, Us };

inline void UseRegion(Region region)
{
    // The settings are derived anew only when the region changes, not for every input.
    static const QLocale german(QLocale::German, QLocale::Germany);
    static const QLocale us(QLocale::English, QLocale::UnitedStates);
    static Region current = Region::Us;
    static bool set = false;
    if (set && current == region)
        return;
    platform::SetRegional(region == Region::German ? german : us);
    current = region;
    set = true;
}

// Two-digit years are read relative to today, so today is fixed.
inline void FixClock()
{
    static const bool fixed = [] {
        platform::Clock::fix(QDateTime(QDate(2025, 2, 20), QTime(10, 0)));
        return true;
    }();
    (void)fixed;
}

[[noreturn]] inline void Broken(const char *invariant, const QString &detail, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n  %s\n", file, line, invariant,
                 detail.toUtf8().toHex(' ').left(2000).constData());
    std::fprintf(stderr, "  as text: %s\n", detail.left(600).toUtf8().constData());
    std::abort();
}

#define FUZZ_CHECK(condition, detail)                                                                                  \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            ::fuzz::Broken(#condition, (detail), __FILE__, __LINE__);                                                  \
    } while (false)

inline QByteArray Bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// What saving may change in a record: a line break inside a text becomes a blank (a ';' cannot
// occur in a text that was read from a line), the cost keeps two decimals, and the remark, which
// ends the saved line, loses the blanks and control characters at its end, since reading strips
// them from the end of a line. (It can only have them when the line it came from went on after it.)
inline QString Flattened(QString text)
{
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

inline QString WithoutTrailingControls(QString text)
{
    while (!text.isEmpty() && text.back().unicode() <= 32)
        text.chop(1);
    return text;
}

inline QString CostText(float kosten)
{
    return platform::FormatFixed(kosten, 5, 2);
}

// True when `reread` is what saving `original` and reading it back must give.
inline bool SameAfterSaving(const guests::TGast &original, const guests::TGast &reread)
{
    guests::TGast expected = original;
    for (QString *text : {&expected.Zimmer, &expected.Name, &expected.Strasse, &expected.Ort, &expected.Telefon,
                          &expected.EMail, &expected.Bemerkung})
        *text = Flattened(*text);
    expected.Bemerkung = WithoutTrailingControls(expected.Bemerkung);
    expected.Kosten = reread.Kosten;
    return expected == reread && CostText(original.Kosten) == CostText(reread.Kosten);
}

// Every field as it is held, for the report of a broken invariant.
using ::Describe;

} // namespace fuzz
