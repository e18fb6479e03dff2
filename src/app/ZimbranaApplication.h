#pragma once
// The application object: German texts in Qt's own dialogs, and an error that escapes an event
// handler is shown in the error box instead of ending the program.

#include <QApplication>
#include <QTranslator>

class ZimbranaApplication : public QApplication
{
public:
    ZimbranaApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

private:
    QTranslator qtTranslator_;
};

// The error box: a critical message titled "Zimbrana".
void ShowErrorBox(const QString &text);
