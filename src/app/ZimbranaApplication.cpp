#include "app/ZimbranaApplication.h"

#include <QLibraryInfo>
#include <QMessageBox>

ZimbranaApplication::ZimbranaApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("Kestrumbel"));
    // Every text of the program is German, the buttons of Qt's standard dialogs too.
    if (qtTranslator_.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&qtTranslator_);
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

void ShowErrorBox(const QString &text)
{
    QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Zimbrana"), text, QMessageBox::Ok);
}
