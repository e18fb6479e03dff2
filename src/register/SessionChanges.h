#pragma once
// Which records of a guest list the host changed since it was read or last saved, for questions
// that concern only the host's own recent work. Kept in memory; nothing of it is saved.

#include "register/TGast.h"

#include <QObject>
#include <QString>
#include <vector>

namespace guests {

class GuestList;

class SessionChanges : public QObject
{
    Q_OBJECT

public:
    // Follows the list's changes, insertions, removals and resets by itself.
    explicit SessionChanges(const GuestList &list, QObject *parent = nullptr);

    bool changed(int index) const;
    // After a save: what is in the file is no recent change any more.
    void forget();

private:
    const GuestList &list_;
    std::vector<bool> changed_;
};

// The question before saving while records changed in this session end before they begin, naming
// each guest and stay; empty when there is none.
QString AbreiseVorAnreiseFrage(const GuestList &list, const SessionChanges &changes);

} // namespace guests
