#pragma once
// The one place that shows an error to the host: what a handler throws goes to the error box of
// Dialogs with its German text, and the program goes on. Windows run their handlers through
// guarded() instead of catching errors themselves.

#include <QString>
#include <exception>
#include <functional>

class QWidget;

namespace app {

class Dialogs;

// Shows the error's German text (platform::ErrorText) in the error box over `parent`.
void showError(Dialogs &dialogs, QWidget *parent, const std::exception &error);

// Runs `handler`; an error it throws is shown as showError shows it and goes no further.
void guarded(Dialogs &dialogs, QWidget *parent, const std::function<void()> &handler);

} // namespace app
