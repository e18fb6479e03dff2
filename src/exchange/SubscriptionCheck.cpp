#include "exchange/SubscriptionCheck.h"

#include "register/Rooms.h"

#include <QSet>

namespace exchange {

using guests::kRaeume;

namespace {

int roomNumber(const QString &text)
{
    QString room = text.trimmed();
    if (room.startsWith(QStringLiteral("Zimmer"), Qt::CaseInsensitive))
        room = room.mid(6).trimmed();
    bool ok = false;
    const int number = room.toInt(&ok);
    return ok && number >= 1 && number <= kRaeume ? number : 0;
}

} // namespace

CheckedSubscriptions checkSubscriptionRows(const std::vector<SubscriptionRow> &rows)
{
    CheckedSubscriptions result;
    QSet<QString> seen;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const SubscriptionRow &row = rows[i];
        const Subscription s{roomNumber(row.room), row.name.simplified(), row.address.trimmed()};
        if (row.room.trimmed().isEmpty() && s.name.isEmpty() && s.address.isEmpty())
            continue;
        const QString where = QStringLiteral("Zeile %1: ").arg(i + 1);
        const qsizetype before = result.faults.size();
        if (s.room == 0)
            result.faults << where + (row.room.trimmed().isEmpty()
                                          ? QStringLiteral("Das Zimmer fehlt (1 bis %1).").arg(kRaeume)
                                          : QStringLiteral("Ein Zimmer „%1“ gibt es nicht (1 bis %2).")
                                                .arg(row.room.trimmed())
                                                .arg(kRaeume));
        if (s.name.isEmpty())
            result.faults << where + QStringLiteral("Der Name fehlt.");
        if (s.address.isEmpty())
            result.faults << where + QStringLiteral("Die Adresse fehlt.");
        else if (subscriptionUrl(s.address).isEmpty())
            result.faults << where + QStringLiteral("„%1“ ist keine Adresse, die das Programm abrufen kann "
                                                    "(https://…, http://… oder eine .ics-Datei).")
                                         .arg(s.address);
        if (s.room != 0 && !s.name.isEmpty()) {
            const QString key = QString::number(s.room) + u'\n' + s.name.toLower();
            if (seen.contains(key))
                result.faults << where +
                                     QStringLiteral("Zimmer %1 hat schon ein Abonnement „%2“.").arg(s.room).arg(s.name);
            seen.insert(key);
        }
        if (result.faults.size() == before)
            result.subscriptions.push_back(s);
    }
    return result;
}

} // namespace exchange
