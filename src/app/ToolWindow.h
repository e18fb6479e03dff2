#pragma once
// What the program's windows beside the main window share: a window of its own over the main
// window, given the application context; its place and size kept under a key of its own in the
// settings; made on first use and brought to the front when chosen again; an error that escapes
// one of its handlers shown in the error box, and the window goes on.

#include <QWidget>

#include <functional>

namespace app {

class AppContext;

class ToolWindow : public QWidget
{
    Q_OBJECT

public:
    // The one window of type `W` over `parent`, made on first use, shown in front.
    template <typename W> static W *open(AppContext &context, QWidget *parent)
    {
        auto *window = parent->findChild<W *>(QString(), Qt::FindDirectChildrenOnly);
        if (window)
            static_cast<ToolWindow *>(window)->showAgain();
        else
            window = new W(context, parent); // owned by `parent`
        window->bringToFront();
        return window;
    }

    void bringToFront();

protected:
    // `geometryKey` names the window's place in the settings.
    ToolWindow(AppContext &context, QWidget *parent, const QString &geometryKey);
    // Still open when the program ends: it opens there next time as well.
    ~ToolWindow() override;

    // Puts the window where the host left it (after the window set its first size and place).
    void restorePlace();
    // Runs a handler; an error that escapes it is shown and the window goes on.
    void guarded(const std::function<void()> &handler);
    // Chosen again while it exists (a window may read its files afresh).
    virtual void showAgain() {}

    void closeEvent(QCloseEvent *event) override;
    // Esc closes the window, as it closes a dialog; a control that uses Esc takes it first.
    void keyPressEvent(QKeyEvent *event) override;

    AppContext &context_;

private:
    QString geometryKey_;
};

} // namespace app
