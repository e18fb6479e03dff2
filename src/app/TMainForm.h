#pragma once
// The main window: the guest form on the page "Gast" and the room calendar on the page
// "Zimmerkalender", the menus and the status line. It assembles the parts that do the work — the
// booking editor and its form, the guest file, the invoices, the calendar, the set-up, the
// letters and the guest's data — and wires their actions into its menus and buttons.

#include "app/AppContext.h"

#include <QMainWindow>
#include <functional>
#include <memory>

namespace Ui {
class TMainForm;
}

namespace app {

class BookingEditor;
class CalendarPage;
class GuestFileController;
class GuestForm;
class InvoiceActions;
class LetterActions;
class PrivacyActions;
class SetupFlow;
class StatusLine;

class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);
    // Asks the user through `dialogs` (the real Qt dialogs in the constructor above).
    explicit TMainForm(std::unique_ptr<Dialogs> dialogs, QWidget *parent = nullptr);
    ~TMainForm() override;

    // What this window shares with the other windows (made by this window, kept while it lives).
    AppContext &context() { return *context_; }
    const AppContext &context() const { return *context_; }

protected:
    void closeEvent(QCloseEvent *event) override;

private Q_SLOTS:
    // The desktop session ends: unsaved changes are saved, or asked about where the session lets
    // the program ask. False when the host wants the session not to end.
    bool SessionEnds(bool mayAsk);
    // Makes a record current and shows it on the page "Gast", in front (asked by other windows).
    void openRecord(int index);
    // "Ansicht" → "Gästeliste" and "Rechnungen": the window, opened or brought to the front.
    void GaestelisteClick();
    void RechnungenClick();

private:
    void FormCreate();
    void createMenus();
    void connectParts();
    // Fetches the subscriptions at start when the host ticked it and the last time is long enough ago.
    void syncPortalsAtStart();
    // Runs a handler; an error that escapes it is shown in the error box and the program goes on.
    void guarded(const std::function<void()> &handler);

    // Made first and gone last of the members. The other windows are Qt children, deleted after
    // the members; on their way out they touch none of it.
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<Ui::TMainForm> ui_;
    // The parts, gone before the context and before the controls they listen to.
    std::unique_ptr<StatusLine> status_;
    std::unique_ptr<BookingEditor> editor_;
    std::unique_ptr<GuestForm> form_;
    std::unique_ptr<GuestFileController> files_;
    std::unique_ptr<InvoiceActions> invoices_;
    std::unique_ptr<SetupFlow> setup_;
    std::unique_ptr<CalendarPage> calendar_;
    std::unique_ptr<LetterActions> letters_;
    std::unique_ptr<PrivacyActions> privacy_;
};

} // namespace app
