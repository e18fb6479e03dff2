#include "app/ErrorSink.h"

#include "app/Dialogs.h"
#include "platform/Error.h"

namespace app {

void showError(Dialogs &dialogs, QWidget *parent, const std::exception &error)
{
    dialogs.showError(parent, platform::ErrorText(error));
}

void guarded(Dialogs &dialogs, QWidget *parent, const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        showError(dialogs, parent, error);
    }
}

} // namespace app
