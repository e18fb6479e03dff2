#include "app/settings/SetupFlow.h"

#include "app/AppContext.h"
#include "app/BookingEditor.h"
#include "app/ErrorSink.h"
#include "app/GuardedAction.h"
#include "app/StatusLine.h"
#include "app/session/GuestFileController.h"
#include "app/settings/PortalSettingsPage.h"
#include "app/settings/SettingsDialog.h"
#include "billing/IssuedInvoices.h"

namespace app {

using guestfile::missingSetup;
using guestfile::SetupGap;
using guestfile::SetupStep;

SetupFlow::SetupFlow(AppContext &context, BookingEditor &editor, GuestFileController &files, StatusLine &status,
                     QWidget *window)
    : context_(context), editor_(editor), files_(files), status_(status), window_(window)
{
    einstellungen_ = guardedAction(window_, this, context_.dialogs(), QStringLiteral("&Einstellungen…"),
                                   "ActionEinstellungen", [this] { showSettings(); });
    einrichten_ =
        guardedAction(window_, this, context_.dialogs(), QStringLiteral("Ein&richten…"), "ActionEinrichten", [this] {
            const std::vector<SetupGap> gaps =
                missingSetup(context_.chosenFolder(), context_.startFolder(), context_.printWithoutForm());
            showSettings(gaps.empty() ? std::nullopt : std::optional(gaps.front().step));
        });
    einrichten_->setVisible(false);
}

SettingsDialog *SetupFlow::showSettings(std::optional<SetupStep> step)
{
    editor_.takeOver();
    if (!settings_) {
        settings_ = new SettingsDialog(context_.dialogs(), context_.chosenFolder(), window_);
        settings_->setAttribute(Qt::WA_DeleteOnClose);
        const auto refresh = [this] {
            if (!settings_)
                return;
            settings_->setDataFolder(context_.chosenFolder());
            if (const billing::TPreisMatrix *matrix = context_.priceList(window_))
                settings_->setPricesInUse(*matrix);
            settings_->setLowestFreeInvoiceNumber(
                billing::HighestIssuedNumber(context_.guests().records(), context_.invoiceFolder()) + 1);
        };
        refresh();
        connect(settings_, &SettingsDialog::dataFolderChosen, this, [this, refresh](const QString &folder) {
            guarded(context_.dialogs(), window_, [&] {
                if (files_.switchDataFolder(folder)) {
                    followSetup();
                    refresh();
                }
            });
        });
        // Read again at once, so the next cost and invoice use the new prices.
        connect(settings_, &SettingsDialog::priceListSaved, this,
                [this] { guarded(context_.dialogs(), window_, [this] { context_.readPriceList(window_); }); });
        connect(settings_, &SettingsDialog::postalCodeChanged, &context_, &AppContext::setPostalCode);
        connect(settings_, &SettingsDialog::invoiceSetupChanged, this, [this] { followSetup(); });
        auto *portals = new PortalSettingsPage(context_, settings_);
        settings_->addPage(portals, QStringLiteral("P&ortale"), [portals] { return portals->save(); });
        connect(settings_, &QDialog::finished, this, [this] {
            const QString hint = followSetup();
            if (!hint.isEmpty() || status_.text().startsWith(QStringLiteral("Noch nicht eingerichtet")))
                status_.say(hint);
        });
    }
    if (step)
        settings_->showStep(*step);
    settings_->open();
    settings_->raise();
    settings_->activateWindow();
    return settings_;
}

QString SetupFlow::followSetup()
{
    const QString folder = context_.chosenFolder();
    const std::vector<SetupGap> gaps = missingSetup(folder, context_.startFolder(), context_.printWithoutForm());
    einrichten_->setVisible(!gaps.empty());
    return guestfile::setupHint(gaps, folder);
}

} // namespace app
