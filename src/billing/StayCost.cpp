#include "billing/StayCost.h"

#include "platform/Convert.h"
#include "register/GuestList.h"
#include "register/Rooms.h"
#include "register/StayText.h"

#include <QLocale>
#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace billing {

using guests::GuestList;
using guests::GuestName;
using guests::Naechte;
using guests::RoomMask;
using guests::StayText;
using guests::TGast;

namespace {

const QString kAbreiseVorAnreise = QStringLiteral("Abreise liegt vor Anreise: die Kosten werden nicht berechnet");

std::size_t preisZeile(const TGast &g)
{
    return g.Personen > 4 ? 4 : static_cast<std::size_t>(std::max(g.Personen, 1) - 1);
}

std::size_t preisSpalte(qint32 nights)
{
    return static_cast<std::size_t>(std::clamp(nights, 1, 3) - 1);
}

QString warumUnbekannt(PreisZustand zustand)
{
    switch (zustand) {
    case PreisZustand::KeineZahl: return QStringLiteral("ist keine Zahl");
    case PreisZustand::Negativ: return QStringLiteral("ist negativ");
    case PreisZustand::ZuHoch:
        return QStringLiteral("ist größer als %1 Euro")
            .arg(QLocale(QLocale::German, QLocale::Germany).toString(kHoechsterPreis));
    default: return QStringLiteral("fehlt");
    }
}

qint64 cents(double euros)
{
    return std::llround(euros * 100);
}

QString naechteText(qint32 nights)
{
    return nights == 1 ? QStringLiteral("1 Nacht") : QStringLiteral("%1 Nächte").arg(nights);
}

// Both rules end alike once it is settled that the list's amount is wanted.
KostenVorschlag listenbetrag(const TGast &g, const KostenLage &lage, bool aufWunsch)
{
    if (g.ReNr != 0)
        return {std::nullopt, QStringLiteral("Rechnung Nr. %1 ist gestellt: die Kosten bleiben %2 Euro")
                                  .arg(g.ReNr)
                                  .arg(EuroText(g.Kosten))};
    if (g.Bis < g.Von)
        return {std::nullopt, kAbreiseVorAnreise};
    if (lage.matrix == nullptr)
        return {std::nullopt, (lage.ohneListe.isEmpty() ? QStringLiteral("Preismatrix.dat fehlt") : lage.ohneListe) +
                                  QStringLiteral(": die Kosten werden nicht berechnet")};
    const Listenpreis preis = PreisNachListe(g, *lage.matrix);
    if (!preis.kosten)
        return {std::nullopt, preis.warumNicht};
    const double kosten = *preis.kosten;
    const double vorher = g.Kosten;
    if (kosten > lage.maximum || kosten < 0)
        return {std::nullopt, QStringLiteral("Die berechneten Kosten von %1 Euro passen nicht in das Feld; "
                                             "die Kosten bleiben %2 Euro")
                                  .arg(EuroText(kosten), EuroText(vorher))};
    if (aufWunsch)
        return {kosten, vorher == 0 ? QStringLiteral("Kosten nach Preisliste: %1 Euro").arg(EuroText(kosten))
                        : cents(vorher) == cents(kosten)
                            ? QStringLiteral("Kosten nach Preisliste: %1 Euro (unverändert)").arg(EuroText(kosten))
                            : QStringLiteral("Kosten nach Preisliste: %1 Euro (vorher %2 Euro)")
                                  .arg(EuroText(kosten), EuroText(vorher))};
    if (vorher != 0 && cents(kosten) != cents(vorher))
        return {
            kosten,
            QStringLiteral("Kosten neu berechnet: %1 Euro (vorher %2 Euro)").arg(EuroText(kosten), EuroText(vorher))};
    return {kosten, QString()};
}

} // namespace

int AnzahlZimmer(const QString &Zimmer)
{
    return std::popcount(RoomMask(Zimmer));
}

double Uebernachtungskosten(const TGast &g, const TPreisMatrix &m)
{
    const qint32 nights = Naechte(g);
    if (nights == 0)
        return 0;
    const std::size_t column = static_cast<std::size_t>(std::min(nights, 3) - 1);
    const std::size_t row = g.Personen > 4 ? 4 : static_cast<std::size_t>(std::max(g.Personen, 1) - 1);
    const qint32 price = m.Preis[row][column];

    // Nights × price fits 63 bits; its magnitude times at most three rooms still fits 64 bits
    // unsigned, so the result is exact until the single rounding to double.
    const qint64 perRoom = qint64(nights) * price;
    const quint64 magnitude = quint64(perRoom < 0 ? -perRoom : perRoom) * quint64(AnzahlZimmer(g.Zimmer));
    const double cost = static_cast<double>(magnitude);
    return perRoom < 0 ? -cost : cost;
}

Listenpreis PreisNachListe(const TGast &g, const TPreisMatrix &m)
{
    Listenpreis result;
    result.naechte = Naechte(g);
    if (g.Bis < g.Von) {
        result.warumNicht = kAbreiseVorAnreise;
        return result;
    }
    if (result.naechte > 0 && AnzahlZimmer(g.Zimmer) > 0) {
        const std::size_t row = preisZeile(g);
        const std::size_t column = preisSpalte(result.naechte);
        if (!m.bekannt(row, column)) {
            result.warumNicht = QStringLiteral("Preismatrix.dat, %1 %2: die Kosten werden nicht berechnet")
                                    .arg(PreisStelle(row, column), warumUnbekannt(m.Zustand[row][column]));
            return result;
        }
    }
    result.kosten = static_cast<double>(Uebernachtungskosten(g, m));
    return result;
}

