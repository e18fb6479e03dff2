#include "guestfile/SaveGuard.h"

#include "guestfile/GuestFile.h"

#include <QDir>
#include <QFileInfo>

namespace guestfile {

QString ReplaceUnreadQuestion(const QString &path, int guestsInProgram)
{
    if (!QFileInfo::exists(path))
        return {};
    QString holds;
    try {
        const int guests = static_cast<int>(ReadGuestFile(path).size()) - 1;
        holds = QStringLiteral("Sie enthält %1 Gäste").arg(guests);
    } catch (const std::exception &) {
        holds = QStringLiteral("Sie ist nicht lesbar");
    }
    return QStringLiteral("Die Datei %1 wurde in dieser Sitzung weder gelesen noch geschrieben. %2; im Programm "
                          "sind %3 Gäste.\nSoll sie trotzdem ersetzt werden?")
        .arg(QDir::toNativeSeparators(path), holds)
        .arg(guestsInProgram);
}

} // namespace guestfile
