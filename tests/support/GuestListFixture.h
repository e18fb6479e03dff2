#pragma once
// Eight bookings around Thursday 20 February 2025 (the fixed "today" of the tests), each made to
// fall into some filters and not into others, with umlauts and spelled-out umlauts in the names.
//
// | Nr | Name           | Ort       | stay                  | invoice        | why it is here
// |  1 | Hans Müller    | Kassel    | 18.02.–21.02., Zi. 1  | 17, unpaid     | in the house, leaves tomorrow
// |  2 | Eva Mueller    | Köln      | 20.02.–22.02., Zi. 2  | none           | arrives today
// |  3 | Jörg Schäfer   | Göttingen | 15.02.–20.02., Zi. 3  | 18, paid       | leaves today
// |  4 | Anna Weiß      | München   | 21.03.–24.03., Zi. 1  | none           | arrives on the 30th day
// |  5 | Paul Großmann  | Hamm      | 22.03.–25.03., Zi. 2  | none           | arrives on the 31st day
// |  6 | Olga Becker    | Fulda     | 10.01.–12.01.2024     | 5, paid        | last year; telephone, e-mail, remark
// |  7 | Tagesgast Roth | Korbach   | 20.02.–20.02., Zi. 3  | 19, unpaid     | no night
// | 12 | Ärzte Team     | Eschwege  | 19.02.–23.02., Zi. 13 | none           | two rooms, a guest number above the
// index

#include "platform/DayNumber.h"
#include "register/TGast.h"

#include <QTime>

#include <vector>

namespace fixture {

inline guests::TGast Booking(qint32 nr, const char *name, const char *ort, QDate von, QDate bis, const char *zimmer)
{
    guests::TGast g;
    g.GastNr = nr;
    g.Name = QString::fromUtf8(name);
    g.Ort = QString::fromUtf8(ort);
    g.Von = platform::DateToDay(von);
    g.Bis = platform::DateToDay(bis);
    g.Anreise = platform::TimeToFraction(QTime(15, 0));
    g.Abreise = platform::TimeToFraction(QTime(10, 0));
    g.Zimmer = QString::fromUtf8(zimmer);
    g.Personen = 2;
    return g;
}

inline std::vector<guests::TGast> Gaeste()
{
    std::vector<guests::TGast> list(1);
    list.push_back(Booking(1, "Hans Müller", "Kassel", QDate(2025, 2, 18), QDate(2025, 2, 21), "1"));
    list.back().Strasse = QStringLiteral("Königstraße 3");
    list.back().PLZ = 34117;
    list.back().Kosten = 180;
    list.back().ReNr = 17;
    list.back().Schluessel = true;
    list.back().Bemerkung = QStringLiteral("spät, nach 22 Uhr");
    list.push_back(Booking(2, "Eva Mueller", "Köln", QDate(2025, 2, 20), QDate(2025, 2, 22), "2"));
    list.back().Anreise = platform::TimeToFraction(QTime(18, 30));
    list.back().Kosten = 120.5f;
    list.back().Personen = 1;
    list.push_back(Booking(3, "Jörg Schäfer", "Göttingen", QDate(2025, 2, 15), QDate(2025, 2, 20), "3"));
    list.back().Kosten = 400;
    list.back().ReNr = 18;
    list.back().Bezahlt = true;
    list.push_back(Booking(4, "Anna Weiß", "München", QDate(2025, 3, 21), QDate(2025, 3, 24), "1"));
    list.push_back(Booking(5, "Paul Großmann", "Hamm", QDate(2025, 3, 22), QDate(2025, 3, 25), "2"));
    list.back().Strasse = QStringLiteral("Hauptstraße 5");
    list.push_back(Booking(6, "Olga Becker", "Fulda", QDate(2024, 1, 10), QDate(2024, 1, 12), "2"));
    list.back().Telefon = QStringLiteral("0661 / 98 76 54");
    list.back().EMail = QStringLiteral("o.becker@example.de");
    list.back().Bemerkung = QStringLiteral("Allergie gegen Nüsse");
    list.back().ReNr = 5;
    list.back().Bezahlt = true;
    list.back().Kosten = 95;
    list.push_back(Booking(7, "Tagesgast Roth", "Korbach", QDate(2025, 2, 20), QDate(2025, 2, 20), "3"));
    list.back().ReNr = 19;
    list.back().Kosten = 25;
    list.push_back(Booking(12, "Ärzte Team", "Eschwege", QDate(2025, 2, 19), QDate(2025, 2, 23), "13"));
    list.back().Personen = 4;
    list.back().Kosten = 640;
    return list;
}

// The fixed "today" of the tests.
inline QDate Heute()
{
    return QDate(2025, 2, 20);
}

} // namespace fixture
