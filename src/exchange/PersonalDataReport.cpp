#include "exchange/PersonalDataReport.h"

#include "exchange/GuestListCsv.h"
#include "platform/Convert.h"
#include "register/StayText.h"

namespace exchange {

using guests::StayText;
using guests::TGast;

QList<QStringList> personalDataRows(const std::vector<TGast> &records, const std::vector<int> &indexes)
{
    return guestListRows(records, indexes);
}

PersonalDataReport personalDataReport(const std::vector<TGast> &records, const std::vector<int> &indexes,
                                      platform::TDateTime now)
{
    PersonalDataReport report;
    report.title = QStringLiteral("Auskunft über gespeicherte Daten");
    // The fields are labelled as the CSV's header labels them: one list of what is stored.
    const QList<QStringList> rows = personalDataRows(records, indexes);
    const QStringList &header = rows.front();
    if (!indexes.empty()) {
        const TGast &g = records.at(static_cast<std::size_t>(indexes.front()));
        report.intro << QStringLiteral("Person: %1").arg(g.Name);
    }
    report.intro << QStringLiteral("Stand: %1 %2").arg(platform::DateToStr(now), platform::TimeToStr(now))
                 << QStringLiteral("Gespeicherte Aufenthalte: %1").arg(indexes.size())
                 << QStringLiteral("Ausgestellte Rechnungen werden nach dem Steuerrecht acht Jahre ab Ende des "
                                   "Ausstellungsjahres aufbewahrt.");
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const TGast &g = records.at(static_cast<std::size_t>(indexes.at(static_cast<std::size_t>(r - 1))));
        PersonalDataReport::Stay stay;
        stay.heading = QStringLiteral("Aufenthalt ") + StayText(g);
        for (qsizetype c = 0; c < header.size(); ++c)
            stay.fields.emplace_back(header.at(c), rows.at(r).value(c));
        report.stays.push_back(stay);
    }
    return report;
}

} // namespace exchange
