#include "billing/BillingFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
namespace billing {

#endif

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString folderOf(const QString &folder)
{
    QString absolute = QDir(folder).absolutePath();
    if (!absolute.endsWith(u'/'))
        absolute += u'/';
    return absolute;
}

// Anything by that name, a link to nowhere included.
bool somethingAt(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QString KeineDateiSondern(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() && !info.exists())
        return QStringLiteral("ein Verweis auf „%1“, das es nicht gibt").arg(native(info.symLinkTarget()));
    if (!info.exists() || info.isFile())
        return {};
    if (info.isDir())
        return QStringLiteral("ein Ordner");
#ifdef Q_OS_UNIX
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) == 0) {
        if (S_ISFIFO(status.st_mode))
            return QStringLiteral("eine benannte Pipe (FIFO)");
        if (S_ISSOCK(status.st_mode))
            return QStringLiteral("ein Socket");
        if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
            return QStringLiteral("ein Gerät");
    }
#endif
    return QStringLiteral("keine gewöhnliche Datei");
}

DateiFund SucheDatei(const QString &name, const QString &dataFolder, const QString &startFolder)
{
    struct Place
    {
        QString folder;
        QString role;
    };
    std::vector<Place> places;
    if (!dataFolder.isEmpty())
        places.push_back({folderOf(dataFolder), QStringLiteral("Datenordner")});
    const QString start = folderOf(startFolder);
    if (places.empty() || places.front().folder != start)
        places.push_back({start, QStringLiteral("Startordner")});

    for (const Place &place : places) {
        const QString path = place.folder + name;
        if (!somethingAt(path))
            continue;
        const QString what = KeineDateiSondern(path);
        if (what.isEmpty())
            return {path, {}, {}};
        return {path,
                QStringLiteral("%1 ist keine Datei, sondern %2.\n%3\nBitte dort die Datei „%4“ hinlegen.")
                    .arg(name, what, native(path), name),
                QStringLiteral("%1 ist %2 (%3)").arg(name, what, native(path))};
    }

    QStringList paths;
    QStringList roles;
    QStringList folders;
    for (const Place &place : places) {
        paths << native(place.folder + name);
        roles << QStringLiteral("im ") + place.role;
        folders << native(place.folder);
    }
    return {places.front().folder + name,
            QStringLiteral("%1 fehlt %2.\nGesucht als:\n%3")
                .arg(name, roles.join(QStringLiteral(" und ")), paths.join(u'\n')),
            QStringLiteral("%1 fehlt (gesucht in %2)").arg(name, folders.join(QStringLiteral(" und ")))};
}

} // namespace billing
