#pragma once
// "Einstellungen": the set-up of a guest house in one window — the data folder, the house's postal
// code, the price list, the invoice form (or a plain page with the house's details) and the
// invoice counter. The files stay in the data folder; everything else goes to the settings file.
// The window asks through Dialogs and tells what changed by its signals; switching the data
// folder is left to whoever listens, since it needs the question about unsaved changes.

#include "billing/PriceMatrix.h"
#include "guestfile/SetupCheck.h"

#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStandardItemModel;
class QTabWidget;
class QTableView;

namespace app {

class ConfirmationSettingsPage;
class Dialogs;

class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    // `dataFolder`: the folder of the guest file (with or without a trailing '/'), empty when none
    // is chosen yet.
    SettingsDialog(Dialogs &dialogs, const QString &dataFolder, QWidget *parent = nullptr);

    // The data folder now in use (after dataFolderChosen was followed): its files are shown afresh.
    void setDataFolder(const QString &folder);
    // The prices in use, shown when the data folder has no price list of its own (they may come
    // from the folder the program was started in).
    void setPricesInUse(const billing::TPreisMatrix &matrix);
    // The lowest invoice number not yet carried by a guest or a kept invoice.
    void setLowestFreeInvoiceNumber(qint32 lowest);
    // Brings the page of one part of the set-up to the front, its first control focused.
    void showStep(guestfile::SetupStep step);

    QString dataFolder() const { return dataFolder_; }

    // A page of its own (e.g. "Portale") after the others; "Speichern" calls `save` first, and a
    // page that cannot keep its values (false; it has said why) keeps the window open.
    void addPage(QWidget *page, const QString &title, std::function<bool()> save);

    // "Speichern": keeps the postal code, the house's details and the form choice, and writes the
    // price list when it was changed. A value that cannot be kept is said, and the window stays.
    void accept() override;

Q_SIGNALS:
    // The host chose another data folder; nothing has changed yet.
    void dataFolderChosen(const QString &folder);
    // "Preismatrix.dat" was written: the prices must be read again.
    void priceListSaved();
    void postalCodeChanged(int code);
    // The invoice form, the choice to print without it, or the counter changed.
    void invoiceSetupChanged();

private:
    QWidget *makeGeneralPage();
    QWidget *makePricePage();
    QWidget *makeFormPage();
    QWidget *makeCounterPage();
    void chooseDataFolder();
    void chooseForm();
    void setUpCounter();
    void loadPrices();
    void showPrices(const billing::TPreisMatrix &matrix);
    void showForm();
    void showCounter();
    // The table's prices, or the reasons they cannot be saved.
    std::optional<billing::TPreisMatrix> tablePrices(QStringList &faults) const;
    QString pathOf(const char *name) const;

    Dialogs &dialogs_;
    QString dataFolder_;
    QTabWidget *tabs_ = nullptr;
    QLineEdit *folderEdit_ = nullptr;
    QLineEdit *postalCode_ = nullptr;
    QStandardItemModel *prices_ = nullptr;
    QTableView *priceTable_ = nullptr;
    QLabel *priceSource_ = nullptr;
    bool pricesEdited_ = false;
    bool showingPrices_ = false;
    QLabel *preview_ = nullptr;
    QLabel *formInfo_ = nullptr;
    QPushButton *chooseForm_ = nullptr;
    QCheckBox *withoutForm_ = nullptr;
    QLineEdit *houseName_ = nullptr;
    QPlainTextEdit *houseAddress_ = nullptr;
    QLineEdit *houseTelephone_ = nullptr;
    QLineEdit *houseEmail_ = nullptr;
    QLineEdit *houseFreeLine_ = nullptr;
    QLabel *counterInfo_ = nullptr;
    QPushButton *counterButton_ = nullptr;
    qint32 lowestFree_ = 1;
    app::ConfirmationSettingsPage *confirmationPage_ = nullptr;
    struct ExtraPage
    {
        QWidget *page;
        std::function<bool()> save;
    };
    std::vector<ExtraPage> extraPages_;
};

// "Bild wählen…": asks for a picture, checks it as printing loads it (a low resolution is asked
// about), and makes it the invoice form "REVORL.JPG" of `folder`, printed on from now on. The
// new form's path; empty when the host cancelled or the picture was refused (and told why).
QString ChooseInvoiceForm(QWidget *parent, Dialogs &dialogs, const QString &folder);

} // namespace app
