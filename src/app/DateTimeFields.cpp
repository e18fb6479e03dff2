#include "app/DateTimeFields.h"

#include "platform/Convert.h"
#include "platform/Regional.h"
#include "platform/TypedTime.h"

#include <QKeyEvent>
#include <QLineEdit>

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

// The message for a text the host leaves behind that is no value of the field; empty when it is one.
template <typename Validate> QString refusalOf(const QString &typed, Validate validate, const char *what)
{
    int pos = 0;
    QString probe = typed;
    if (typed.trimmed().isEmpty() || validate(probe, pos) == QValidator::Acceptable)
        return {};
    return QStringLiteral("'%1' %2").arg(typed, QString::fromUtf8(what));
}

// Qt's field jumps between its sections whenever the cursor moves and then re-reads a half-typed
// text, which throws it away; the whole text is read when the field is left instead.
// The value is read only when the field is left (or Enter is pressed): while typing, a text that
// happens to read as a value on its way ("29.02.20" on the way to "29.02.2025") must not become
// the value that a refusal then keeps.
void editAsWholeText(QAbstractSpinBox *field, QLineEdit *edit)
{
    QObject::disconnect(edit, SIGNAL(cursorPositionChanged(int, int)), field, nullptr);
    field->setKeyboardTracking(false);
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

DateField::DateField(QWidget *parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    editAsWholeText(this, lineEdit());
}

QValidator::State DateField::validate(QString &input, int &) const
{
    QDate date;
    const bool readable = readDate(input, date) && date >= minimumDate() && date <= maximumDate();
    return stateOf(input, readable, platform::Regional().dateSeparator);
}

void DateField::fixup(QString &) const
{
    // Nothing is guessed: an impossible date keeps the old one.
}

QDateTime DateField::dateTimeFromText(const QString &text) const
{
    QDate date;
    return readDate(text, date) ? QDateTime(date, QTime(0, 0)) : QDateTime(this->date(), QTime(0, 0));
}

QString DateField::refusal() const
{
    return refusalOf(
        text(), [this](QString &input, int &pos) { return validate(input, pos); }, "ist kein gültiges Datum");
}

void DateField::commitText()
{
    const QString refused = refusal();
    interpretText();
    if (!refused.isEmpty())
        Q_EMIT this->refused(refused);
}

void DateField::keyPressEvent(QKeyEvent *event)
{
    if (typeInto(lineEdit(), event))
        return;
    const QString refused = isEnter(event) ? refusal() : QString();
    QDateEdit::keyPressEvent(event); // Enter reads the text, or puts the old date back
    if (!refused.isEmpty())
        Q_EMIT this->refused(refused);
}

void DateField::focusOutEvent(QFocusEvent *event)
{
    const QString refused = refusal();
    QDateEdit::focusOutEvent(event); // puts the old date back when the text is none
    if (!refused.isEmpty())
        Q_EMIT this->refused(refused);
}

bool DateField::focusNextPrevChild(bool next)
{
    // The date is typed as a whole, so Tab leaves the field instead of walking its parts.
    return QAbstractSpinBox::focusNextPrevChild(next);
}

TimeField::TimeField(QWidget *parent) : QTimeEdit(parent)
{
    editAsWholeText(this, lineEdit());
}

QValidator::State TimeField::validate(QString &input, int &) const
{
    QTime time;
    return stateOf(input, readTime(input, time), platform::Regional().timeSeparator);
}

void TimeField::fixup(QString &) const {}

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

QString TimeField::refusal() const
{
    return refusalOf(
        text(), [this](QString &input, int &pos) { return validate(input, pos); }, "ist keine gültige Uhrzeit");
}

void TimeField::commitText()
{
    const QString refused = refusal();
    interpretText();
    if (!refused.isEmpty())
        Q_EMIT this->refused(refused);
}

void TimeField::keyPressEvent(QKeyEvent *event)
{
    if (typeInto(lineEdit(), event))
        return;
    const QString refused = isEnter(event) ? refusal() : QString();
    QTimeEdit::keyPressEvent(event);
    if (!refused.isEmpty())
        Q_EMIT this->refused(refused);
}

void TimeField::focusOutEvent(QFocusEvent *event)
{
    const QString refused = refusal();
    QTimeEdit::focusOutEvent(event);
    if (!refused.isEmpty())
        Q_EMIT this->refused(refused);
}

bool TimeField::focusNextPrevChild(bool next)
{
    return QAbstractSpinBox::focusNextPrevChild(next);
}
