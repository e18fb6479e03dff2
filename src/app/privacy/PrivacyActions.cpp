#include "app/privacy/PrivacyActions.h"

#include "app/AppContext.h"
#include "app/BookingEditor.h"
#include "app/ErrorSink.h"
#include "app/GuardedAction.h"
#include "app/StatusLine.h"
#include "app/privacy/AnonymizeDialog.h"
#include "app/privacy/PersonalDataExport.h"
#include "app/session/GuestFileController.h"
#include "guestfile/Backups.h"
#include "guestfile/GuestFile.h"
#include "platform/Clock.h"
#include "platform/FileIo.h"
#include "register/PersonalData.h"

#include <QFileInfo>
#include <QWidget>

namespace app {

PrivacyActions::PrivacyActions(AppContext &context, BookingEditor &editor, GuestFileController &files,
                               StatusLine &status, QWidget *window)
    : context_(context), editor_(editor), files_(files), status_(status), window_(window)
{
    auskunft_ = guardedAction(window_, this, context_.dialogs(), QStringLiteral("&Auskunft…"), "ActionAuskunft",
                              [this] { AuskunftClick(); });
    anonymisieren_ =
        guardedAction(window_, this, context_.dialogs(), QStringLiteral("Alte Aufenthalte &anonymisieren…"),
                      "ActionAnonymisieren", [this] { AnonymisierenClick(); });
}

void PrivacyActions::AuskunftClick()
{
    editor_.takeOver();
    const int index = context_.guests().currentIndex();
    if (index == 0) {
        status_.say(QStringLiteral("Kein Gast gewählt"));
        return;
    }
    const auto written = savePersonalData(context_, window_, index);
    if (!written)
        return;
    context_.dialogs().inform(window_, written->message());
    status_.say(QStringLiteral("Auskunft über %1 Aufenthalte gespeichert").arg(written->stays));
}

void PrivacyActions::AnonymisierenClick()
{
    editor_.takeOver();
    auto *dialog = window_->findChild<AnonymizeDialog *>(QString(), Qt::FindDirectChildrenOnly);
    if (!dialog) {
        dialog = new AnonymizeDialog(context_.guestList(), platform::Today(), window_);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &AnonymizeDialog::confirmed, this, [this](const std::vector<int> &indexes) {
            guarded(context_.dialogs(), window_, [&] { anonymizeConfirmed(indexes); });
        });
    }
    dialog->open();
}

void PrivacyActions::anonymizeConfirmed(const std::vector<int> &indexes)
{
    if (indexes.empty())
        return;
    const QString path = context_.dataPath(window_, QString::fromUtf8(guestfile::kGuestFileName), true);
    if (path.isEmpty()) {
        status_.say(QStringLiteral("Nichts anonymisiert: kein Datenordner gewählt"));
        return;
    }
    // The guest file as it was is kept first: what is erased here can only come back from there. A
    // backup of this very second (an earlier save) is not this version: the next free second is taken.
    if (QFileInfo::exists(path))
        guestfile::KeepBackupAt(QFileInfo(path).absolutePath(), platform::ReadFileBytes(path), platform::Clock::now());
    const int changed = guests::anonymizeStays(context_.guestList(), indexes);
    if (files_.FileSave())
        status_.say(QStringLiteral("%1 Aufenthalte anonymisiert und gespeichert").arg(changed));
}

} // namespace app
