#include "guestfile/Settings.h"

#include "guestfile/SettingsFolder.h"

#include <QFile>

std::unique_ptr<QSettings> OpenSettings()
{
    const QString path = MakeSettingsFolder() + QStringLiteral("Zimbrana.ini");
    // It names the data folder: for the owner only. Made so before the first write, since a
    // settings save keeps the permissions the file has.
    QFile file(path);
    if (!file.exists()) {
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            file.close();
    }
    if (file.exists())
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
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
