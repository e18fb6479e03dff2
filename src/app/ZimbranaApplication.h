#pragma once
// The application object: German texts in Qt's own dialogs, and an error that escapes an event
// handler is shown in the error box instead of ending the program.

#include <QApplication>

namespace app {

class ZimbranaApplication : public QApplication
{
public:
    ZimbranaApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Qt's standard dialogs say "Ja", "Nein", "Abbrechen" whatever the desktop's language; every
// text of the program is German. False when Qt's German translation is not installed.
bool InstallGermanQtTexts(QCoreApplication &app);

} // namespace app
