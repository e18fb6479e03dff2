#include "app/letters/LetterActions.h"

#include "app/AppContext.h"
#include "app/BookingEditor.h"
#include "app/GuardedAction.h"
#include "app/StatusLine.h"
#include "app/letters/ConfirmationLetter.h"

namespace app {

LetterActions::LetterActions(AppContext &context, BookingEditor &editor, StatusLine &status, QWidget *window)
    : context_(context), editor_(editor), status_(status), window_(window)
{
    bestaetigung_ = guardedAction(window_, this, context_.dialogs(), QStringLiteral("Buchungs&bestätigung…"),
                                  "ActionBuchungsbestaetigung", [this] { BuchungsbestaetigungClick(); });
    perEmail_ = guardedAction(window_, this, context_.dialogs(), QStringLiteral("Per &E-Mail senden…"),
                              "ActionPerEmail", [this] { PerEmailClick(); });
}

bool LetterActions::guestShown()
{
    editor_.takeOver();
    if (context_.guests().currentIndex() != 0)
        return true;
    status_.say(QStringLiteral("Kein Gast gewählt"));
    return false;
}

void LetterActions::BuchungsbestaetigungClick()
{
    if (!guestShown())
        return;
    if (const QString done = confirmBooking(context_, window_, context_.guests().current()); !done.isEmpty())
        status_.say(done);
}

void LetterActions::PerEmailClick()
{
    if (!guestShown())
        return;
    if (const QString done = mailConfirmation(context_, window_, context_.guests().current()); !done.isEmpty())
        status_.say(done);
}

} // namespace app
