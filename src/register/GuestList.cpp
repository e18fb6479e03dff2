#include "register/GuestList.h"

#include "platform/Clock.h"
#include "register/Rooms.h"

#include <algorithm>
#include <limits>

namespace guests {

GuestList::GuestList(QObject *parent) : QObject(parent), records_(1) {}

int GuestList::firstIndexOf(qint32 gastNr) const
{
    const auto found =
        std::find_if(records_.begin(), records_.end(), [gastNr](const TGast &g) { return g.GastNr == gastNr; });
    return found == records_.end() ? -1 : static_cast<int>(found - records_.begin());
}

qint32 GuestList::nextGastNr() const
{
    qint32 highest = 0;
    for (const TGast &g : records_)
        highest = std::max(highest, g.GastNr);
    // A list at the largest number has no next one; the index is still unique among new records.
    const qint32 above = highest < std::numeric_limits<qint32>::max() ? highest + 1 : highest;
    return std::max(above, static_cast<qint32>(size()));
}

int GuestList::select(int index)
{
    setCurrent(std::clamp(index, 0, lastIndex()));
    return current_;
}

bool GuestList::update(int index, const TGast &gast)
{
    TGast &record = records_.at(static_cast<std::size_t>(index));
    if (record == gast)
        return false;
    record = gast;
    setChanged(true);
    Q_EMIT recordChanged(index);
    return true;
}

int GuestList::appendNew()
{
    TGast gast;
    gast.GastNr = nextGastNr();
    gast.Personen = 1; // a booking is for one person at least
    gast.Von = platform::Today();
    gast.Bis = gast.Von;
    const int index = size();
    Q_EMIT recordAboutToBeInserted(index);
    records_.push_back(gast);
    Q_EMIT recordInserted(index);
    setChanged(true);
    setCurrent(index);
    return index;
}

bool GuestList::removeCurrent()
{
    if (current_ == 0)
        return false;
    const int removed = current_;
    Q_EMIT recordAboutToBeRemoved(removed);
    records_.erase(records_.begin() + removed);
    current_ = std::min(removed, lastIndex());
    Q_EMIT recordRemoved(removed);
    setChanged(true);
    Q_EMIT currentChanged(current_);
    return true;
}

void GuestList::replace(std::vector<TGast> records)
{
    Q_EMIT aboutToReset();
    records_ = std::move(records);
    if (records_.empty())
        records_.emplace_back();
    current_ = lastIndex();
    Q_EMIT listReset();
    setChanged(false);
    Q_EMIT currentChanged(current_);
}

void GuestList::setChanged(bool changed)
{
    if (changed_ == changed)
        return;
    changed_ = changed;
    Q_EMIT changedFlagChanged(changed);
}

void GuestList::setCurrent(int index)
{
    if (current_ == index)
        return;
    current_ = index;
    Q_EMIT currentChanged(index);
}

bool HoldsBooking(const TGast &gast)
{
    return RoomMask(gast.Zimmer) != 0 || gast.ReNr != 0;
}

} // namespace guests
