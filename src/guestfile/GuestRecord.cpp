#include "guestfile/GuestRecord.h"

#include "guestfile/Fields.h"
#include "platform/Convert.h"

#include <QStringList>
#include <cmath>
#include <limits>

namespace {

const QString kSeparator = QStringLiteral(";");

QString storable(const QString &text)
{
    QString s = text;
    s.replace(u';', u',');
    s.replace(u'\r', u' ');
    s.replace(u'\n', u' ');
    return s;
}

// A cost beyond float cannot be held by the record; like any other unreadable number it is 0.
float toCost(double value)
{
    return std::fabs(value) <= double(std::numeric_limits<float>::max()) ? static_cast<float>(value) : 0.0f;
}

} // namespace

void DecodeSatz(TGast &AktGast, QString line)
{
    using namespace platform;
    // Filled aside so that a failing field leaves the caller's record whole.
    TGast g;
    g.GastNr = NextFieldInt(line, kSeparator);
    g.Zimmer = NextField(line, kSeparator);
    g.Personen = NextFieldInt(line, kSeparator);
    g.Von = StrToDate(NextField(line, kSeparator));
    g.Anreise = StrToTime(NextField(line, kSeparator));
    g.Bis = StrToDate(NextField(line, kSeparator));
    g.Abreise = StrToTime(NextField(line, kSeparator));
    g.Name = NextField(line, kSeparator);
    g.Strasse = NextField(line, kSeparator);
    g.PLZ = NextFieldInt(line, kSeparator);
    g.Ort = NextField(line, kSeparator);
    g.Telefon = NextField(line, kSeparator);
    g.EMail = NextField(line, kSeparator);
    g.ReNr = NextFieldInt(line, kSeparator);
    g.Kosten = toCost(NextFieldFloat(line, kSeparator));
    g.Bezahlt = StrToBool(NextField(line, kSeparator));
    g.Schluessel = StrToBool(NextField(line, kSeparator));
    g.Bemerkung = NextField(line, kSeparator);
    AktGast = std::move(g);
}

QString EncodeSatz(const TGast &gast)
{
    using namespace platform;
    const QStringList fields = {
        QString::number(gast.GastNr), storable(gast.Zimmer),      QString::number(gast.Personen),
        DateToStr(gast.Von),          TimeToStr(gast.Anreise),    DateToStr(gast.Bis),
        TimeToStr(gast.Abreise),      storable(gast.Name),        storable(gast.Strasse),
        QString::number(gast.PLZ),    storable(gast.Ort),         storable(gast.Telefon),
        storable(gast.EMail),         QString::number(gast.ReNr), FormatFixed(gast.Kosten, 5, 2),
        BoolToStr(gast.Bezahlt),      BoolToStr(gast.Schluessel), storable(gast.Bemerkung),
    };
    return fields.join(kSeparator);
}
