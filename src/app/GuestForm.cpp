#include "app/GuestForm.h"

#include "ui_TMainForm.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace app {

using guests::TGast;
using platform::DateToDay;
using platform::DayToDate;
using platform::FractionToTime;
using platform::TimeToFraction;

namespace {

template <typename Field> void copyIfEdited(TGast &target, const TGast &form, const TGast &shown, Field TGast::*field)
{
    if (!(form.*field == shown.*field))
        target.*field = form.*field;
}

// A line edit cuts its text to its length limit (32,767 characters by default), and the next edit
// would store the cut text; so the limit grows with the text shown, leaving room to type.
void setWholeText(QLineEdit *edit, const QString &text)
{
    constexpr qsizetype kQtDefaultLimit = 32767;
    edit->setMaxLength(static_cast<int>(std::min<qsizetype>(text.size() + kQtDefaultLimit, INT_MAX)));
    edit->setText(text);
}

} // namespace

void GuestForm::show(const TGast &g)
{
    // In the order the record's fields come, except that the invoice number precedes the cost.
    ui_.NumberBoxGastnr->setValue(g.GastNr);
    setWholeText(ui_.EditZimmer, g.Zimmer);
    ui_.NumberBoxPersonen->setValue(g.Personen);
    ui_.DateEditVon->setDate(DayToDate(g.Von));
    ui_.TimeEditAnreise->setTime(FractionToTime(g.Anreise));
    ui_.DateEditBis->setDate(DayToDate(g.Bis));
    ui_.TimeEditAbreise->setTime(FractionToTime(g.Abreise));
    setWholeText(ui_.EditName, g.Name);
    setWholeText(ui_.EditStrasse, g.Strasse);
    ui_.NumberBoxPLZ->setValue(g.PLZ);
    setWholeText(ui_.EditOrt, g.Ort);
    setWholeText(ui_.EditTelefon, g.Telefon);
    setWholeText(ui_.EditEMail, g.EMail);
    ui_.NumberBoxReNr->setValue(g.ReNr);
    ui_.NumberBoxKosten->setValue(g.Kosten);
    ui_.CheckBoxBez->setChecked(g.Bezahlt);
    ui_.CheckBoxKey->setChecked(g.Schluessel);
    setWholeText(ui_.EditBem, g.Bemerkung);
    shown_ = read();
}

TGast GuestForm::read(bool typed) const
{
    const auto date = [typed](const DateField *field) {
        return typed ? field->typedDateTime().date() : field->date();
    };
    const auto time = [typed](const TimeField *field) {
        return typed ? field->typedDateTime().time() : field->time();
    };
    TGast g;
    g.GastNr = ui_.NumberBoxGastnr->value();
    g.Zimmer = ui_.EditZimmer->text();
    g.Personen = ui_.NumberBoxPersonen->value();
    g.Von = DateToDay(date(ui_.DateEditVon));
    g.Anreise = TimeToFraction(time(ui_.TimeEditAnreise));
    g.Bis = DateToDay(date(ui_.DateEditBis));
    g.Abreise = TimeToFraction(time(ui_.TimeEditAbreise));
    g.Name = ui_.EditName->text();
    g.Strasse = ui_.EditStrasse->text();
    g.PLZ = ui_.NumberBoxPLZ->value();
    g.Ort = ui_.EditOrt->text();
    g.Telefon = ui_.EditTelefon->text();
    g.EMail = ui_.EditEMail->text();
    g.Kosten = typed ? ui_.NumberBoxKosten->typedValue() : ui_.NumberBoxKosten->value();
    g.ReNr = ui_.NumberBoxReNr->value();
    g.Bezahlt = ui_.CheckBoxBez->isChecked();
    g.Schluessel = ui_.CheckBoxKey->isChecked();
    g.Bemerkung = ui_.EditBem->text();
    return g;
}

void GuestForm::applyEdits(TGast &gast, const TGast &form, const TGast &shown)
{
    copyIfEdited(gast, form, shown, &TGast::GastNr);
    copyIfEdited(gast, form, shown, &TGast::Zimmer);
    copyIfEdited(gast, form, shown, &TGast::Personen);
    copyIfEdited(gast, form, shown, &TGast::Von);
    copyIfEdited(gast, form, shown, &TGast::Anreise);
    copyIfEdited(gast, form, shown, &TGast::Bis);
    copyIfEdited(gast, form, shown, &TGast::Abreise);
    copyIfEdited(gast, form, shown, &TGast::Name);
    copyIfEdited(gast, form, shown, &TGast::Strasse);
    copyIfEdited(gast, form, shown, &TGast::PLZ);
    copyIfEdited(gast, form, shown, &TGast::Ort);
    copyIfEdited(gast, form, shown, &TGast::Telefon);
    copyIfEdited(gast, form, shown, &TGast::EMail);
    copyIfEdited(gast, form, shown, &TGast::Kosten);
    copyIfEdited(gast, form, shown, &TGast::ReNr);
    copyIfEdited(gast, form, shown, &TGast::Bezahlt);
    copyIfEdited(gast, form, shown, &TGast::Schluessel);
    copyIfEdited(gast, form, shown, &TGast::Bemerkung);
}

void GuestForm::store(TGast &gast)
{
    // A date, time or amount being typed is read when the field is left, which may come after this.
    ui_.DateEditVon->commitText();
    ui_.TimeEditAnreise->commitText();
    ui_.DateEditBis->commitText();
    ui_.TimeEditAbreise->commitText();
    ui_.NumberBoxKosten->commitText();
    const TGast form = read();
    applyEdits(gast, form, shown_);
    shown_ = form;
}

TGast GuestForm::withEdits(const TGast &gast) const
{
    TGast result = gast;
    applyEdits(result, read(true), shown_);
    return result;
}

} // namespace app
