#include "exchange/GuestListCsv.h"

#include "exchange/Csv.h"
#include "platform/Convert.h"

namespace exchange {

using guests::Naechte;
using guests::TGast;

namespace {

QString Datum(platform::TDateTime day)
{
    return day == 0 ? QString() : platform::DateToStr(day);
}

QString Uhrzeit(platform::TDateTime time)
{
    return platform::FractionToTime(time).toString(QStringLiteral("HH:mm"));
}

QString JaNein(bool value)
{
    return value ? QStringLiteral("ja") : QStringLiteral("nein");
}

} // namespace

QStringList guestListHeader()
{
    return {QStringLiteral("Nr."),          QStringLiteral("Name"),        QStringLiteral("Straße"),
            QStringLiteral("PLZ"),          QStringLiteral("Ort"),         QStringLiteral("Telefon"),
            QStringLiteral("E-Mail"),       QStringLiteral("Anreise"),     QStringLiteral("Anreisezeit"),
            QStringLiteral("Abreise"),      QStringLiteral("Abreisezeit"), QStringLiteral("Nächte"),
            QStringLiteral("Zimmer"),       QStringLiteral("Personen"),    QStringLiteral("Kosten"),
            QStringLiteral("Rechnung Nr."), QStringLiteral("Bezahlt"),     QStringLiteral("Schlüssel"),
            QStringLiteral("Bemerkung")};
}

QList<QStringList> guestListRows(const std::vector<TGast> &list, const std::vector<int> &indexes)
{
    QList<QStringList> rows{guestListHeader()};
    rows.reserve(static_cast<qsizetype>(indexes.size()) + 1);
    for (const int index : indexes) {
        const TGast &g = list.at(static_cast<std::size_t>(index));
        const bool dated = g.Von != 0 || g.Bis != 0;
        rows << QStringList{QString::number(g.GastNr),
                            g.Name,
                            g.Strasse,
                            g.PLZ == 0 ? QString() : QString::number(g.PLZ),
                            g.Ort,
                            g.Telefon,
                            g.EMail,
                            Datum(g.Von),
                            dated ? Uhrzeit(g.Anreise) : QString(),
                            Datum(g.Bis),
                            dated ? Uhrzeit(g.Abreise) : QString(),
                            dated ? QString::number(Naechte(g)) : QString(),
                            g.Zimmer,
                            QString::number(g.Personen),
                            platform::FormatFixed(g.Kosten, 0, 2),
                            g.ReNr == 0 ? QString() : QString::number(g.ReNr),
                            JaNein(g.Bezahlt),
                            JaNein(g.Schluessel),
                            g.Bemerkung};
    }
    return rows;
}

QByteArray guestListCsv(const std::vector<TGast> &list, const std::vector<int> &indexes)
{
    return csvFile(guestListRows(list, indexes), kGuestListCodePage);
}

void exportGuestListCsv(const QString &path, const std::vector<TGast> &list, const std::vector<int> &indexes)
{
    saveCsvFile(path, guestListRows(list, indexes), kGuestListCodePage);
}

} // namespace exchange
