#pragma once
// Finding guests by what the host remembers of them: a name typed without umlauts ("muller"), with
// the umlaut spelled out ("Mueller") or in any case finds "Müller".

#include "register/TGast.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace guests {

// A text as the search compares it, in UTF-8: lower case, accents and umlauts reduced to their
// letter ("Ü" → "u", "é" → "e"), "ß" → "ss", control characters dropped.
std::string SuchForm(QStringView text);
// Appends the same to `out`, without a string of its own.
void AppendSuchForm(std::string &out, QStringView text);
// The same with the spelled-out umlauts also reduced ("ae" → "a", "oe" → "o", "ue" → "u"), so
// "Mueller" and "Müller" meet as "muller".
std::string OhneUmlautSchreibung(const std::string &suchForm);

// What a record offers to the search, made once per record: name, street, place, telephone,
// e-mail and remarks in the first form above, name, place and street also in the second; the
// fields kept apart so that no word spans two.
std::string Suchtext(const TGast &gast);

// What the host typed, prepared once for every record.
class Suche
{
public:
    Suche() = default;
    explicit Suche(const QString &eingabe);

    // Nothing typed: every record matches.
    bool leer() const { return woerter_.empty() && ziffern_.empty(); }
    // Each word typed must be found in one of the fields; a number alone finds the guest number,
    // the invoice number or a telephone number that holds its digits.
    bool passt(const TGast &gast, const std::string &suchtext) const;

private:
    struct Wort
    {
        std::string form;           // SuchForm of the word
        std::string ohneSchreibung; // OhneUmlautSchreibung of it
    };
    std::vector<Wort> woerter_;
    std::optional<qint32> nummer_;
    std::string ziffern_; // a number's digits as typed, leading zeros kept (telephone)
};

} // namespace guests
