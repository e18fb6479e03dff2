#include "app/ZimbranaApplication.h"

#include "app/Version.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

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
        ShowErrorBox(QString::fromUtf8(error.what()));
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

void ShowErrorBox(const QString &text)
{
    QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Zimbrana"), text, QMessageBox::Ok);
}
