#include "guestfile/SettingsFolder.h"

#include "platform/PrivateFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace guestfile {

namespace {

QString userDataFolder()
{
#ifdef Q_OS_WIN
    // Qt's generic locations on Windows are the local, not the roaming, AppData; the roaming one
    // is what AppDataLocation is built on, below the organisation and application levels.
    QString path = QDir::fromNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    int levels = 0;
    if (!QCoreApplication::organizationName().isEmpty())
        ++levels;
    if (!QCoreApplication::applicationName().isEmpty())
        ++levels;
    for (int i = 0; i < levels; ++i) {
        const qsizetype cut = path.lastIndexOf(u'/');
        if (cut <= 0)
            break;
        path.truncate(cut);
    }
    if (path.isEmpty())
        path = qEnvironmentVariable("APPDATA");
    return path;
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#endif
}

QString programName()
{
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return name.isEmpty() ? QCoreApplication::applicationName() : name;
}

} // namespace

QString MakeSettingsFolder()
{
    const QString folder =
        QDir::fromNativeSeparators(userDataFolder()) + QStringLiteral("/Kestrumbel/") + programName() + u'/';
    // What the host keeps there (the last data folder, the house, the texts of letters) is theirs alone.
    platform::makePrivateFolder(folder);
    return folder;
}

} // namespace guestfile
