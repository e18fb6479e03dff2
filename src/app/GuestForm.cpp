#include "app/GuestForm.h"

#include "app/AmountBox.h"
#include "app/AppContext.h"
#include "app/DateTimeFields.h"
#include "app/InputValidators.h"
#include "app/StatusLine.h"
#include "billing/Cancellation.h"
#include "calendar/RoomCalendar.h"
#include "platform/Clock.h"
#include "platform/Regional.h"
#include "register/StayText.h"
#include "ui_TMainForm.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>
#include <climits>

namespace app {

using Field = BookingEditor::Field;
using guests::GuestName;
using guests::StornoFrage;
using guests::TGast;
using platform::DayToDate;
using platform::FractionToTime;

namespace {

const QString kAbreiseVorAnreise = QStringLiteral("Abreise liegt vor Anreise");

// A line edit cuts its text to its length limit (32,767 characters by default), and the next edit
// would store the cut text; so the limit grows with the text shown, leaving room to type.
void setWholeText(QLineEdit *edit, const QString &text)
{
    constexpr qsizetype kQtDefaultLimit = 32767;
    edit->setMaxLength(static_cast<int>(std::min<qsizetype>(text.size() + kQtDefaultLimit, INT_MAX)));
    edit->setText(text);
}

// Only a focus the host gives runs an enter handler: Qt also hands the focus back when a page or
// the window becomes active again, and that must not change a booking.
bool GivenByHost(const QEvent *event)
{
    switch (static_cast<const QFocusEvent *>(event)->reason()) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason: return true;
    default: return false;
    }
}

} // namespace

GuestForm::GuestForm(Ui::TMainForm &ui, QWidget *window, AppContext &context, BookingEditor &editor, StatusLine &status)
    : ui_(ui), window_(window), context_(context), editor_(editor), status_(status)
{
    // The form starts with today's dates and 12:00, as a new booking would.
    const QString dateFormat = platform::Regional().shortDateFormat;
    for (QDateEdit *field : {ui_.DateEditVon, ui_.DateEditBis}) {
        field->setDisplayFormat(dateFormat);
        field->setMinimumDate(QDate(100, 1, 1));
        field->setDate(platform::Clock::now().date());
    }
    ui_.TimeEditAnreise->setTime(QTime(12, 0));
    ui_.TimeEditAbreise->setTime(QTime(12, 0));
    connectFields();
    // These are suggestions, not values of record 0: only what the host edits reaches it.
    reportAll();
    editor_.markShown();

    connect(&editor_, &BookingEditor::showRequested, this, &GuestForm::showGast);
    connect(&editor_, &BookingEditor::committing, this, [this] {
        ui_.DateEditVon->commitText();
        ui_.TimeEditAnreise->commitText();
        ui_.DateEditBis->commitText();
        ui_.TimeEditAbreise->commitText();
        ui_.NumberBoxKosten->commitText();
    });
    connect(&editor_, &BookingEditor::shown, this, [this] { checkStay(); });

    guests::GuestList &list = context_.guestList();
    connect(&list, &guests::GuestList::recordChanged, this, [this, &list](int index) {
        if (index == list.currentIndex())
            sayDoubleBooking();
    });
    connect(&list, &guests::GuestList::currentChanged, this, [this] { followCurrent(); });
    connect(&list, &guests::GuestList::listReset, this, [this] { followCurrent(); });
}

void GuestForm::followCurrent()
{
    rememberStay();
    // The spin box may go up by one record at a time; make room for the shown index first.
    const int index = context_.guests().currentIndex();
    const QSignalBlocker block(ui_.SpinBox1);
    ui_.SpinBox1->setMaximum(std::max(ui_.SpinBox1->maximum(), index + 1));
    ui_.SpinBox1->setValue(index);
}

void GuestForm::ShowRecord(int index)
{
    editor_.showRecord(index);
    followCurrent();
}

