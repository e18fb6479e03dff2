#pragma once
// The page "Gast": its controls tell the booking editor what they hold and show what it asks
// for, and its buttons and spin box add, delete and choose records. What counts as an edit and
// when it reaches the record is the editor's business; this class only moves values.

#include "app/BookingEditor.h"

#include <QObject>

namespace Ui {
class TMainForm;
}
class QWidget;

namespace app {

class AppContext;
class StatusLine;

class GuestForm : public QObject
{
    Q_OBJECT

public:
    // `window` holds the controls and asks the questions.
    GuestForm(Ui::TMainForm &ui, QWidget *window, AppContext &context, BookingEditor &editor, StatusLine &status);

    // "Neuer Gast", "Stornieren" and the spin box.
    void ButtonNeuerGastClick();
    void ButtonStornierenClick();
    void SpinBox1Change(int value);
    // Shows the record at `index` and lets the spin box follow.
    void ShowRecord(int index);

Q_SIGNALS:
    // The host entered the arrival field (DateEditVonEnter) or the cost field (NumberBoxKostenEnter).
    void arrivalEntered();
    void costEntered();
    // A key was pressed in a field: its text may not be taken yet, but the recovery copy wants it.
    void typing();
    // The booking to delete has an invoice, and the host chose to cancel it.
    void cancelInvoiceWanted();
    // A booking was deleted.
    void guestRemoved();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectFields();
    void showGast(const guests::TGast &gast);
    // Tells the editor every control's value.
    void reportAll();
    void DelGast();
    // The status line while the form shows a departure before the arrival.
    void checkStay();
    // Names in the status line the bookings that the shown record now shares a night with.
    void sayDoubleBooking();
    void rememberStay();
    // The spin box and the stay last seen follow the list's current record.
    void followCurrent();

    Ui::TMainForm &ui_;
    QWidget *window_;
    AppContext &context_;
    BookingEditor &editor_;
    StatusLine &status_;
    // The rooms and days of the shown record as last seen, so only a change of them is announced.
    struct ShownStay
    {
        int index = -1;
        QString Zimmer;
        double Von = 0;
        double Bis = 0;
    } stayShown_;
};

} // namespace app
