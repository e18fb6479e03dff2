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

// A date, time or Boolean field as StrToDate, StrToTime and StrToBool read it; the field is copied
// only when it is bad, for the error that names it.
platform::TDateTime dateOf(QStringView field)
{
    platform::TDateTime day = 0;
    return platform::TryStrToDate(field, day) ? day : platform::StrToDate(field.toString());
}

platform::TDateTime timeOf(QStringView field)
{
    platform::TDateTime time = 0;
    return platform::TryStrToTime(field, time) ? time : platform::StrToTime(field.toString());
}

bool boolOf(QStringView field)
{
    // The file writes these two; anything else goes the whole way (numbers, other cases, errors).
    if (field == u"True")
        return true;
    if (field == u"False")
        return false;
    return platform::StrToBool(field.toString());
}

} // namespace

void DecodeSatz(TGast &AktGast, QString line)
{
    using namespace platform;
    // Cut from a view of the line, so that only the texts the record keeps are copied: a guest
    // file of many years is read line by line through here.
    QStringView rest(line);
    const QStringView separator(kSeparator);
    // Filled aside so that a failing field leaves the caller's record whole.
    TGast g;
    g.GastNr = NextFieldInt(rest, separator);
    g.Zimmer = NextField(rest, separator).toString();
    g.Personen = NextFieldInt(rest, separator);
    g.Von = dateOf(NextField(rest, separator));
    g.Anreise = timeOf(NextField(rest, separator));
    g.Bis = dateOf(NextField(rest, separator));
    g.Abreise = timeOf(NextField(rest, separator));
    g.Name = NextField(rest, separator).toString();
    g.Strasse = NextField(rest, separator).toString();
    g.PLZ = NextFieldInt(rest, separator);
    g.Ort = NextField(rest, separator).toString();
    g.Telefon = NextField(rest, separator).toString();
    g.EMail = NextField(rest, separator).toString();
    g.ReNr = NextFieldInt(rest, separator);
    g.Kosten = toCost(NextFieldFloat(rest, separator));
    g.Bezahlt = boolOf(NextField(rest, separator));
    g.Schluessel = boolOf(NextField(rest, separator));
    g.Bemerkung = NextField(rest, separator).toString();
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
