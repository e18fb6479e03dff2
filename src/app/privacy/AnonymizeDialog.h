#pragma once
// "Alte Aufenthalte anonymisieren…": the host chooses how many years back a departure must lie,
// sees which stays that erases, and confirms. The dialog only chooses; the main window keeps a
// backup, erases and saves.

#include "platform/DayNumber.h"

#include <QDialog>
#include <vector>

class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace guests {
class GuestList;
}

namespace app {

class AnonymizeDialog : public QDialog
{
    Q_OBJECT

public:
    AnonymizeDialog(const guests::GuestList &list, platform::TDateTime today, QWidget *parent);

    // The stays that a confirmation now erases, by index.
    std::vector<int> chosen() const;

Q_SIGNALS:
    // The host confirmed: erase these stays.
    void confirmed(const std::vector<int> &indexes);

private:
    void showStays();

    const guests::GuestList &list_;
    platform::TDateTime today_;
    QSpinBox *years_ = nullptr;
    QTableWidget *table_ = nullptr;
    QLabel *count_ = nullptr;
    QPushButton *confirm_ = nullptr;
};

} // namespace app
