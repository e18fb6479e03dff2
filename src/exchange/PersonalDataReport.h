#pragma once
// "Auskunft": everything stored about one person, for a guest who asks what is stored: the rows
// of a CSV file and a plain structure a PDF printer lays out, both with every field of every stay.

#include "platform/DayNumber.h"
#include "register/TGast.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace exchange {

// The header and one row per stay at `indexes`, with every stored field (as the guest list
// exports them).
QList<QStringList> personalDataRows(const std::vector<guests::TGast> &records, const std::vector<int> &indexes);

struct PersonalDataReport
{
    struct Stay
    {
        QString heading;                                 // "Aufenthalt 18.12.2026 bis 20.12.2026"
        std::vector<std::pair<QString, QString>> fields; // label, value; every field, empty ones too
    };
    QString title;     // "Auskunft über gespeicherte Daten"
    QStringList intro; // who, as of when, how many stays, what is kept elsewhere
    std::vector<Stay> stays;
};

// The report on the stays at `indexes` (one person's, see guests::staysOfPerson), as of `now`.
PersonalDataReport personalDataReport(const std::vector<guests::TGast> &records, const std::vector<int> &indexes,
                                      platform::TDateTime now);

} // namespace exchange
