#include "register/GuestSearch.h"

#include <algorithm>
#include <array>

namespace guests {

namespace {

// Separates the fields of a search text, and the second form from the first; never typed.
constexpr char kFeld = '\x1f';
constexpr char kForm = '\x1e';

void AppendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The search form of one character beyond ASCII.
std::string FoldOne(char32_t c)
{
    switch (c) {
    case U'ß':
    case U'ẞ': return "ss";
    case U'Æ':
    case U'æ': return "ae";
    case U'Œ':
    case U'œ': return "oe";
    case U'Ø':
    case U'ø': return "o";
    case U'Ł':
    case U'ł': return "l";
    case U'Đ':
    case U'đ': return "d";
    case U'Þ':
    case U'þ': return "th";
    default: break;
    }
    const auto category = QChar::category(c);
    if (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing ||
        category == QChar::Mark_SpacingCombining || category == QChar::Other_Control || category == QChar::Other_Format)
        return {};
    char32_t base = c;
    // A letter with an accent or umlaut is its letter followed by the marks.
    if (QChar::decompositionTag(base) == QChar::Canonical) {
        const QString parts = QChar::decomposition(base);
        if (!parts.isEmpty())
            base = parts.at(0).unicode();
    }
    if (QChar::isSpace(base))
        return " ";
    std::string out;
    AppendUtf8(out, QChar::toCaseFolded(base));
    return out;
}

// Latin letters come up in nearly every name; look them up instead of decomposing each time.
constexpr char32_t kTableEnd = 0x250;
const std::array<std::string, kTableEnd> &LatinTable()
{
    static const std::array<std::string, kTableEnd> table = [] {
        std::array<std::string, kTableEnd> t;
        for (char32_t c = 0; c < kTableEnd; ++c) {
            if (c < 0x20 || c == 0x7F)
                t[c] = std::string();
            else if (c < 0x80)
                t[c] = std::string(1, static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c));
            else
                t[c] = FoldOne(c);
        }
        return t;
    }();
    return table;
}

// Whether a search form holds a spelled-out umlaut ("ae", "oe", "ue") at all.
bool HatUmlautSchreibung(std::string_view text)
{
    for (std::size_t i = text.find('e', 1); i != std::string_view::npos; i = text.find('e', i + 1)) {
        const char before = text[i - 1];
        if (before == 'a' || before == 'o' || before == 'u')
            return true;
    }
    return false;
}

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

void AppendSuchForm(std::string &out, QStringView text)
{
    const auto &table = LatinTable();
    const qsizetype n = text.size();
    // Written through a pointer into a buffer kept from call to call: this runs over every field of
    // every record when the list is opened, and growing a string byte by byte would be the most of it.
    thread_local std::string buffer;
    const std::size_t room = static_cast<std::size_t>(n) * 4 + 8;
    if (buffer.size() < room)
        buffer.resize(room);
    char *p = buffer.data();
    std::size_t at = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80) {
            if (u >= 'A' && u <= 'Z')
                p[at++] = static_cast<char>(u + ('a' - 'A'));
            else if (u >= 0x20 && u != 0x7F)
                p[at++] = static_cast<char>(u);
            continue;
        }
        std::string folded;
        const std::string *part = &folded;
        if (u < kTableEnd) {
            part = &table[u];
        } else {
            char32_t c = u;
            if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
                c = QChar::surrogateToUcs4(u, text[i + 1].unicode());
                ++i;
            } else if (QChar::isSurrogate(u)) {
                continue; // half a pair names no character
            }
            folded = FoldOne(c);
        }
        // A character folds to at most four bytes ("ss", "th", a letter beyond Latin) but check anyway.
        if (at + part->size() + static_cast<std::size_t>(n - i) * 4 > buffer.size()) {
            buffer.resize(at + part->size() + static_cast<std::size_t>(n - i) * 4 + 8);
            p = buffer.data();
        }
        part->copy(p + at, part->size());
        at += part->size();
    }
    out.append(p, at);
}

std::string SuchForm(QStringView text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    AppendSuchForm(out, text);
    return out;
}

std::string OhneUmlautSchreibung(const std::string &suchForm)
{
    // From one "e" to the next: only an "e" after "a", "o" or "u" is left out.
    const std::string_view text(suchForm);
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t e = text.find('e', 1); e != std::string_view::npos; e = text.find('e', e + 1)) {
        const char before = text[e - 1];
        if (before != 'a' && before != 'o' && before != 'u')
            continue;
        out.append(text.substr(from, e - from));
        from = e + 1;
        // "uee" leaves the second "e": the pair is gone, what follows is read afresh.
        if (e + 1 < text.size() && text[e + 1] == 'e')
            e = e + 1;
    }
    out.append(text.substr(from));
    return out;
}

std::string Suchtext(const TGast &gast)
{
    std::string text;
    text.reserve(static_cast<std::size_t>(gast.Name.size() + gast.Ort.size() + gast.Strasse.size() +
                                          gast.Telefon.size() + gast.EMail.size() + gast.Bemerkung.size()) *
                     2 +
                 8);
    // Name, place and street first: only they are also kept in the second form, since only there
    // is an umlaut written out one way and searched the other ("Mueller" / "Müller").
    bool first = true;
    std::size_t namen = 0;
    for (const QString *field : {&gast.Name, &gast.Ort, &gast.Strasse, &gast.Telefon, &gast.EMail, &gast.Bemerkung}) {
        if (!first)
            text += kFeld;
        first = false;
        AppendSuchForm(text, *field);
        if (field == &gast.Strasse)
            namen = text.size();
    }
    // The second form only where it differs: most names have no spelled-out umlaut.
    const std::string namenTeil = text.substr(0, namen);
    if (HatUmlautSchreibung(namenTeil)) {
        text += kForm;
        text += OhneUmlautSchreibung(namenTeil);
    }
    return text;
}

Suche::Suche(const QString &eingabe)
{
    const QString trimmed = eingabe.simplified();
    if (!trimmed.isEmpty() && std::all_of(trimmed.begin(), trimmed.end(), IsDigit)) {
        ziffern_ = trimmed.toStdString();
        // Guest and invoice numbers have at most nine digits; a longer number is a telephone number.
        if (trimmed.size() <= 9)
            nummer_ = trimmed.toInt();
        return;
    }
    for (const QString &word : trimmed.split(u' ', Qt::SkipEmptyParts)) {
        Wort wort;
        wort.form = SuchForm(word);
        if (wort.form.empty())
            continue;
        wort.ohneSchreibung = OhneUmlautSchreibung(wort.form);
        woerter_.push_back(std::move(wort));
    }
}

bool Suche::passt(const TGast &gast, const std::string &suchtext) const
{
    if (!ziffern_.empty()) {
        if (nummer_ && (gast.GastNr == *nummer_ || (gast.ReNr != 0 && gast.ReNr == *nummer_)))
            return true;
        // "0561 12345", "0561/12345" and "+49 561 12345" all hold the digits typed.
        std::string ziffern;
        ziffern.reserve(static_cast<std::size_t>(gast.Telefon.size()));
        for (const QChar c : gast.Telefon)
            if (IsDigit(c))
                ziffern += static_cast<char>(c.unicode());
        return ziffern.find(ziffern_) != std::string::npos;
    }
    const std::string_view text(suchtext);
    for (const Wort &wort : woerter_) {
        if (text.find(wort.form) == std::string_view::npos &&
            (wort.ohneSchreibung == wort.form || text.find(wort.ohneSchreibung) == std::string_view::npos))
            return false;
    }
    return true;
}

} // namespace guests
