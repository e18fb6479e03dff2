#include "app/DateTimeFields.h"

#include "platform/Convert.h"
#include "platform/Regional.h"
#include "platform/TypedTime.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace app {

namespace {

// Puts a typed character into the text as a line edit would; false for keys that are no text.
bool typeInto(QLineEdit *edit, const QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint() || (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)))
        return false;
    edit->insert(text);
    return true;
}

bool isEnter(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// Digits and the separators a date or time may be typed with; anything else cannot become one.
QValidator::State stateOf(const QString &input, bool readable, QChar separator)
{
    for (const QChar c : input)
        if (!c.isDigit() && c != separator && c != u' ')
            return QValidator::Invalid;
    return readable ? QValidator::Acceptable : QValidator::Intermediate;
}

bool readDate(const QString &text, QDate &date)
{
    platform::TDateTime day = 0;
    if (!platform::TryTypedDate(text, day))
        return false;
    date = platform::DayToDate(day);
    return date.isValid();
}

bool readTime(const QString &text, QTime &time)
{
    platform::TDateTime fraction = 0;
    if (!platform::TryTypedTime(text, fraction))
        return false;
    time = platform::FractionToTime(fraction);
    return time.isValid();
}

} // namespace

template <typename Edit> TypedField<Edit>::TypedField(QWidget *parent) : Edit(parent)
{
    // Qt's field jumps between its sections whenever the cursor moves and then re-reads a
    // half-typed text, which throws it away; the whole text is read when the field is left instead.
    QObject::disconnect(this->lineEdit(), &QLineEdit::cursorPositionChanged, this, nullptr);
    // The value is read only when the field is left (or Enter is pressed): while typing, a text
    // that happens to read as a value on its way ("29.02.20" on the way to "29.02.2025") must not
    // become the value that a refusal then keeps.
    this->setKeyboardTracking(false);
}

template <typename Edit> QValidator::State TypedField<Edit>::validate(QString &input, int &) const
{
    return stateOf(input, readable(input), separator());
}

template <typename Edit> void TypedField<Edit>::fixup(QString &) const
{
    // Nothing is guessed: an impossible entry keeps the old value.
}

template <typename Edit> QString TypedField<Edit>::refusal() const
{
    const QString typed = this->text();
    int pos = 0;
    QString probe = typed;
    if (typed.trimmed().isEmpty() || validate(probe, pos) == QValidator::Acceptable)
        return {};
    return QStringLiteral("'%1' %2").arg(typed, noValueText());
}

template <typename Edit> void TypedField<Edit>::commitText()
{
    const QString refused = refusal();
    this->interpretText();
    if (!refused.isEmpty())
        refuse(refused);
}

template <typename Edit> QDateTime TypedField<Edit>::typedDateTime() const
{
    const QString typed = this->text();
    return readable(typed) ? this->dateTimeFromText(typed) : this->dateTime();
}

template <typename Edit> void TypedField<Edit>::focusInEvent(QFocusEvent *event)
{
    Edit::focusInEvent(event);
    // Reached by the keyboard, the whole value is selected, so a whole typed date or time replaces
    // it; Qt's own field would select its first section only.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ||
        event->reason() == Qt::ShortcutFocusReason)
        this->lineEdit()->selectAll();
}

template <typename Edit> void TypedField<Edit>::keyPressEvent(QKeyEvent *event)
{
    if (typeInto(this->lineEdit(), event))
        return;
    const QString refused = isEnter(event) ? refusal() : QString();
    Edit::keyPressEvent(event); // Enter reads the text, or puts the old value back
    if (!refused.isEmpty())
        refuse(refused);
}

template <typename Edit> void TypedField<Edit>::focusOutEvent(QFocusEvent *event)
{
    const QString refused = refusal();
    Edit::focusOutEvent(event); // puts the old value back when the text is none
    if (!refused.isEmpty())
        refuse(refused);
}

template <typename Edit> bool TypedField<Edit>::focusNextPrevChild(bool next)
{
    // The value is typed as a whole, so Tab leaves the field instead of walking its parts.
    return QAbstractSpinBox::focusNextPrevChild(next);
}

template class TypedField<QDateEdit>;
template class TypedField<QTimeEdit>;

DateField::DateField(QWidget *parent) : TypedField<QDateEdit>(parent)
{
    setCalendarPopup(true);
}

bool DateField::readable(const QString &text) const
{
    QDate date;
    return readDate(text, date) && date >= minimumDate() && date <= maximumDate();
}

QChar DateField::separator() const
{
    return platform::Regional().dateSeparator;
}

QString DateField::noValueText() const
{
    return QStringLiteral("ist kein gültiges Datum");
}

void DateField::refuse(const QString &message)
{
    Q_EMIT refused(message);
}

QDateTime DateField::dateTimeFromText(const QString &text) const
{
    QDate date;
    return readDate(text, date) ? QDateTime(date, QTime(0, 0)) : QDateTime(this->date(), QTime(0, 0));
}

TimeField::TimeField(QWidget *parent) : TypedField<QTimeEdit>(parent) {}

bool TimeField::readable(const QString &text) const
{
    QTime time;
    return readTime(text, time);
}

QChar TimeField::separator() const
{
    return platform::Regional().timeSeparator;
}

QString TimeField::noValueText() const
{
    return QStringLiteral("ist keine gültige Uhrzeit");
}

void TimeField::refuse(const QString &message)
{
    Q_EMIT refused(message);
}

QDateTime TimeField::dateTimeFromText(const QString &text) const
{
    QTime time;
    if (!readTime(text, time))
        time = this->time();
    // A time shown without its seconds keeps them while the minutes are unchanged.
    else if (time.second() == 0 && time.hour() == this->time().hour() && time.minute() == this->time().minute())
        time = this->time();
    return QDateTime(date(), time);
}

} // namespace app
