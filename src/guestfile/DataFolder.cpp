#include "guestfile/DataFolder.h"

#include <QDir>
#include <algorithm>

namespace guestfile {

void DataFolder::chooseFromFile(const QString &chosenFileName)
{
    const QString name = QDir::fromNativeSeparators(chosenFileName);
    qsizetype cut = name.lastIndexOf(u'/');
#ifdef Q_OS_WIN
    // "C:name" lies in the current folder of drive C.
    cut = std::max(cut, name.lastIndexOf(u':'));
#endif
    folder_ = name.first(cut + 1);
    chosen_ = true;
}

void DataFolder::chooseFolder(const QString &folder)
{
    folder_ = QDir::fromNativeSeparators(folder);
    if (!folder_.isEmpty() && !folder_.endsWith(u'/'))
        folder_ += u'/';
    chosen_ = true;
}

} // namespace guestfile
