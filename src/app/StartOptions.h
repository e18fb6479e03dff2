#pragma once
// What the command line asks of a start, and the start check behind --self-test: it proves,
// without anyone at the screen, that the installed program comes up with its main window.

#include <QObject>
#include <QStringList>
#include <chrono>
#include <optional>

class QApplication;
class QTextStream;
class QWidget;

namespace app {

struct StartOptions
{
    bool selfTest = false;
    // --datenordner: the data folder of this run (the demo's example), absolute; empty when not given.
    QString dataFolder;
};

// Answers --help and --version from the command line alone, before anything needs a display, and
// gives the exit code then; nothing for any other command line (ParseStartOptions reads it).
std::optional<int> AnswerWithoutDisplay(int argc, char **argv, QTextStream &out);

// Reads the command line. --help and --version are answered here and end the program, and so
// does an unknown option, each with Qt's (German) text.
StartOptions ParseStartOptions(QApplication &app);

// Armed before the main window is made. A dialog that opens during the start would wait for a
// click that never comes; the check notes its text and closes it, so the start goes on.
class StartCheck : public QObject
{
public:
    explicit StartCheck(QApplication &app);

    // Waits up to `limit` for `window` to be on the screen, writes one line about it and gives
    // the exit code: 0 when the window came up and no dialog interrupted the start, else 1.
    int report(QWidget &window, std::chrono::milliseconds limit, QTextStream &out);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QStringList dialogs_;
};

} // namespace app
