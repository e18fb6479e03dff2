#include "register/StayText.h"

#include "platform/Convert.h"

namespace guests {

QString StayText(const TGast &gast)
{
    return QStringLiteral("%1 bis %2").arg(platform::DateToStr(gast.Von), platform::DateToStr(gast.Bis));
}

QString GuestAndStay(const TGast &gast)
{
    const QString inside = gast.Name.isEmpty() ? StayText(gast) : gast.Name + QStringLiteral(", ") + StayText(gast);
    return QStringLiteral("Gast %1 (%2)").arg(gast.GastNr).arg(inside);
}

QString GuestName(const TGast &gast)
{
    return gast.Name.isEmpty() ? QStringLiteral("Gast %1").arg(gast.GastNr)
                               : QStringLiteral("Gast %1 (%2)").arg(gast.GastNr).arg(gast.Name);
}

QString StornoFrage(const TGast &gast)
{
    QString question = GuestAndStay(gast) + QStringLiteral(" stornieren?");
    if (gast.ReNr != 0)
        question += QStringLiteral("\nFür diesen Gast wurde bereits die Rechnung Nr. %1 gestellt.").arg(gast.ReNr);
    return question;
}

} // namespace guests
