#include "guestfile/Settings.h"

#include "guestfile/SettingsFolder.h"

std::unique_ptr<QSettings> OpenSettings()
{
    return std::make_unique<QSettings>(MakeSettingsFolder() + QStringLiteral("Zimbrana.ini"), QSettings::IniFormat);
}
