#pragma once
// What the page "Gast" shows and what the host changed there, without the controls themselves.
//
// The window feeds the editor its controls' values as they change (setField) and the text being
// typed into a date, time or amount field before it is taken (setTyped); the editor says what
// the controls must show (showRequested). Taking over (MaskToRecord) copies into the shown record
// only the fields the host changed since they were shown, so values beyond what a control can
// hold (a cost with three decimals, a time with seconds) survive in the fields left alone.
// snapshot() looks at the edits without taking them over: the recovery copy must never make an
// edit count as taken over.

#include "register/GuestList.h"
#include "register/TGast.h"

#include <QObject>
#include <QVariant>
#include <map>
#include <vector>

namespace app {

class BookingEditor : public QObject
{
    Q_OBJECT

public:
    // The record's fields that have a control on the form.
    enum class Field {
        GastNr,
        Zimmer,
        Personen,
        Von,
        Anreise,
        Bis,
        Abreise,
        Name,
        Strasse,
        PLZ,
        Ort,
        Telefon,
        EMail,
        Kosten,
        ReNr,
        Bezahlt,
        Schluessel,
        Bemerkung
    };
    Q_ENUM(Field)

    explicit BookingEditor(guests::GuestList &list, QObject *parent = nullptr);

    // What a control holds now: QDate for the days, QTime for the times, a number, a text or a tick.
    // The room (EditZimmerChange) and the ticks reach the record at once.
    void setField(Field field, const QVariant &value);
    // What a date, time or amount field would take if it were left now (its text being typed).
    void setTyped(Field field, const QVariant &value);
    // Takes what the controls hold now as shown, so only later edits count (the form's start values
    // are suggestions, not values of record 0). Until then nothing reaches the list.
    void markShown();

    // The record the form shows; -1 before the first show and while the list is being replaced.
    int shownIndex() const { return index_; }
    // Whether the form holds edits, typed text included, that the record does not have yet.
    bool hasEdits() const;

    // MaskToRecord: the host's edits into the shown record. Asks the controls first (committing)
    // to take the text being typed, which may refuse it and keep the old value.
    void takeOver();
    // RecordToMask: shows the current record. Edits not yet taken over stay on the form when it is
    // the record shown, and go into their own record first when another one becomes current.
    void show();
    // Makes `index` current (clamped into the list) and shows it; the index made current.
    int showRecord(int index);

    // The list's records with the shown record as the form has it now, text being typed included.
    // Changes nothing: afterwards takeOver() still takes the same edits over.
    std::vector<guests::TGast> snapshot() const;

Q_SIGNALS:
    // The controls are to show `gast`; they report back what they hold through setField.
    void showRequested(const guests::TGast &gast);
    // A record was shown (the spin box and the status line follow).
    void shown(int index);
    // Before taking over: text being typed becomes its field's value now, or is refused.
    void committing();

private:
    void showKeepingEdits();
    void showPlain();
    // Applies the edits of the form (`form` against `shown_`) to `gast`.
    void applyEdits(guests::TGast &gast, const guests::TGast &form) const;
    guests::TGast formWithTyped() const;
    void store(int index, const guests::TGast &gast);

    guests::GuestList &list_;
    int index_ = -1;
    guests::TGast form_;  // what the controls hold
    guests::TGast shown_; // what they held when the record was shown or its edits were taken over
    std::map<Field, QVariant> typed_;
    bool showing_ = false; // the controls are being filled: nothing they report is an edit
    bool storing_ = false; // the editor's own change of the list: the form has it already
};

} // namespace app
