// Makes the program's icon files from its drawing resources/Zimbrana.png:
//
//   MakeIcons <drawing.png> <icon.png> <size>          one square PNG for the desktop's icon theme
//   MakeIcons <drawing.png> <icon.ico> <size>...       a Windows icon with all the given sizes

#include "IconFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QTextStream err(stderr);
    if (argc < 4) {
        err << "usage: MakeIcons <drawing.png> <icon.png|icon.ico> <size>...\n";
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString target = QString::fromLocal8Bit(argv[2]);
    const QImage drawing(source);
    if (drawing.isNull()) {
        err << "cannot read " << source << "\n";
        return 1;
    }
    QList<QImage> images;
    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QByteArray(argv[i]).toInt(&ok);
        if (!ok || size < 1 || size > 256) {
            err << "bad size " << argv[i] << "\n";
            return 2;
        }
        images.append(icons::Scaled(drawing, size));
    }

    QDir().mkpath(QFileInfo(target).path());
    if (target.endsWith(QLatin1String(".ico"), Qt::CaseInsensitive)) {
        const QByteArray ico = icons::IcoFile(images);
        QFile file(target);
        if (ico.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(ico) != ico.size()) {
            err << "cannot write " << target << "\n";
            return 1;
        }
        return 0;
    }
    if (images.size() != 1 || !images.constFirst().save(target, "PNG")) {
        err << "cannot write " << target << " (one size per PNG)\n";
        return 1;
    }
    return 0;
}
