#include "app/AmountBox.h"

#include "platform/TypedAmount.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace app {

AmountBox::AmountBox(QWidget *parent) : QDoubleSpinBox(parent)
{
    // Read as a whole when the field is left: on its way to "85.50" the text reads as 85 and 85.5,
    // and a text that ends as no amount must keep the amount from before typing, not one of those.
    setKeyboardTracking(false);
}

QValidator::State AmountBox::validate(QString &input, int &) const
{
    // Anything may be typed; what is no amount is said when the field is left, not swallowed
    // key by key (which turned "1O0,00" into 10,00).
    const std::optional<double> amount = platform::TypedAmount(input);
    return amount && *amount >= minimum() && *amount <= maximum() ? QValidator::Acceptable
                                                                     : QValidator::Intermediate;
}

double AmountBox::valueFromText(const QString &text) const
{
    return platform::TypedAmount(text).value_or(value());
}

void AmountBox::fixup(QString &) const
{
    // Nothing is guessed: an impossible entry keeps the old value.
}

QString AmountBox::refusal() const
{
    const QString typed = text();
    if (typed.trimmed().isEmpty())
        return {};
    const std::optional<double> amount = platform::TypedAmount(typed);
    if (!amount)
        return QStringLiteral("'%1' ist kein gültiger Betrag").arg(typed);
    if (*amount < minimum() || *amount > maximum())
        return QStringLiteral("'%1' ist kein gültiger Betrag: er muss zwischen %2 und %3 liegen")
            .arg(typed, locale().toString(minimum(), 'f', decimals()), locale().toString(maximum(), 'f', decimals()));
    return {};
}

double AmountBox::typedValue() const
{
    return refusal().isEmpty() && !text().trimmed().isEmpty() ? valueFromText(text()) : value();
}

void AmountBox::commitText()
{
    const QString refused = refusal();
    if (refused.isEmpty())
        interpretText();
    else
        setValue(value()); // the old amount back in the text
    if (!refused.isEmpty())
        Q_EMIT this->refused(refused);
}

void AmountBox::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !refusal().isEmpty()) {
        commitText();
        return;
    }
    QDoubleSpinBox::keyPressEvent(event);
}

void AmountBox::focusOutEvent(QFocusEvent *event)
{
    const QString refused = refusal();
    if (!refused.isEmpty())
        setValue(value());
    QDoubleSpinBox::focusOutEvent(event);
    if (!refused.isEmpty())
        Q_EMIT this->refused(refused);
}

} // namespace app
