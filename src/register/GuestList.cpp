#include "register/GuestList.h"

#include <algorithm>

GuestList::GuestList() : records_(1) {}

int GuestList::firstIndexOf(qint32 gastNr) const
{
    const auto found =
        std::find_if(records_.begin(), records_.end(), [gastNr](const TGast &g) { return g.GastNr == gastNr; });
    return found == records_.end() ? -1 : static_cast<int>(found - records_.begin());
}

int GuestList::select(int index)
{
    current_ = std::clamp(index, 0, lastIndex());
    return current_;
}

void GuestList::appendNew()
{
    TGast gast;
    gast.GastNr = size();
    records_.push_back(gast);
    current_ = lastIndex();
}

bool GuestList::removeCurrent()
{
    if (current_ == 0)
        return false;
    records_.erase(records_.begin() + current_);
    current_ = std::min(current_, lastIndex());
    return true;
}

void GuestList::replace(std::vector<TGast> records)
{
    records_ = std::move(records);
    if (records_.empty())
        records_.emplace_back();
    current_ = lastIndex();
}