Kostenbasis KostenbasisVon(const TGast &g)
{
    return {g.Zimmer, g.Personen, g.Von, g.Bis};
}

KostenVorschlag KostenBeimEintritt(const TGast &g, const KostenLage &lage)
{
    // A typed or computed amount is the host's: it stays while the stay it was meant for does.
    const bool stayChanged = lage.basis && *lage.basis != KostenbasisVon(g);
    if (g.ReNr == 0 && g.Kosten != 0 && !stayChanged)
        return {std::nullopt, g.Bis < g.Von ? kAbreiseVorAnreise : QString()};
    return listenbetrag(g, lage, false);
}

KostenVorschlag KostenBerechnen(const TGast &g, const KostenLage &lage)
{
    return listenbetrag(g, lage, true);
}

std::optional<Preisvergleich> VergleichMitPreisliste(const TGast &g, const TPreisMatrix *matrix)
{
    if (matrix == nullptr || g.Kosten == 0)
        return std::nullopt;
    const Listenpreis preis = PreisNachListe(g, *matrix);
    if (!preis.kosten || cents(*preis.kosten) == cents(g.Kosten))
        return std::nullopt;
    Preisvergleich vergleich{g.Kosten, *preis.kosten, preis.naechte, QString()};
    vergleich.frage = QStringLiteral("Rechnung für %1, %2:\n\nKosten %3 € – nach Preisliste %4 € für %5\n\n"
                                     "Welcher Betrag soll auf die Rechnung?")
                          .arg(GuestName(g), StayText(g), EuroText(vergleich.eingetragen), EuroText(vergleich.liste),
                               naechteText(vergleich.naechte));
    return vergleich;
}

QString UngewoehnlicherBetragFrage(const TGast &g, const TPreisMatrix *matrix)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    const std::optional<Listenpreis> liste =
        matrix ? std::optional<Listenpreis>(PreisNachListe(g, *matrix)) : std::nullopt;
    const bool ausListe = liste && liste->kosten && (g.Kosten == 0 || cents(g.Kosten) == cents(*liste->kosten));
    const double kosten = g.Kosten != 0 ? g.Kosten : ausListe ? *liste->kosten : 0;

    QStringList auffaellig;
    if (kosten > kUngewoehnlicheKosten)
        auffaellig << QStringLiteral("Die Kosten von %1 € für %2 sind ungewöhnlich hoch.")
                          .arg(german.toString(kosten, 'f', 2), naechteText(Naechte(g)));
    // The list's price is asked about only when it is what the invoice charges.
    if (ausListe && Naechte(g) > 0) {
        const std::size_t row = preisZeile(g);
        const std::size_t column = preisSpalte(Naechte(g));
        if (const qint32 preis = matrix->Preis[row][column];
            matrix->bekannt(row, column) && preis > kUngewoehnlicherPreis)
            auffaellig << QStringLiteral("Der Preis von %1 € pro Zimmer und Nacht in Preismatrix.dat (%2) ist "
                                         "ungewöhnlich hoch.")
                              .arg(german.toString(double(preis), 'f', 2), PreisStelle(row, column));
    }
    if (auffaellig.isEmpty())
        return {};
    return auffaellig.join(u' ') + QStringLiteral(" Trotzdem eine Rechnung darüber drucken?");
}

KostenBezuege::KostenBezuege(const GuestList &list, QObject *parent) : QObject(parent), list_(list)
{
    const auto reset = [this] {
        eintraege_.clear();
        for (int i = 0; i < list_.size(); ++i)
            eintraege_.push_back(eintragVon(i));
    };
    reset();
    connect(&list_, &GuestList::listReset, this, reset);
    connect(&list_, &GuestList::recordInserted, this, [this](int index) {
        eintraege_.insert(eintraege_.begin() + std::clamp<qsizetype>(index, 0, qsizetype(eintraege_.size())),
                          eintragVon(index));
    });
    connect(&list_, &GuestList::recordRemoved, this, [this](int index) {
        if (index >= 0 && std::size_t(index) < eintraege_.size())
            eintraege_.erase(eintraege_.begin() + index);
    });
    connect(&list_, &GuestList::recordChanged, this, &KostenBezuege::geaendert);
}

KostenBezuege::Eintrag KostenBezuege::eintragVon(int index) const
{
    const TGast &g = list_.at(index);
    return {KostenbasisVon(g), g.Kosten};
}

void KostenBezuege::geaendert(int index)
{
    if (index < 0 || std::size_t(index) >= eintraege_.size())
        return;
    // A new amount is meant for the stay shown with it; a changed stay alone leaves the amount
    // standing for the stay it was meant for.
    if (list_.at(index).Kosten != eintraege_[std::size_t(index)].kosten)
        festhalten(index);
}

void KostenBezuege::festhalten(int index)
{
    if (index >= 0 && std::size_t(index) < eintraege_.size())
        eintraege_[std::size_t(index)] = eintragVon(index);
}

Kostenbasis KostenBezuege::basis(int index) const
{
    return index >= 0 && std::size_t(index) < eintraege_.size() ? eintraege_[std::size_t(index)].basis
                                                                : KostenbasisVon(list_.at(index));
}

QString EuroText(double euros)
{
    return platform::FormatFixed(euros, 0, 2);
}

} // namespace billing
