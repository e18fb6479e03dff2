#pragma once
// Date and time fields that take what a host types as a whole: "15.3.27" is 15 March 2027 and
// "1530" is half past three. Qt's own fields edit section by section, so typing a whole date over
// a selected one scrambles it. An impossible entry is refused with the German message and the
// field keeps its old value; the arrows and the drop-down calendar work as before.

#include <QDateEdit>
#include <QTimeEdit>

class DateField : public QDateEdit
{
    Q_OBJECT

public:
    explicit DateField(QWidget *parent = nullptr);

Q_SIGNALS:
    // The typed text is no date; the field has kept its old date.
    void refused(const QString &message);

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
    QDateTime dateTimeFromText(const QString &text) const override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};

class TimeField : public QTimeEdit
{
    Q_OBJECT

public:
    explicit TimeField(QWidget *parent = nullptr);

Q_SIGNALS:
    void refused(const QString &message);

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
    QDateTime dateTimeFromText(const QString &text) const override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};
