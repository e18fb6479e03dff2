#pragma once
// The one builder for test records: a stay of guest `nr` in `zimmer` from `von` to `bis` (day
// numbers), with what else a test needs set by name, so a row reads as what it means:
//   fixture::Stay(1, "13", 2, von, bis).name("Bert").kosten(540).reNr(6).bezahlt()

#include "platform/DayNumber.h"
#include "register/PortalBlock.h"
#include "register/TGast.h"

#include <QString>

#include <initializer_list>
#include <vector>

namespace fixture {

class Stay
{
public:
    Stay(qint32 nr, const QString &zimmer, qint32 personen, platform::TDateTime von, platform::TDateTime bis,
         const QString &name = {})
    {
        g_.GastNr = nr;
        g_.Zimmer = zimmer;
        g_.Personen = personen;
        g_.Von = von;
        g_.Bis = bis;
        g_.Name = name;
    }

    Stay &name(const QString &name)
    {
        g_.Name = name;
        return *this;
    }
    Stay &kosten(float kosten)
    {
        g_.Kosten = kosten;
        return *this;
    }
    Stay &reNr(qint32 reNr)
    {
        g_.ReNr = reNr;
        return *this;
    }
    Stay &address(const QString &strasse, qint32 plz, const QString &ort)
    {
        g_.Strasse = strasse;
        g_.PLZ = plz;
        g_.Ort = ort;
        return *this;
    }
    Stay &bezahlt(bool bezahlt = true)
    {
        g_.Bezahlt = bezahlt;
        return *this;
    }

    operator guests::TGast() const { return g_; } // NOLINT: a Stay stands wherever a record does

private:
    guests::TGast g_;
};

// A guest list as the program holds it: record 0, the empty placeholder, first.
inline std::vector<guests::TGast> List(std::initializer_list<guests::TGast> records)
{
    std::vector<guests::TGast> list{guests::TGast{}};
    list.insert(list.end(), records);
    return list;
}

// A room taken on a portal from `from` to the departure day `to`, with a UID of its own.
inline guests::PortalBlock Block(int room, platform::TDateTime from, platform::TDateTime to,
                                 const QString &subscription = QStringLiteral("Portal A"))
{
    return guests::PortalBlock{
        room, from, to, subscription, QStringLiteral("uid-%1-%2").arg(room).arg(from), QStringLiteral("Reserved"), {}};
}

} // namespace fixture
