#include "app/BookingEditor.h"

#include "platform/DayNumber.h"

#include <QDate>
#include <QTime>
#include <array>
#include <type_traits>

namespace app {

using guests::GuestList;
using guests::TGast;
using Field = BookingEditor::Field;

namespace {

constexpr std::array kFields = {Field::GastNr,  Field::Zimmer,     Field::Personen, Field::Von,     Field::Anreise,
                                Field::Bis,     Field::Abreise,    Field::Name,     Field::Strasse, Field::PLZ,
                                Field::Ort,     Field::Telefon,    Field::EMail,    Field::Kosten,  Field::ReNr,
                                Field::Bezahlt, Field::Schluessel, Field::Bemerkung};

// Calls `visit` with the member of TGast that `field` names.
template <typename Visit> void withMember(Field field, Visit visit)
{
    switch (field) {
    case Field::GastNr: visit(&TGast::GastNr); break;
    case Field::Zimmer: visit(&TGast::Zimmer); break;
    case Field::Personen: visit(&TGast::Personen); break;
    case Field::Von: visit(&TGast::Von); break;
    case Field::Anreise: visit(&TGast::Anreise); break;
    case Field::Bis: visit(&TGast::Bis); break;
    case Field::Abreise: visit(&TGast::Abreise); break;
    case Field::Name: visit(&TGast::Name); break;
    case Field::Strasse: visit(&TGast::Strasse); break;
    case Field::PLZ: visit(&TGast::PLZ); break;
    case Field::Ort: visit(&TGast::Ort); break;
    case Field::Telefon: visit(&TGast::Telefon); break;
    case Field::EMail: visit(&TGast::EMail); break;
    case Field::Kosten: visit(&TGast::Kosten); break;
    case Field::ReNr: visit(&TGast::ReNr); break;
    case Field::Bezahlt: visit(&TGast::Bezahlt); break;
    case Field::Schluessel: visit(&TGast::Schluessel); break;
    case Field::Bemerkung: visit(&TGast::Bemerkung); break;
    }
}

bool sameField(const TGast &a, const TGast &b, Field field)
{
    bool same = false;
    withMember(field, [&](auto member) { same = a.*member == b.*member; });
    return same;
}

void copyField(TGast &target, const TGast &source, Field field)
{
    withMember(field, [&](auto member) { target.*member = source.*member; });
}

// A control's value as the record holds it: days and times as day numbers, the rest as they are.
void assign(TGast &gast, Field field, const QVariant &value)
{
    withMember(field, [&](auto member) {
        using Value = std::remove_cvref_t<decltype(gast.*member)>;
        if constexpr (std::is_same_v<Value, platform::TDateTime>) {
            if (value.metaType() == QMetaType::fromType<QDate>()) {
                gast.*member = platform::DateToDay(value.toDate());
                return;
            }
            if (value.metaType() == QMetaType::fromType<QTime>()) {
                gast.*member = platform::TimeToFraction(value.toTime());
                return;
            }
        }
        gast.*member = value.value<Value>();
    });
}

} // namespace

BookingEditor::BookingEditor(GuestList &list, QObject *parent) : QObject(parent), list_(list)
{
    connect(&list_, &GuestList::recordChanged, this, [this](int index) {
        // Another window, or a handler, changed the shown record: the form shows it as it is now.
        if (index == index_ && !storing_ && !showing_)
            showKeepingEdits();
    });
    connect(&list_, &GuestList::recordAboutToBeRemoved, this, [this](int index) {
        if (index == index_)
            index_ = -1; // its edits go with it
    });
    connect(&list_, &GuestList::recordRemoved, this, [this](int index) {
        if (index_ > index)
            --index_;
    });
    connect(&list_, &GuestList::recordInserted, this, [this](int index) {
        if (index_ >= index)
            ++index_;
    });
    // A list replaced is another list: whoever replaces it took the form's edits over before.
    connect(&list_, &GuestList::aboutToReset, this, [this] { index_ = -1; });
    connect(&list_, &GuestList::currentChanged, this, [this] { show(); });
}

void BookingEditor::setField(Field field, const QVariant &value)
{
    assign(form_, field, value);
    typed_.erase(field);
    if (showing_ || index_ < 0)
        return;
    if (field == Field::Zimmer) {
        // EditZimmerChange: the room text reaches the record at once.
        TGast gast = list_.at(index_);
        gast.Zimmer = form_.Zimmer;
        shown_.Zimmer = form_.Zimmer;
        store(index_, gast);
    } else if (field == Field::Bezahlt || field == Field::Schluessel) {
        // A tick reaches the record at once, and with it the rest of the form.
        takeOver();
    }
}

void BookingEditor::setTyped(Field field, const QVariant &value)
{
    typed_[field] = value;
}

void BookingEditor::markShown()
{
    shown_ = form_;
    typed_.clear();
    index_ = list_.currentIndex();
}

TGast BookingEditor::formWithTyped() const
{
    TGast form = form_;
    for (const auto &[field, value] : typed_)
        assign(form, field, value);
    return form;
}

void BookingEditor::applyEdits(TGast &gast, const TGast &form) const
{
    for (const Field field : kFields)
        if (!sameField(form, shown_, field))
            copyField(gast, form, field);
}

bool BookingEditor::hasEdits() const
{
    return index_ >= 0 && !(formWithTyped() == shown_);
}

void BookingEditor::store(int index, const TGast &gast)
{
    storing_ = true;
    list_.update(index, gast);
    storing_ = false;
}

void BookingEditor::takeOver()
{
    if (showing_ || index_ < 0)
        return;
    // A date, time or amount being typed is read when its field is left, which may come after this.
    Q_EMIT committing();
    if (index_ < 0)
        return;
    TGast gast = list_.at(index_);
    applyEdits(gast, form_);
    shown_ = form_;
    store(index_, gast);
}

void BookingEditor::show()
{
    const int current = list_.currentIndex();
    if (index_ == current) {
        showKeepingEdits();
        return;
    }
    // Another record becomes current: the edits belong to the one shown so far.
    takeOver();
    showPlain();
}

int BookingEditor::showRecord(int index)
{
    const int before = list_.currentIndex();
    const int shown = list_.select(index);
    if (shown == before)
        show(); // the list told nobody: its current record did not change
    return shown;
}

void BookingEditor::showPlain()
{
    index_ = list_.currentIndex();
    typed_.clear();
    showing_ = true;
    Q_EMIT showRequested(list_.current());
    showing_ = false;
    shown_ = form_;
    Q_EMIT shown(index_);
}

void BookingEditor::showKeepingEdits()
{
    std::vector<Field> edited;
    for (const Field field : kFields)
        if (!sameField(form_, shown_, field))
            edited.push_back(field);
    TGast display = list_.at(index_);
    for (const Field field : edited)
        copyField(display, form_, field);
    const TGast before = shown_;
    typed_.clear();
    showing_ = true;
    Q_EMIT showRequested(display);
    showing_ = false;
    // What the host changed stays an edit against what the record held when it was shown.
    shown_ = form_;
    for (const Field field : edited)
        copyField(shown_, before, field);
    Q_EMIT shown(index_);
}

std::vector<TGast> BookingEditor::snapshot() const
{
    std::vector<TGast> records = list_.records();
    if (index_ >= 0 && !showing_)
        applyEdits(records.at(static_cast<std::size_t>(index_)), formWithTyped());
    return records;
}

} // namespace app
