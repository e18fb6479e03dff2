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
    // MaskToRecord: copies the form into the record, every field the user changed since show().
    void store(guests::TGast &gast);

    // Takes what the controls show now as shown, so that only later edits count (the start values).
    void markShown() { shown_ = read(); }

    // The form's values as a record (rounded and clamped as the controls hold them).
    guests::TGast read() const;

private:
    Ui::TMainForm &ui_;
    guests::TGast shown_; // what the controls showed, read back from them
};

} // namespace app
