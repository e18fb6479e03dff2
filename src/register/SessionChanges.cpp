#include "register/SessionChanges.h"

#include "register/GuestList.h"
#include "register/StayText.h"

#include <QStringList>
#include <algorithm>

namespace guests {

SessionChanges::SessionChanges(const GuestList &list, QObject *parent)
    : QObject(parent), list_(list), changed_(std::size_t(list.size()), false)
{
    connect(&list_, &GuestList::listReset, this, [this] { changed_.assign(std::size_t(list_.size()), false); });
    connect(&list_, &GuestList::recordInserted, this, [this](int index) {
        changed_.insert(changed_.begin() + std::clamp<qsizetype>(index, 0, qsizetype(changed_.size())), true);
    });
    connect(&list_, &GuestList::recordRemoved, this, [this](int index) {
        if (index >= 0 && std::size_t(index) < changed_.size())
            changed_.erase(changed_.begin() + index);
    });
    connect(&list_, &GuestList::recordChanged, this, [this](int index) {
        if (index >= 0 && std::size_t(index) < changed_.size())
            changed_[std::size_t(index)] = true;
    });
}

bool SessionChanges::changed(int index) const
{
    return index >= 0 && std::size_t(index) < changed_.size() && changed_[std::size_t(index)];
}

void SessionChanges::forget()
{
    changed_.assign(std::size_t(list_.size()), false);
}

QString AbreiseVorAnreiseFrage(const GuestList &list, const SessionChanges &changes)
{
    QStringList reversed;
    // Record 0 is no guest.
    for (int i = 1; i < list.size(); ++i)
        if (changes.changed(i) && list.at(i).Bis < list.at(i).Von)
            reversed << GuestAndStay(list.at(i));
    if (reversed.isEmpty())
        return {};
    const QString intro = reversed.size() == 1
                              ? QStringLiteral("Bei dieser Buchung liegt die Abreise vor der Anreise:")
                              : QStringLiteral("Bei diesen Buchungen liegt die Abreise vor der Anreise:");
    return intro + u'\n' + reversed.join(u'\n') + QStringLiteral("\n\nTrotzdem speichern?");
}

} // namespace guests
