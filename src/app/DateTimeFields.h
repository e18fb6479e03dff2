#pragma once
// Date and time fields that take what a host types as a whole: "15.3.27" is 15 March 2027 and
// "1530" is half past three. Qt's own fields edit section by section, so typing a whole date over
// a selected one scrambles it. The typed text becomes the value when the field is left or Enter is
// pressed; an impossible entry is refused with the German message and the field keeps the value it
// had before typing. Tab leaves the field. The arrows and the drop-down calendar work as before.

#include <QDateEdit>
#include <QTimeEdit>

namespace app {

// What the date field and the time field share; `Edit` is QDateEdit or QTimeEdit, so the fields
// stay the date and time edits Qt knows.
template <typename Edit> class TypedField : public Edit
{
public:
    // Takes the text typed so far as the value, or puts the old value back and says why; for
    // whoever reads the field before it is left (its own focus-out comes after the window's).
    void commitText();
    // What the field would take if it were left now: the typed text's value, or the value it
    // holds when the text is none. Changes nothing, so a look at the form leaves the typing be.
    QDateTime typedDateTime() const;

protected:
    explicit TypedField(QWidget *parent);

    // Whether a text reads as a value this field may take.
    virtual bool readable(const QString &text) const = 0;
    // The separator a value may be typed with ('.' in "15.3.27", ':' in "15:30").
    virtual QChar separator() const = 0;
    // What a text that is no value is said to be: "ist kein gültiges Datum".
    virtual QString noValueText() const = 0;
    // Tells the window that a typed text was refused.
    virtual void refuse(const QString &message) = 0;

    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // The message for the text typed so far when it is no value; empty when it is one.
    QString refusal() const;
};

extern template class TypedField<QDateEdit>;
extern template class TypedField<QTimeEdit>;

class DateField : public TypedField<QDateEdit>
{
    Q_OBJECT

public:
    explicit DateField(QWidget *parent = nullptr);

Q_SIGNALS:
    // The typed text is no date; the field has kept its old date.
    void refused(const QString &message);

protected:
    bool readable(const QString &text) const override;
    QChar separator() const override;
    QString noValueText() const override;
    void refuse(const QString &message) override;
    QDateTime dateTimeFromText(const QString &text) const override;
};

class TimeField : public TypedField<QTimeEdit>
{
    Q_OBJECT

public:
    explicit TimeField(QWidget *parent = nullptr);

Q_SIGNALS:
    // The typed text is no time; the field has kept its old time.
    void refused(const QString &message);

protected:
    bool readable(const QString &text) const override;
    QChar separator() const override;
    QString noValueText() const override;
    void refuse(const QString &message) override;
    QDateTime dateTimeFromText(const QString &text) const override;
};

} // namespace app
