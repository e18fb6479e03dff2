#include "app/ToolWindow.h"

#include "app/AppContext.h"
#include "app/ErrorSink.h"
#include "app/WindowGeometry.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace app {

ToolWindow::ToolWindow(AppContext &context, QWidget *parent, const QString &geometryKey)
    : QWidget(parent, Qt::Window), context_(context), geometryKey_(geometryKey)
{}

ToolWindow::~ToolWindow()
{
    if (isVisible())
        SaveWindowGeometry(*this, geometryKey_);
}

void ToolWindow::bringToFront()
{
    show();
    raise();
    activateWindow();
}

void ToolWindow::restorePlace()
{
    RestoreWindowGeometry(*this, geometryKey_);
}

void ToolWindow::guarded(const std::function<void()> &handler)
{
    app::guarded(context_.dialogs(), this, handler);
}

void ToolWindow::closeEvent(QCloseEvent *event)
{
    SaveWindowGeometry(*this, geometryKey_);
    QWidget::closeEvent(event);
}

void ToolWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace app
