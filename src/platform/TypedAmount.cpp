#include "platform/TypedAmount.h"

#include "platform/Regional.h"

#include <QRegularExpression>
#include <QString>

namespace platform {

std::optional<double> TypedAmount(QStringView typed)
{
    QString text = typed.trimmed().toString();
    if (text.endsWith(u'€'))
        text = text.chopped(1).trimmed();
    const QChar decimal = Regional().decimalSeparator;
    const QChar group = decimal == u',' ? u'.' : u',';
    const QString d = QRegularExpression::escape(QString(decimal));
    const QString g = QRegularExpression::escape(QString(group));
    // Whole digits, grouped by threes or not, then up to two decimals after the decimal mark; or
    // the other mark before one or two last digits, which is no grouping of thousands.
    const QRegularExpression withDecimal(
        QStringLiteral("^(-?)([0-9]+|[0-9]{1,3}(?:%1[0-9]{3})+)?(?:%2([0-9]{0,2}))?$").arg(g, d));
    const QRegularExpression otherMark(QStringLiteral("^(-?)([0-9]+)%1([0-9]{1,2})$").arg(g));
    QRegularExpressionMatch match = otherMark.match(text);
    if (!match.hasMatch()) {
        match = withDecimal.match(text);
        if (!match.hasMatch() || (match.captured(2).isEmpty() && match.captured(3).isEmpty()))
            return std::nullopt;
    }
    const QString whole = match.captured(2).remove(group);
    const QString cents = match.captured(3).leftJustified(2, u'0');
    bool ok = true;
    const double value = (whole.isEmpty() ? 0.0 : whole.toDouble(&ok)) + cents.toInt() / 100.0;
    if (!ok)
        return std::nullopt;
    return match.captured(1).isEmpty() ? value : -value;
}

} // namespace platform