void GuestForm::connectFields()
{
    Ui::TMainForm &ui = ui_;
    BookingEditor *editor = &editor_;
    const auto feed = [editor](Field field) {
        return [editor, field](const auto &value) { editor->setField(field, QVariant::fromValue(value)); };
    };
    connect(ui.NumberBoxGastnr, &QSpinBox::valueChanged, this, feed(Field::GastNr));
    connect(ui.EditZimmer, &QLineEdit::textChanged, this, feed(Field::Zimmer));
    connect(ui.NumberBoxPersonen, &QSpinBox::valueChanged, this, feed(Field::Personen));
    connect(ui.DateEditVon, &QDateEdit::dateChanged, this, feed(Field::Von));
    connect(ui.TimeEditAnreise, &QTimeEdit::timeChanged, this, feed(Field::Anreise));
    connect(ui.DateEditBis, &QDateEdit::dateChanged, this, feed(Field::Bis));
    connect(ui.TimeEditAbreise, &QTimeEdit::timeChanged, this, feed(Field::Abreise));
    connect(ui.EditName, &QLineEdit::textChanged, this, feed(Field::Name));
    connect(ui.EditStrasse, &QLineEdit::textChanged, this, feed(Field::Strasse));
    connect(ui.NumberBoxPLZ, &QSpinBox::valueChanged, this, feed(Field::PLZ));
    connect(ui.EditOrt, &QLineEdit::textChanged, this, feed(Field::Ort));
    connect(ui.EditTelefon, &QLineEdit::textChanged, this, feed(Field::Telefon));
    connect(ui.EditEMail, &QLineEdit::textChanged, this, feed(Field::EMail));
    connect(ui.NumberBoxKosten, &QDoubleSpinBox::valueChanged, this, feed(Field::Kosten));
    connect(ui.NumberBoxReNr, &QSpinBox::valueChanged, this, feed(Field::ReNr));
    connect(ui.CheckBoxBez, &QCheckBox::toggled, this, feed(Field::Bezahlt));
    connect(ui.CheckBoxKey, &QCheckBox::toggled, this, feed(Field::Schluessel));
    connect(ui.EditBem, &QLineEdit::textChanged, this, feed(Field::Bemerkung));

    // The text being typed into a date, time or amount is no value until the field is left; the
    // editor hears what it would be, for the recovery copy.
    const auto typedInto = [this, editor](QAbstractSpinBox *box, Field field, auto typedValue) {
        if (auto *edit = box->findChild<QLineEdit *>())
            connect(edit, &QLineEdit::textChanged, this,
                    [editor, field, typedValue] { editor->setTyped(field, typedValue()); });
    };
    typedInto(ui.DateEditVon, Field::Von, [&ui] { return ui.DateEditVon->typedDateTime().date(); });
    typedInto(ui.DateEditBis, Field::Bis, [&ui] { return ui.DateEditBis->typedDateTime().date(); });
    typedInto(ui.TimeEditAnreise, Field::Anreise, [&ui] { return ui.TimeEditAnreise->typedDateTime().time(); });
    typedInto(ui.TimeEditAbreise, Field::Abreise, [&ui] { return ui.TimeEditAbreise->typedDateTime().time(); });
    typedInto(ui.NumberBoxKosten, Field::Kosten, [&ui] { return ui.NumberBoxKosten->typedValue(); });

    // Every field copies the form into the current record when it loses the focus (the Exit
    // handlers: EditNameExit and the others).
    for (QWidget *field : {static_cast<QWidget *>(ui.NumberBoxGastnr), static_cast<QWidget *>(ui.EditZimmer),
                           static_cast<QWidget *>(ui.EditName), static_cast<QWidget *>(ui.NumberBoxPersonen),
                           static_cast<QWidget *>(ui.EditStrasse), static_cast<QWidget *>(ui.NumberBoxPLZ),
                           static_cast<QWidget *>(ui.EditOrt), static_cast<QWidget *>(ui.DateEditVon),
                           static_cast<QWidget *>(ui.TimeEditAnreise), static_cast<QWidget *>(ui.DateEditBis),
                           static_cast<QWidget *>(ui.TimeEditAbreise), static_cast<QWidget *>(ui.EditTelefon),
                           static_cast<QWidget *>(ui.EditEMail), static_cast<QWidget *>(ui.EditBem),
                           static_cast<QWidget *>(ui.NumberBoxReNr), static_cast<QWidget *>(ui.NumberBoxKosten)})
        field->installEventFilter(this);

    for (QLineEdit *edit : {ui.EditName, ui.EditStrasse, ui.EditOrt, ui.EditTelefon, ui.EditEMail, ui.EditBem})
        edit->setValidator(new NoSemicolonValidator(edit));
    ui.EditZimmer->setValidator(new RoomDigitsValidator(ui.EditZimmer));

    for (QDateEdit *field : {ui.DateEditVon, ui.DateEditBis})
        connect(field, &QDateEdit::dateChanged, this, [this] { checkStay(); });
    // A typed date or time that is none: said once the focus has settled, not in the middle of its move.
    const auto refused = [this](const QString &message) {
        QMetaObject::invokeMethod(
            this, [this, message] { context_.dialogs().showError(window_, message); }, Qt::QueuedConnection);
    };
    for (DateField *field : {ui.DateEditVon, ui.DateEditBis})
        connect(field, &DateField::refused, this, refused);
    for (TimeField *field : {ui.TimeEditAnreise, ui.TimeEditAbreise})
        connect(field, &TimeField::refused, this, refused);
    connect(ui.NumberBoxKosten, &AmountBox::refused, this, refused);
}

bool GuestForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress)
        Q_EMIT typing(); // typing not yet left in the field counts for the recovery copy too
    if (event->type() == QEvent::FocusOut) {
        editor_.takeOver();
    } else if (event->type() == QEvent::FocusIn && GivenByHost(event)) {
        if (watched == ui_.DateEditVon)
            Q_EMIT arrivalEntered();
        else if (watched == ui_.NumberBoxKosten)
            Q_EMIT costEntered();
    }
    return QObject::eventFilter(watched, event);
}

