#include "app/StartOptions.h"
#include "app/TMainForm.h"
#include "app/ZimbranaApplication.h"
#include "guestfile/Settings.h"

#include <QTextStream>
#include <memory>

using app::AnswerWithoutDisplay;
using app::ParseStartOptions;
using app::StartCheck;
using app::StartOptions;
using app::TMainForm;
using app::ZimbranaApplication;
using guestfile::UseDataFolderForThisRun;

int main(int argc, char *argv[])
{
    // Answered before the application is made, which needs a display.
    {
        QTextStream out(stdout);
        if (const std::optional<int> answered = AnswerWithoutDisplay(argc, argv, out))
            return *answered;
    }
    ZimbranaApplication app(argc, argv);
    const StartOptions options = ParseStartOptions(app);
    if (!options.dataFolder.isEmpty())
        UseDataFolderForThisRun(options.dataFolder);
    std::unique_ptr<StartCheck> check;
    if (options.selfTest)
        check = std::make_unique<StartCheck>(app);
    TMainForm window;
    window.show();
    if (check) {
        QTextStream out(stdout);
        return check->report(window, std::chrono::seconds(30), out);
    }
    return app.exec();
}
