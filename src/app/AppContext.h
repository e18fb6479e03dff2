#pragma once
// What every window of the program shares: the guest list, the data folder and its files, the
// dialogs, the price list, the picks for a booking and the house's settings. It is made once
// (by the main window unless someone hands it one) and given to every other window. Those windows
// never reach the main window: they ask here, or send one of the requests below, which the main
// window answers.

#include "app/Dialogs.h"
#include "app/portals/PortalState.h"
#include "billing/PriceMatrix.h"
#include "calendar/RoomCalendar.h"
#include "exchange/MailCommand.h"
#include "guestfile/DataFolder.h"
#include "guestfile/Settings.h"
#include "register/GuestList.h"

#include <QObject>
#include <memory>

class QWidget;

namespace app {

class AppContext : public QObject
{
    Q_OBJECT

public:
    explicit AppContext(std::unique_ptr<Dialogs> dialogs, QObject *parent = nullptr);
    ~AppContext() override;

    guests::GuestList &guestList() { return list_; }
    const guests::GuestList &guests() const { return list_; }
    Dialogs &dialogs() { return *dialogs_; }

    // --- the data folder and its files ---
    guestfile::DataFolder &dataFolder() { return dataFolder_; }
    const guestfile::DataFolder &dataFolder() const { return dataFolder_; }
    // The folder the program was started in: the price list and the invoice form may lie there.
    QString startFolder() const { return startFolder_; }
    // The data folder, empty while none is chosen.
    QString chosenFolder() const;
    QString guestFilePath() const;      // Gaeste.csv
    QString invoiceCounterPath() const; // ReNummer.DAT
    QString invoiceFolder() const;      // "Rechnungen", the kept invoice copies
    // The path of `fileName` in the data folder. Before a folder was chosen, the host is asked for
    // the file (and the folder is remembered for the next start); a save the host cancels gives
    // an empty path, reading falls back to the working folder.
    QString dataPath(QWidget *asker, const QString &fileName, bool forSaving);

    // --- the price list ---
    // The price list of the data folder (else of the start folder), read again once the data
    // folder changed; null when there is none. A new complaint about it is told `asker` once.
    const billing::TPreisMatrix *priceList(QWidget *asker);
    // Looks for the price list afresh.
    void readPriceList(QWidget *asker);
    // What looking for it found last.
    const billing::PreislisteGelesen &priceListRead() const { return priceListRead_; }
    // The prices last read (the built-in ones when there is no list).
    const billing::TPreisMatrix &preisMatrix() const { return matrix_; }

    // --- the picks for a booking, made in the calendar or the plan ---
    const calendar::PickState &picks() const { return picks_; }
    // Takes picks as they are now; every window that shows them follows (picksChanged).
    void setPicks(const calendar::PickState &picks);

    // --- the house's settings ---
    // The postal code whose holidays the calendar and the plan mark: read once at the start, so a
    // painted cell does not read the settings file.
    qint32 postalCode() const { return postalCode_; }
    // Keeps a new code in the settings file (throws as setHousePostalCode does, keeping nothing)
    // and tells the windows when it differs from the one they show.
    void setPostalCode(qint32 code);
    // Reads the postal code afresh from the settings file (for a new data folder).
    void readSettings();
    guestfile::HouseDetails houseDetails() const { return guestfile::houseDetails(); }
    bool printWithoutForm() const { return guestfile::printWithoutForm(); }

    // --- programs started for the host ---
    // Starts another program (the mail program) without waiting for it; tests put in one that
    // records the calls.
    const exchange::ProgramRunner &programRunner() const { return programRunner_; }
    void setProgramRunner(exchange::ProgramRunner runner) { programRunner_ = std::move(runner); }

    // --- the portal subscriptions of the data folder ---
    app::PortalState &portals() { return *portals_; }
    const app::PortalState &portals() const { return *portals_; }
    // The rooms taken through booking portals (never records of the guest list), without the
    // blocks a guest of the list was made from and still stands for.
    const std::vector<guests::PortalBlock> &portalBlocks() const { return shownBlocks_; }
    // Reads the portal files when the data folder is not the one they were read from.
    void followPortals(QWidget *asker) { portals_->follow(chosenFolder(), asker); }

    // --- requests to the main window ---
    // The field being edited on the page "Gast" belongs to its record before another window uses
    // the list.
    void storeEditedField() { Q_EMIT storeEditedFieldRequested(); }
    // Show this record on the page "Gast", in front.
    void openRecord(int index) { Q_EMIT openRecordRequested(index); }
    // Picks made elsewhere (the plan), to be taken as if made in the calendar.
    void offerPicks(const calendar::PickState &picks) { Q_EMIT picksOffered(picks); }
    // A portal's block chosen elsewhere (the plan): the host is offered a new guest from it, as in
    // the calendar.
    void offerNewGuestFromBlock(const guests::PortalBlock &block) { Q_EMIT newGuestFromBlockRequested(block); }

Q_SIGNALS:
    void storeEditedFieldRequested();
    void openRecordRequested(int index);
    void picksOffered(const calendar::PickState &picks);
    void newGuestFromBlockRequested(const guests::PortalBlock &block);
    // The picks were made, used or dropped.
    void picksChanged(const calendar::PickState &picks);
    void postalCodeChanged(qint32 code);
    // The subscriptions, their blocks or the sync states were read anew (a fetch, an edit, a folder).
    void portalBlocksChanged();

private:
    void setPostalCodeShown(qint32 code);
    // Works out the blocks shown anew; true when they differ from before.
    bool filterBlocks();

    std::unique_ptr<Dialogs> dialogs_;
    guests::GuestList list_;
    guestfile::DataFolder dataFolder_;
    QString startFolder_;
    calendar::PickState picks_;
    billing::TPreisMatrix matrix_;
    bool matrixRead_ = false;
    QString priceListFolder_;         // the data folder the price list was looked for in
    billing::PreislisteGelesen priceListRead_; // what looking for it found
    QString priceListToldOf_;         // the last complaint about it that was shown
    qint32 postalCode_ = guestfile::kDefaultHousePostalCode;
    exchange::ProgramRunner programRunner_ = exchange::detachedRunner();
    PortalState *portals_ = nullptr; // a child of this context
    std::vector<guests::PortalBlock> shownBlocks_;
};

} // namespace app
