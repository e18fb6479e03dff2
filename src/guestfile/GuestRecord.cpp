#include "guestfile/GuestRecord.h"

#include "platform/Convert.h"
#include "platform/Fields.h"

#include <QStringList>
#include <cmath>
#include <limits>

namespace guestfile {

using guests::TGast;
using platform::NextField;
using platform::ReadWrittenAmount;
using platform::ReadWrittenInt;

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

// A date, time or Boolean field as StrToDate, StrToTime and StrToBool read it; the field is copied
// only when it is bad, for the error that names it.
// The German formats are read under any settings: a file written where the regional formats did
// not read back holds them.
platform::TDateTime dateOf(QStringView field)
{
    platform::TDateTime day = 0;
    return platform::TryStrToDate(field, day) || platform::TryGermanStrToDate(field, day)
               ? day
               : platform::StrToDate(field.toString());
}

platform::TDateTime timeOf(QStringView field)
{
    platform::TDateTime time = 0;
    return platform::TryStrToTime(field, time) || platform::TryGermanStrToTime(field, time)
               ? time
               : platform::StrToTime(field.toString());
}

// Reads numbers of a line, noting those it cannot read.
class Numbers
{
public:
    explicit Numbers(std::vector<UnreadableField> *unreadable) : unreadable_(unreadable) {}

    qint32 whole(QStringView field, int number)
    {
        qint32 value = 0;
        if (!ReadWrittenInt(field, value))
            note(field, number);
        return value;
    }
    double amount(QStringView field, int number)
    {
        double value = 0;
        if (!ReadWrittenAmount(field, value))
            note(field, number);
        return value;
    }
    void note(QStringView field, int number)
    {
        // An empty field is a number not yet given, not a damaged one.
        if (unreadable_ != nullptr && !field.trimmed().isEmpty())
            found_.push_back({number, field.toString()});
    }
    // Added to the caller's list only once the whole line was read.
    void commit()
    {
        if (unreadable_ != nullptr)
            unreadable_->insert(unreadable_->end(), found_.begin(), found_.end());
    }

private:
    std::vector<UnreadableField> *unreadable_;
    std::vector<UnreadableField> found_;
};

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

QString FieldName(int field)
{
    static const char *const names[] = {"Gast-Nr.", "Zimmer",      "Personen",   "Anreise",      "Anreisezeit",
                                        "Abreise",  "Abreisezeit", "Name",       "Straße",       "PLZ",
                                        "Ort",      "Telefon",     "E-Mail",     "Rechnung Nr.", "Kosten",
                                        "Bezahlt",  "Schlüssel",   "Bemerkungen"};
    if (field >= 1 && field <= 18)
        return QString::fromUtf8(names[field - 1]);
    return QStringLiteral("nach dem 18. Feld");
}

void DecodeSatz(TGast &AktGast, QString line)
{
    DecodeSatz(AktGast, std::move(line), nullptr);
}

void DecodeSatz(TGast &AktGast, QString line, std::vector<UnreadableField> *unreadable)
{
    using namespace platform;
    // Cut from a view of the line, so that only the texts the record keeps are copied: a guest
    // file of many years is read line by line through here.
    QStringView rest(line);
    const QStringView separator(kSeparator);
    // Filled aside so that a failing field leaves the caller's record whole.
    TGast g;
    Numbers numbers(unreadable);
    g.GastNr = numbers.whole(NextField(rest, separator), 1);
    g.Zimmer = NextField(rest, separator).toString();
    g.Personen = numbers.whole(NextField(rest, separator), 3);
    g.Von = dateOf(NextField(rest, separator));
    g.Anreise = timeOf(NextField(rest, separator));
    g.Bis = dateOf(NextField(rest, separator));
    g.Abreise = timeOf(NextField(rest, separator));
    g.Name = NextField(rest, separator).toString();
    g.Strasse = NextField(rest, separator).toString();
    g.PLZ = numbers.whole(NextField(rest, separator), 10);
    g.Ort = NextField(rest, separator).toString();
    g.Telefon = NextField(rest, separator).toString();
    g.EMail = NextField(rest, separator).toString();
    g.ReNr = numbers.whole(NextField(rest, separator), 14);
    g.Kosten = numbers.amount(NextField(rest, separator), 15);
    g.Bezahlt = boolOf(NextField(rest, separator));
    g.Schluessel = boolOf(NextField(rest, separator));
    g.Bemerkung = NextField(rest, separator).toString();
    numbers.note(rest, kTextAfterLastField);
    numbers.commit();
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

} // namespace guestfile
