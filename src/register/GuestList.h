#pragma once
// The guest list with its placeholder record 0, the current index and the data-changed flag.
// The list is never empty and the current index always lies inside it.

#include "register/TGast.h"

#include <vector>

class GuestList
{
public:
    GuestList();

    const std::vector<TGast> &records() const { return records_; }
    int size() const { return static_cast<int>(records_.size()); }
    int lastIndex() const { return size() - 1; }
    // Guests proper, without record 0.
    int guestCount() const { return size() - 1; }

    int currentIndex() const { return current_; }
    TGast &current() { return records_[static_cast<std::size_t>(current_)]; }
    const TGast &current() const { return records_[static_cast<std::size_t>(current_)]; }
    const TGast &at(int index) const { return records_.at(static_cast<std::size_t>(index)); }

    // The index of the first record with this guest number, or -1. Guest numbers are not unique:
    // a deletion lets a later guest get the number of an earlier one.
    int firstIndexOf(qint32 gastNr) const;

    // Makes `index` current, clamped into the list; returns the index made current.
    int select(int index);

    // Appends an all-zero record whose GastNr is its index and makes it current.
    void appendNew();

    // Removes the current record unless it is record 0 (returns false then). The record that
    // moved into its place, or the new last one, becomes current.
    bool removeCurrent();

    // Replaces the whole list (an empty one becomes a single empty record 0) and makes the
    // last record current.
    void replace(std::vector<TGast> records);

    bool changed() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }

private:
    std::vector<TGast> records_;
    int current_ = 0;
    bool changed_ = false;
};
