#pragma once
// The guest list with its placeholder record 0, the current index and the data-changed flag.
// The list is never empty and the current index always lies inside it.
//
// The list is the one door for changes: records are read through const references and changed
// only through its operations, which set the data-changed flag when a value really differs and
// tell every listener (the form, the guest list window, the occupancy plan) what changed.

#include "register/TGast.h"

#include <QObject>
#include <vector>

namespace guests {

class GuestList : public QObject
{
    Q_OBJECT

public:
    explicit GuestList(QObject *parent = nullptr);

    const std::vector<TGast> &records() const { return records_; }
    int size() const { return static_cast<int>(records_.size()); }
    int lastIndex() const { return size() - 1; }
    // Guests proper, without record 0.
    int guestCount() const { return size() - 1; }

    int currentIndex() const { return current_; }
    const TGast &current() const { return records_[static_cast<std::size_t>(current_)]; }
    const TGast &at(int index) const { return records_.at(static_cast<std::size_t>(index)); }

    // The index of the first record with this guest number, or -1. Files written by older versions
    // may hold a number twice, so a caller that knows the index should use it instead.
    int firstIndexOf(qint32 gastNr) const;

    // The number a new guest gets: one above the highest number in the list, and never below the
    // new record's index, so a list without deletions numbers as it always did.
    qint32 nextGastNr() const;

    // Makes `index` current, clamped into the list; returns the index made current.
    int select(int index);

    // Replaces the record at `index` (record 0 included) with `gast`; returns true, sets the
    // data-changed flag and tells the listeners only when a value differs.
    bool update(int index, const TGast &gast);
    bool updateCurrent(const TGast &gast) { return update(current_, gast); }
    // Changes a copy of the record with `change` and stores it as update() does.
    template <typename Change> bool modify(int index, Change change)
    {
        TGast gast = at(index);
        change(gast);
        return update(index, gast);
    }
    template <typename Change> bool modifyCurrent(Change change) { return modify(current_, change); }

    // Appends a new booking with a new guest number and the defaults of a new booking (one
    // person, arrival and departure today), makes it current and returns its index.
    int appendNew();

    // Removes the current record unless it is record 0 (returns false then). The record that
    // moved into its place, or the new last one, becomes current.
    bool removeCurrent();

    // Replaces the whole list (an empty one becomes a single empty record 0), makes the last
    // record current and clears the data-changed flag: the list is what a file holds.
    void replace(std::vector<TGast> records);

    bool changed() const { return changed_; }
    // After a save: the list is what the file holds.
    void markSaved() { setChanged(false); }
    // A change outside the records that still must be saved (an invoice number taken, say).
    void markChanged() { setChanged(true); }

Q_SIGNALS:
    void recordChanged(int index);
    // Said before the record is there / gone / the list is replaced, while the list still holds
    // what it held: item models must tell their views before the data changes.
    void recordAboutToBeInserted(int index);
    void recordAboutToBeRemoved(int index);
    void aboutToReset();
    void recordInserted(int index);
    void recordRemoved(int index);
    // Everything may differ: the list was replaced.
    void listReset();
    void currentChanged(int index);
    void changedFlagChanged(bool changed);

private:
    void setChanged(bool changed);
    void setCurrent(int index);

    std::vector<TGast> records_;
    int current_ = 0;
    bool changed_ = false;
};

// Whether a record holds a booking that picks must not replace unasked: it names a room or has
// an invoice. A fresh record from "Neuer Gast" holds none.
bool HoldsBooking(const TGast &gast);

} // namespace guests
