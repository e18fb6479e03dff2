#pragma once
// What a room field names: the guest house has rooms 1 to 3, and a room field ("1", "13", "123")
// names each by its digit. Every other character names no room, and a digit twice is one room.

#include <QString>

namespace guests {

inline constexpr int kRaeume = 3;

inline bool IsRoomDigit(QChar c)
{
    return c >= u'1' && c <= u'3';
}

// Bit k - 1 set for each room k the field names; no allocation, as the calendar asks for every record.
inline unsigned RoomMask(const QString &Zimmer)
{
    unsigned mask = 0;
    for (const QChar c : Zimmer)
        if (IsRoomDigit(c))
            mask |= 1u << (c.unicode() - u'1');
    return mask;
}

} // namespace guests
