#pragma once
// Who may read a file or enter a folder, as the tests check it: the owner's, the group's and the
// others' rights (QFileInfo's "user" bits say what the test itself may, which is not the question).

#include <QFileDevice>
#include <QFileInfo>
#include <QString>

namespace permissions {

inline constexpr QFileDevice::Permissions kModeBits =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
    QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther |
    QFileDevice::ExeOther;
inline constexpr QFileDevice::Permissions kOwnerFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
inline constexpr QFileDevice::Permissions kOwnerFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

inline QFileDevice::Permissions modeOf(const QString &path)
{
    return QFileInfo(path).permissions() & kModeBits;
}

} // namespace permissions
