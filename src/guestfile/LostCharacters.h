#pragma once
// Characters the guest file cannot hold: it is written in the ANSI code page (Windows-1252 on
// German systems), which has no "Ł" or "ř". A save would write "?" for them, so the host is asked
// first, with the guests and the characters named.

#include "register/TGast.h"

#include <QString>
#include <vector>

namespace guestfile {

struct LostCharacters
{
    qsizetype index = 0; // of the record in the list
    QString guest;       // the guest's name, or "Datensatz <index>" when it has none
    QString characters;  // the characters that would be lost, each once
};

// The records whose texts hold characters the code page cannot hold, in list order.
std::vector<LostCharacters> CharactersLostOnSave(const std::vector<guests::TGast> &records);

// The Ja/Nein question before saving such records ("Ja" saves them with "?"); empty when there
// are none.
QString LostCharactersQuestion(const std::vector<LostCharacters> &lost);

} // namespace guestfile
