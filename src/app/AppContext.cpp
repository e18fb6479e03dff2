#include "app/AppContext.h"

#include "billing/InvoiceArchive.h"
#include "billing/InvoiceNumber.h"
#include "guestfile/GuestFile.h"
#include "platform/DataFolderLayout.h"
#include "register/BlockTakeover.h"

#include <QDir>
#include <QFileInfo>

namespace app {

using billing::kPreisMatrixDatei;
using billing::SuchePreisMatrix;
using billing::TPreisMatrix;
using calendar::PickState;
using guestfile::housePostalCode;
using guestfile::RememberDataFolder;
using guestfile::setHousePostalCode;

AppContext::AppContext(std::unique_ptr<Dialogs> dialogs, QObject *parent)
    : QObject(parent), dialogs_(std::move(dialogs)), startFolder_(QDir::currentPath()), postalCode_(housePostalCode()),
      portals_(new app::PortalState(*dialogs_, list_, this))
{
    connect(portals_, &app::PortalState::changed, this, [this] {
        filterBlocks();
        Q_EMIT portalBlocksChanged();
    });
    // A guest deleted or moved away from the block it was made from lets the block count again.
    // Connected before any window, so the windows see the new blocks when they hear of the change.
    const auto refilter = [this] {
        if (filterBlocks())
            Q_EMIT portalBlocksChanged();
    };
    connect(&list_, &guests::GuestList::recordChanged, this, refilter);
    connect(&list_, &guests::GuestList::recordInserted, this, refilter);
    connect(&list_, &guests::GuestList::recordRemoved, this, refilter);
    connect(&list_, &guests::GuestList::listReset, this, refilter);
}

bool AppContext::filterBlocks()
{
    std::vector<guests::PortalBlock> shown =
        guests::blocksNotTakenOver(portals_->blocks(), portals_->takeovers(), list_.records());
    if (shown == shownBlocks_)
        return false;
    shownBlocks_ = std::move(shown);
    return true;
}

AppContext::~AppContext() = default;

QString AppContext::chosenFolder() const
{
    return dataFolder_.chosen() ? dataFolder_.folder() : QString();
}

QString AppContext::guestFilePath() const
{
    return platform::DataFolderLayout(dataFolder_.folder()).guestFile();
}

QString AppContext::invoiceCounterPath() const
{
    return platform::DataFolderLayout(dataFolder_.folder()).invoiceCounter();
}

QString AppContext::invoiceFolder() const
{
    return platform::DataFolderLayout(dataFolder_.folder()).invoiceFolder();
}

QString AppContext::dataPath(QWidget *asker, const QString &fileName, bool forSaving)
{
    if (!dataFolder_.chosen()) {
        const QString chosen = forSaving ? dialogs_->askSaveFile(asker) : dialogs_->askOpenFile(asker);
        // Reading may fall back to the working folder, where nothing can be lost; a save may not.
        if (chosen.isEmpty() && forSaving)
            return {};
        if (!chosen.isEmpty()) {
            dataFolder_.chooseFromFile(chosen);
            RememberDataFolder(QFileInfo(chosen).absolutePath() + u'/');
        }
    }
    return dataFolder_.pathOf(fileName);
}

void AppContext::readPriceList(QWidget *asker)
{
    priceListFolder_ = chosenFolder();
    TPreisMatrix read;
    priceListRead_ = SuchePreisMatrix(priceListFolder_, startFolder_, read);
    matrixRead_ = priceListRead_.gelesen;
    if (matrixRead_)
        matrix_ = read;
    // Said once, at start or for the new folder, not at every use. A house that has no price list
    // yet is told so by the status line's set-up hint rather than a box.
    bool notSetUp = !matrixRead_;
    for (const QString &folder : {priceListFolder_, startFolder_}) {
        const QFileInfo file(QDir(folder).filePath(QString::fromUtf8(kPreisMatrixDatei)));
        notSetUp = notSetUp && (folder.isEmpty() || (!file.exists() && !file.isSymLink()));
    }
    if (!priceListRead_.meldung.isEmpty() && priceListRead_.meldung != priceListToldOf_ && !notSetUp)
        dialogs_->inform(asker, priceListRead_.meldung);
    priceListToldOf_ = priceListRead_.meldung;
}

const TPreisMatrix *AppContext::priceList(QWidget *asker)
{
    if (chosenFolder() != priceListFolder_)
        readPriceList(asker);
    return matrixRead_ ? &matrix_ : nullptr;
}

void AppContext::setPicks(const PickState &picks)
{
    picks_ = picks;
    Q_EMIT picksChanged(picks_);
}

void AppContext::readSettings()
{
    setPostalCodeShown(housePostalCode());
}

void AppContext::setPostalCode(qint32 code)
{
    // The settings window may have kept it already; the file is written only for a new code.
    if (code != housePostalCode())
        setHousePostalCode(code);
    setPostalCodeShown(code);
}

void AppContext::setPostalCodeShown(qint32 code)
{
    if (code == postalCode_)
        return;
    postalCode_ = code;
    Q_EMIT postalCodeChanged(code);
}

} // namespace app
