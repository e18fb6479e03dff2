#pragma once
// A menu entry whose handler runs guarded: an error that escapes it is shown in the error box and
// the program goes on.

#include "app/ErrorSink.h"

#include <QAction>
#include <QKeySequence>
#include <QWidget>

namespace app {

// Made a child of `window`, so the window's menus and shortcuts take it and a search by object
// name finds it there; the handler is dropped when `owner` goes.
template <typename Handler>
QAction *guardedAction(QWidget *window, QObject *owner, Dialogs &dialogs, const QString &text, const char *objectName,
                       Handler handler, const QKeySequence &keys = QKeySequence())
{
    auto *action = new QAction(text, window);
    if (objectName)
        action->setObjectName(QString::fromLatin1(objectName));
    action->setShortcut(keys);
    QObject::connect(action, &QAction::triggered, owner,
                     [window, &dialogs, handler] { guarded(dialogs, window, handler); });
    return action;
}

} // namespace app
