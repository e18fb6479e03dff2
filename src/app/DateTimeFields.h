#pragma once
// Date and time fields that take what a host types as a whole: "15.3.27" is 15 March 2027 and
// "1530" is half past three. Qt's own fields edit section by section, so typing a whole date over
// a selected one scrambles it. The typed text becomes the value when the field is left or Enter is
// pressed; an impossible entry is refused with the German message and the field keeps the value it
// had before typing. Tab leaves the field. The arrows and the drop-down calendar work as before.

#include <QDateEdit>
#include <QTimeEdit>

class DateField : public QDateEdit
{
    Q_OBJECT

public:
    explicit DateField(QWidget *parent = nullptr);

    // Takes the text typed so far as the value, or puts the old value back and says why; for
    // whoever reads the field before it is left (its own focus-out comes after the window's).
    void commitText();

Q_SIGNALS:
    // The typed text is no date; the field has kept its old date.
    void refused(const QString &message);

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
    QDateTime dateTimeFromText(const QString &text) const override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // The message for the text typed so far when it is no value; empty when it is one.
    QString refusal() const;
};

class TimeField : public QTimeEdit
{
    Q_OBJECT

public:
    explicit TimeField(QWidget *parent = nullptr);

    // Takes the text typed so far as the value, or puts the old value back and says why; for
    // whoever reads the field before it is left (its own focus-out comes after the window's).
    void commitText();

Q_SIGNALS:
    void refused(const QString &message);

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
    QDateTime dateTimeFromText(const QString &text) const override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // The message for the text typed so far when it is no value; empty when it is one.
    QString refusal() const;
};
