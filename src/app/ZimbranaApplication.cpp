#include "app/ZimbranaApplication.h"

#include "app/Dialogs.h"
#include "app/ErrorSink.h"
#include "app/Version.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

namespace app {

ZimbranaApplication::ZimbranaApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("Kestrumbel"));
    setApplicationVersion(QString::fromLatin1(version::kText));
    setDesktopFileName(QString::fromLatin1(version::kAppId));
    setWindowIcon(QIcon(QStringLiteral(":/Zimbrana.png")));
    InstallGermanQtTexts(*this);
}

bool ZimbranaApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        // No window caught it, so it goes to the error box over whatever window is active.
        QtDialogs dialogs;
        showError(dialogs, QApplication::activeWindow(), error);
    }
    return false;
}

bool InstallGermanQtTexts(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace app
