#pragma once
// The transfer between the guest form's controls and a guest record.
//
// The controls cannot hold every value a record may hold (a cost with three decimals, no persons,
// a time with seconds, a room text a user could not type). So a field the user left as it was
// shown keeps the record's own value; only what was edited is copied back.

#include "register/TGast.h"

namespace Ui {
class TMainForm;
}

namespace app {

class GuestForm
{
public:
    explicit GuestForm(Ui::TMainForm &ui) : ui_(ui) {}

    // RecordToMask: shows the record in the form.
    void show(const guests::TGast &gast);
    // MaskToRecord: copies the form into the record, every field the user changed since show(),
    // and takes those edits as taken over.
    void store(guests::TGast &gast);
    // The record with the form's edits as they stand now, dates and times being typed included.
    // Changes nothing, neither the form nor what counts as edited: the recovery copy looks at the
    // form this way, and leaving the field still takes the edit over afterwards.
    guests::TGast withEdits(const guests::TGast &gast) const;

    // Takes what the controls show now as shown, so that only later edits count (the start values).
    void markShown() { shown_ = read(); }

    // The form's values as a record (rounded and clamped as the controls hold them). `typed`: a
    // date or time being typed counts with the value its text reads as.
    guests::TGast read(bool typed = false) const;

private:
    static void applyEdits(guests::TGast &target, const guests::TGast &form, const guests::TGast &shown);

    Ui::TMainForm &ui_;
    guests::TGast shown_; // what the controls showed, read back from them
};

} // namespace app
