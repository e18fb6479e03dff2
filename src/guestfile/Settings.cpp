#include "guestfile/Settings.h"

#include "guestfile/SettingsFolder.h"

std::unique_ptr<QSettings> OpenSettings()
{
    return std::make_unique<QSettings>(MakeSettingsFolder() + QStringLiteral("Zimbrana.ini"), QSettings::IniFormat);
}

namespace {
const QString kDataFolderKey = QStringLiteral("Daten/Ordner");
}

QString RememberedDataFolder()
{
    return OpenSettings()->value(kDataFolderKey).toString();
}

void RememberDataFolder(const QString &folder)
{
    OpenSettings()->setValue(kDataFolderKey, folder);
}
