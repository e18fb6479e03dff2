#pragma once
// The subscriptions as the host types them into the settings' table: each row checked before
// anything is saved, so a typing slip is said at once and not found later as a left-out line.

#include "exchange/PortalFiles.h"

#include <QStringList>

#include <vector>

namespace exchange {

// A row of the table as typed: room, name and address, each a text.
struct SubscriptionRow
{
    QString room;
    QString name;
    QString address;
};

struct CheckedSubscriptions
{
    std::vector<Subscription> subscriptions; // complete only when `faults` is empty
    QStringList faults;                      // one German line per fault, naming its row
};

// Checks every row: a room of the house ("2" or "Zimmer 2"), a name, an address the program can
// fetch, and no second subscription of the same name (case ignored) in one room. Rows left wholly
// empty are no subscription.
CheckedSubscriptions checkSubscriptionRows(const std::vector<SubscriptionRow> &rows);

} // namespace exchange
