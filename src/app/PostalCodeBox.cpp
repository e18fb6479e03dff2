#include "app/PostalCodeBox.h"

namespace app {

PostalCodeBox::PostalCodeBox(QWidget *parent) : QSpinBox(parent)
{
    setRange(0, 99999);
}

QString PostalCodeBox::textFromValue(int value) const
{
    if (value == 0)
        return QString();
    return QStringLiteral("%1").arg(value, 5, 10, QLatin1Char('0'));
}

int PostalCodeBox::valueFromText(const QString &text) const
{
    return text.trimmed().toInt();
}

QValidator::State PostalCodeBox::validate(QString &input, int &) const
{
    const QString digits = input.trimmed();
    if (digits.isEmpty())
        return QValidator::Acceptable;
    if (digits.size() > 5)
        return QValidator::Invalid;
    for (const QChar c : digits)
        if (!c.isDigit() || c.unicode() > '9')
            return QValidator::Invalid;
    return QValidator::Acceptable;
}

} // namespace app
