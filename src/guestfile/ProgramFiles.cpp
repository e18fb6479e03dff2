#include "guestfile/ProgramFiles.h"

#include "platform/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace guestfile {

namespace {

std::filesystem::path fsPath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Whether both exist and are the same file or folder, however they are named.
bool sameEntry(const QString &a, const QString &b)
{
    std::error_code error;
    return std::filesystem::equivalent(fsPath(a), fsPath(b), error) && !error;
}

QString absoluteFolder(const QString &folder)
{
    return QDir::cleanPath(QDir(folder.isEmpty() ? QDir::currentPath() : folder).absolutePath());
}

// Whether the folder `inner` is `outer`: the same entry when both exist, else the same path.
bool sameFolder(const QString &inner, const QString &outer)
{
    if (QFileInfo::exists(inner) && QFileInfo::exists(outer))
        return sameEntry(inner, outer);
    return QDir::cleanPath(inner).compare(QDir::cleanPath(outer), Qt::CaseInsensitive) == 0;
}

// The folders that hold `path`, nearest first, through the links on the way.
QStringList foldersAround(const QString &path)
{
    QStringList folders;
    const QFileInfo info(path);
    QString folder = info.exists() ? QFileInfo(info.canonicalFilePath()).path() : info.absolutePath();
    if (const QString canonical = QFileInfo(folder).canonicalFilePath(); !canonical.isEmpty())
        folder = canonical;
    for (QString f = QDir::cleanPath(folder);; f = QFileInfo(f).path()) {
        folders << f;
        if (QFileInfo(f).path() == f || folders.size() > 256)
            break;
    }
    return folders;
}

bool isProgramFolder(const QString &path)
{
    for (const char *folderName : kProgramFolderNames)
        if (QFileInfo(path).fileName() == QString::fromUtf8(folderName))
            return true;
    return false;
}

} // namespace

QString ProgramFileAt(const QString &target, const QStringList &folders)
{
    if (target.isEmpty())
        return {};
    const QFileInfo info(target);
    const QString name = info.fileName();
    const QString targetFolder = info.absolutePath();
    const bool targetExists = info.exists();
    for (const QString &given : folders) {
        const QString folder = absoluteFolder(given);
        const bool inFolder = sameFolder(targetFolder, folder);
        for (const char *fileName : kProgramFileNames) {
            const QString own = folder + u'/' + QString::fromUtf8(fileName);
            const bool ownExists = QFileInfo::exists(own);
            // The very file, by whatever name; or, where one of them is not there yet, its name.
            if ((targetExists && ownExists && sameEntry(target, own)) ||
                (inFolder && (!targetExists || !ownExists) &&
                 name.compare(QString::fromUtf8(fileName), Qt::CaseInsensitive) == 0))
                return own;
        }
        if (inFolder && name.startsWith(QString::fromUtf8(kProgramFilePrefix), Qt::CaseInsensitive))
            return folder + u'/' + name;
        for (const char *folderName : kProgramFolderNames) {
            const QString own = folder + u'/' + QString::fromUtf8(folderName);
            for (const QString &around : foldersAround(target))
                if (sameFolder(around, own))
                    return own;
            // A link inside it that points elsewhere still lies in it.
            if (sameFolder(targetFolder, own))
                return own;
        }
    }
    return {};
}

QString ProgramFileRefusal(const QString &target, const QString &programFile)
{
    const QString shownTarget = QDir::toNativeSeparators(QFileInfo(target).absoluteFilePath());
    const QString shownOwn = QDir::toNativeSeparators(programFile);
    const QString owner = shownTarget == shownOwn ? QStringLiteral("gehört zum Programm")
                          : isProgramFolder(programFile)
                              ? QStringLiteral("liegt im Ordner %1 des Programms").arg(shownOwn)
                              : QStringLiteral("ist die Datei %1 des Programms").arg(shownOwn);
    return QStringLiteral("„%1“ %2 und wird nicht überschrieben. Bitte einen anderen Namen wählen.")
        .arg(shownTarget, owner);
}

QString ExportFolder(const QString &dataFolder)
{
    const QString data = absoluteFolder(dataFolder);
    const QString folder = data + u'/' + QString::fromUtf8(kExportFolderName);
    if (platform::makePrivateFolder(folder))
        return folder + u'/';
    return data + u'/';
}

QString ExportSuggestion(const QString &dataFolder, const QString &name, const QDate &date, const QString &suffix)
{
    return ExportFolder(dataFolder) + name + u' ' + date.toString(Qt::ISODate) + u'.' + suffix;
}

QString PrintoutFolder(const QString &dataFolder)
{
    const QString data = absoluteFolder(dataFolder);
    const QString folder = data + u'/' + QString::fromUtf8(kPrintoutFolderName);
    if (platform::makePrivateFolder(folder))
        return folder + u'/';
    return data + u'/';
}

QString PrintoutSuggestion(const QString &dataFolder, const QString &name, const QString &when)
{
    return PrintoutFolder(dataFolder) + name + u' ' + when + QStringLiteral(".pdf");
}

} // namespace guestfile
