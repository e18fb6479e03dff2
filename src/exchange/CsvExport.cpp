#include "exchange/CsvExport.h"

#include "platform/AnsiText.h"
#include "platform/Convert.h"

#include <QStringList>

#include <cmath>

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

QStringList CsvKopf()
{
    return {QStringLiteral("Nr."),          QStringLiteral("Name"),        QStringLiteral("Straße"),
            QStringLiteral("PLZ"),          QStringLiteral("Ort"),         QStringLiteral("Telefon"),
            QStringLiteral("E-Mail"),       QStringLiteral("Anreise"),     QStringLiteral("Anreisezeit"),
            QStringLiteral("Abreise"),      QStringLiteral("Abreisezeit"), QStringLiteral("Nächte"),
            QStringLiteral("Zimmer"),       QStringLiteral("Personen"),    QStringLiteral("Kosten"),
            QStringLiteral("Rechnung Nr."), QStringLiteral("Bezahlt"),     QStringLiteral("Schlüssel"),
            QStringLiteral("Bemerkung")};
}

QString CsvFeld(const QString &text, bool istText)
{
    QString field = text;
    // A spreadsheet also runs a formula behind a leading TAB or CR.
    if (istText && !field.isEmpty() && QStringView(u"=+-@\t\r").contains(field.front()))
        field.prepend(u'\'');
    const bool quote = field.contains(u';') || field.contains(u'"') || field.contains(u'\n') || field.contains(u'\r') ||
                       field != field.trimmed();
    if (!quote)
        return field;
    field.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + field + u'"';
}

QByteArray GaesteAlsCsv(const std::vector<TGast> &list, const std::vector<int> &indexes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(indexes.size()) * 160 + 200);
    const auto line = [&text](const QStringList &fields) {
        text += fields.join(u';');
        text += QStringLiteral("\r\n");
    };
    line(CsvKopf());
    for (const int index : indexes) {
        const TGast &g = list.at(static_cast<std::size_t>(index));
        const bool dated = g.Von != 0 || g.Bis != 0;
        line({QString::number(g.GastNr), CsvFeld(g.Name, true), CsvFeld(g.Strasse, true),
              g.PLZ == 0 ? QString() : QString::number(g.PLZ), CsvFeld(g.Ort, true), CsvFeld(g.Telefon, true),
              CsvFeld(g.EMail, true), Datum(g.Von), dated ? Uhrzeit(g.Anreise) : QString(), Datum(g.Bis),
              dated ? Uhrzeit(g.Abreise) : QString(), dated ? QString::number(Naechte(g)) : QString(),
              CsvFeld(g.Zimmer, true), QString::number(g.Personen),
              CsvFeld(platform::FormatFixed(g.Kosten, 0, 2), false), g.ReNr == 0 ? QString() : QString::number(g.ReNr),
              JaNein(g.Bezahlt), JaNein(g.Schluessel), CsvFeld(g.Bemerkung, true)});
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

void ExportiereCsv(const QString &path, const std::vector<TGast> &list, const std::vector<int> &indexes)
{
    platform::SaveFileAtomic(path, GaesteAlsCsv(list, indexes));
}
