#include "app/InputValidators.h"

#include "register/Rooms.h"

namespace app {

using guests::IsRoomDigit;

QString FilterText(const QString &input, int &pos, bool (*keep)(QChar c, const QString &keptSoFar))
{
    QString kept;
    kept.reserve(input.size());
    int newPos = pos;
    for (qsizetype i = 0; i < input.size(); ++i) {
        if (keep(input.at(i), kept))
            kept += input.at(i);
        else if (i < pos)
            --newPos;
    }
    pos = newPos;
    return kept;
}

QValidator::State NoSemicolonValidator::validate(QString &input, int &pos) const
{
    input = FilterText(input, pos, [](QChar c, const QString &) { return c != u';'; });
    return Acceptable;
}

QValidator::State RoomDigitsValidator::validate(QString &input, int &pos) const
{
    input = FilterText(input, pos, [](QChar c, const QString &kept) { return IsRoomDigit(c) && !kept.contains(c); });
    return Acceptable;
}

} // namespace app
