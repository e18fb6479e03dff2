#pragma once
// The cost field: an amount is taken as the host means it ("85.50" is 85,50, not 8.550,00) and
// only as a whole, when the field is left or Enter is pressed. A text that is no amount ("1O0,00")
// is refused with the German message, and the field keeps the amount it had before typing.

#include <QDoubleSpinBox>

namespace app {

class AmountBox : public QDoubleSpinBox
{
    Q_OBJECT

public:
    explicit AmountBox(QWidget *parent = nullptr);

    // Takes the text typed so far as the value, or puts the old value back and says why; for
    // whoever reads the field before it is left (its own focus-out comes after the window's).
    void commitText();
    // What the field would take if it were left now; changes nothing.
    double typedValue() const;

Q_SIGNALS:
    // The typed text is no amount; the field has kept its old amount.
    void refused(const QString &message);

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    double valueFromText(const QString &text) const override;
    void fixup(QString &input) const override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // The message for the text typed so far when it is no amount the field may hold; empty when it is.
    QString refusal() const;
};

} // namespace app
