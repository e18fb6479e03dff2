#pragma once
// The settings' page "Portale": the calendars of booking portals the house follows, per room a
// name and an address, kept in the data folder's "Portale/Abonnements.csv"; the text patterns of
// the portals' own unavailability and the choice to fetch at start, kept in the settings file;
// how each subscription's last fetch went, and "Jetzt abgleichen".

#include <QWidget>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace app {

class AppContext;

class PortalSettingsPage : public QWidget
{
    Q_OBJECT

public:
    enum Column { ColumnRoom, ColumnName, ColumnAddress, ColumnSync, ColumnCount };

    PortalSettingsPage(AppContext &context, QWidget *parent = nullptr);

    // Checks the table and keeps it with the patterns and the start choice. A row that cannot be
    // kept is said, and nothing of the page is kept: false.
    bool save();

private:
    void showSubscriptions();
    void showSyncStates();
    void addRow();
    void removeRow();
    void syncNow();

    AppContext &context_;
    QTableWidget *table_ = nullptr;
    QPushButton *remove_ = nullptr;
    QPlainTextEdit *filters_ = nullptr;
    QCheckBox *atStart_ = nullptr;
    QPushButton *sync_ = nullptr;
    QLabel *syncState_ = nullptr;
    bool filling_ = false; // while the table is filled from the file
    bool edited_ = false;  // the host changed the table since it was filled
};

} // namespace app
