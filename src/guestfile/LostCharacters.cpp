#include "guestfile/LostCharacters.h"

#include "guestfile/GuestFile.h"
#include "platform/AnsiText.h"

#include <QStringList>

namespace guestfile {

using guests::TGast;

namespace {

// Shown one by one; the rest are counted, so that the question still fits on the screen.
constexpr qsizetype kGuestsNamed = 10;

} // namespace

std::vector<LostCharacters> CharactersLostOnSave(const std::vector<TGast> &records)
{
    std::vector<LostCharacters> lost;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const TGast &g = records[i];
        // Every text of the record, one per line, checked at once.
        QString all;
        for (const QString *text : {&g.Zimmer, &g.Name, &g.Strasse, &g.Ort, &g.Telefon, &g.EMail, &g.Bemerkung})
            all += *text + u'\n';
        const QString characters = platform::CharactersAnsiLacks(all);
        if (characters.isEmpty())
            continue;
        const auto index = static_cast<qsizetype>(i);
        lost.push_back({index,
                        g.Name.trimmed().isEmpty() ? QStringLiteral("Datensatz %1").arg(index) : g.Name.trimmed(),
                        characters});
    }
    return lost;
}

QString LostCharactersQuestion(const std::vector<LostCharacters> &lost)
{
    if (lost.empty())
        return {};
    QStringList lines;
    for (const LostCharacters &one : lost) {
        if (lines.size() == kGuestsNamed) {
            lines << QStringLiteral("… und %1 weitere").arg(static_cast<qsizetype>(lost.size()) - kGuestsNamed);
            break;
        }
        QStringList shown;
        for (qsizetype i = 0; i < one.characters.size(); ++i) {
            const qsizetype length = one.characters.at(i).isHighSurrogate() && i + 1 < one.characters.size() ? 2 : 1;
            shown << one.characters.mid(i, length);
            i += length - 1;
        }
        lines << one.guest + QStringLiteral(": ") + shown.join(u' ');
    }
    return QStringLiteral("Diese Zeichen kann %1 nicht speichern; sie würden als „?“ gespeichert:\n\n%2\n\n"
                          "Trotzdem speichern?")
        .arg(QString::fromLatin1(kGuestFileName), lines.join(u'\n'));
}

} // namespace guestfile
