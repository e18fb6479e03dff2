// The program as the session sees it, for the test of its end: the real window with the shipped
// dialogs on a data folder, with a name typed into the form and left unsaved.
//   closing_child <data folder> <text>   types <text> after the last guest's name, says "changed",
//                                        and runs until it ends

#include "app/TMainForm.h"
#include "app/ZimbranaApplication.h"
#include "guestfile/Settings.h"
#include "platform/Clock.h"
#include "platform/Regional.h"

#include <QLineEdit>
#include <QTest>
#include <cstdio>

using app::TMainForm;
using app::ZimbranaApplication;
using guestfile::RememberDataFolder;

int main(int argc, char **argv)
{
    ZimbranaApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <data folder> <text>\n", argv[0]);
        return 1;
    }
    platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    RememberDataFolder(QString::fromLocal8Bit(argv[1]));
    TMainForm window;
    window.show();
    auto *name = window.findChild<QLineEdit *>(QStringLiteral("EditName"));
    name->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(name, QString::fromLocal8Bit(argv[2]));
    std::printf("changed\n");
    std::fflush(stdout);
    return app.exec();
}