void GuestForm::showGast(const TGast &g)
{
    // RecordToMask, in the order the record's fields come, except that the invoice number precedes the cost.
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
    reportAll();
}

void GuestForm::reportAll()
{
    // Rounded and clamped as the controls hold them.
    editor_.setField(Field::GastNr, ui_.NumberBoxGastnr->value());
    editor_.setField(Field::Zimmer, ui_.EditZimmer->text());
    editor_.setField(Field::Personen, ui_.NumberBoxPersonen->value());
    editor_.setField(Field::Von, ui_.DateEditVon->date());
    editor_.setField(Field::Anreise, ui_.TimeEditAnreise->time());
    editor_.setField(Field::Bis, ui_.DateEditBis->date());
    editor_.setField(Field::Abreise, ui_.TimeEditAbreise->time());
    editor_.setField(Field::Name, ui_.EditName->text());
    editor_.setField(Field::Strasse, ui_.EditStrasse->text());
    editor_.setField(Field::PLZ, ui_.NumberBoxPLZ->value());
    editor_.setField(Field::Ort, ui_.EditOrt->text());
    editor_.setField(Field::Telefon, ui_.EditTelefon->text());
    editor_.setField(Field::EMail, ui_.EditEMail->text());
    editor_.setField(Field::Kosten, ui_.NumberBoxKosten->value());
    editor_.setField(Field::ReNr, ui_.NumberBoxReNr->value());
    editor_.setField(Field::Bezahlt, ui_.CheckBoxBez->isChecked());
    editor_.setField(Field::Schluessel, ui_.CheckBoxKey->isChecked());
    editor_.setField(Field::Bemerkung, ui_.EditBem->text());
}

void GuestForm::ButtonNeuerGastClick()
{
    editor_.takeOver();
    context_.guestList().appendNew();
}

void GuestForm::ButtonStornierenClick()
{
    DelGast();
}

void GuestForm::DelGast()
{
    editor_.takeOver();
    guests::GuestList &list = context_.guestList();
    if (list.currentIndex() == 0) {
        status_.say(QStringLiteral("Kein Gast gewählt"));
        return;
    }
    const TGast gast = list.current();
    // An issued invoice is never deleted with its booking: it is cancelled first.
    if (const QString refusal = billing::deleteRefusal(gast); !refusal.isEmpty()) {
        enum class Answer { Stornieren, Abbrechen };
        if (context_.dialogs().choose(window_, refusal,
                                      {{Answer::Stornieren, QStringLiteral("Rechnung stornieren…")},
                                       {Answer::Abbrechen, QStringLiteral("Abbrechen")}},
                                      Answer::Abbrechen, Answer::Abbrechen) == Answer::Stornieren)
            Q_EMIT cancelInvoiceWanted();
        else
            status_.say(QStringLiteral("Nicht storniert: %1 hat Rechnung %2").arg(GuestName(gast)).arg(gast.ReNr));
        return;
    }
    if (!context_.dialogs().confirm(window_, StornoFrage(gast)))
        return;
    list.removeCurrent();
    status_.say(GuestName(gast) + QStringLiteral(" storniert"));
    Q_EMIT guestRemoved();
}

void GuestForm::SpinBox1Change(int value)
{
    const int index = editor_.showRecord(value);
    rememberStay();
    const QSignalBlocker block(ui_.SpinBox1);
    ui_.SpinBox1->setMaximum(index + 1);
}

void GuestForm::checkStay()
{
    // Said while the form shows such a stay, and taken back once it is mended.
    const bool reversed = ui_.DateEditBis->date() < ui_.DateEditVon->date();
    if (reversed)
        status_.say(kAbreiseVorAnreise);
    else if (status_.text() == kAbreiseVorAnreise)
        status_.say(QString());
}

void GuestForm::sayDoubleBooking()
{
    // Said when the host changes the rooms or days of the shown booking, not when it is only shown.
    const guests::GuestList &list = context_.guests();
    const TGast &gast = list.current();
    const bool sameStay = stayShown_.index == list.currentIndex() && stayShown_.Zimmer == gast.Zimmer &&
                          stayShown_.Von == gast.Von && stayShown_.Bis == gast.Bis;
    rememberStay();
    if (sameStay)
        return;
    const QString text = calendar::DoppelbelegungText({list.records(), context_.portalBlocks()}, list.currentIndex());
    if (!text.isEmpty())
        status_.say(text);
}

void GuestForm::rememberStay()
{
    const guests::GuestList &list = context_.guests();
    const TGast &gast = list.current();
    stayShown_ = {list.currentIndex(), gast.Zimmer, gast.Von, gast.Bis};
}

} // namespace app
