// One line of the guest file. A line that reads without error saves to a line that reads back
// to the same record, up to what saving may change (SameAfterSaving); after that one round
// saving and reading change nothing more. A line that cannot
// be read throws EConvertError only and leaves the record it was read into as it was.

#include "FuzzCommon.h"
#include "platform/AnsiText.h"

using guestfile::DecodeSatz;
using guestfile::EncodeSatz;
using guests::TGast;

namespace {

TGast untouched()
{
    TGast g;
    g.GastNr = 4711;
    g.Zimmer = QStringLiteral("9");
    g.Von = 45000;
    g.Name = QStringLiteral("unverändert");
    g.Kosten = 1.5f;
    g.Bezahlt = true;
    return g;
}

TGast reread(const QString &saved)
{
    TGast g = untouched();
    try {
        DecodeSatz(g, saved);
    } catch (const platform::EConvertError &error) {
        fuzz::Broken("a saved line reads back", saved + u'\n' + error.message(), __FILE__, __LINE__);
    }
    return g;
}

void checkLine(const QString &line)
{
    TGast first = untouched();
    try {
        DecodeSatz(first, line);
    } catch (const platform::EConvertError &) {
        FUZZ_CHECK(first == untouched(), fuzz::Describe(first));
        return;
    }

    const QString saved = EncodeSatz(first);
    FUZZ_CHECK(!saved.contains(u'\r') && !saved.contains(u'\n'), saved);
    FUZZ_CHECK(saved.count(u';') == 17, saved);
    // Every character of a read line comes from the code page, so the file holds it as it is.
    FUZZ_CHECK(platform::FromAnsi(platform::ToAnsi(saved)) == saved, saved);

    const TGast second = reread(saved);
    FUZZ_CHECK(fuzz::SameAfterSaving(first, second), fuzz::Describe(first) + u'\n' + fuzz::Describe(second));
    // From here on nothing changes any more.
    const QString savedAgain = EncodeSatz(second);
    const TGast third = reread(savedAgain);
    FUZZ_CHECK(third == second, fuzz::Describe(second) + u'\n' + fuzz::Describe(third));
    FUZZ_CHECK(EncodeSatz(third) == savedAgain, savedAgain);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FixClock();
    const QString line = platform::FromAnsi(fuzz::Bytes(data, size));
    for (const fuzz::Region region : {fuzz::Region::German, fuzz::Region::Us}) {
        fuzz::UseRegion(region);
        checkLine(line);
    }
    return 0;
}
