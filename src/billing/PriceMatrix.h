#pragma once
// Room prices by number of persons and length of stay, read from "Preismatrix.dat".

#include "platform/DataFolderLayout.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>

namespace billing {

inline constexpr const auto &kPreisMatrixDatei = platform::layout::kPriceList;

// What the price file held in one place of the matrix. Anything but `Da` is an unknown price:
// nothing is computed from it. `ZuHoch`: above kHoechsterPreis, which no price list can mean.
enum class PreisZustand : quint8 { Da, Fehlt, KeineZahl, Negativ, ZuHoch };

struct TPreisMatrix
{
    // Preis[row][column] in whole euros per night and room. Rows 0..3: 1..4 persons, row 4: more
    // than 4 persons. Columns 0..2: a stay of 1 night, 2 nights, 3 or more nights.
    std::array<std::array<qint32, 3>, 5> Preis{};
    // Whether each price was in the file as a number of at least 0; all known unless read.
    std::array<std::array<PreisZustand, 3>, 5> Zustand{};

    bool bekannt(std::size_t row, std::size_t column) const { return Zustand[row][column] == PreisZustand::Da; }
};

// Reads the five lines of the price file, three values each separated by ';'. Missing lines or
// fields and values that are no whole number give 0 and are marked unknown, as are negative
// values and values above kHoechsterPreis (these give 0 too, so nothing huge is computed);
// anything after the third value and after the fifth line is ignored, and only the file's first
// 64 KiB are read. Returns false, leaving the matrix as it was, when the file cannot be read or
// is no ordinary file.
bool LiesPreisMatrix(const QString &path, TPreisMatrix &matrix);
// The same reading of lines already taken from the file.
void PreisMatrixAusZeilen(const QStringList &lines, TPreisMatrix &matrix);

// The highest price a place of the matrix may hold, in whole euros.
inline constexpr qint32 kHoechsterPreis = 99999;

// Why a price cannot go into the price file ("… ist 100000 Euro; erlaubt sind 0 bis 99.999
// Euro"), naming the place; empty when it can.
QString PreisFehler(std::size_t row, std::size_t column, qint32 value);

// The price file's bytes for a matrix: five lines of three whole numbers separated by ';', in the
// ANSI code page with CR LF, as LiesPreisMatrix reads them.
QByteArray PreisMatrixBytes(const TPreisMatrix &matrix);

// Where the price file's previous version is kept when a new one is saved: beside it, as
// "Preismatrix.dat.bak".
QString PreisMatrixSicherung(const QString &path);

// Saves the matrix as the price file at `path`. Every price must be known and lie within
// 0..kHoechsterPreis; otherwise EConvertError names each wrong place and nothing is written. A
// file that holds other prices is first kept as PreisMatrixSicherung(path); then the new file
// replaces it whole and is on the disk before this returns (a failure leaves the old file). The
// same prices again change nothing, so the kept version stays the one before the last change.
// Throws EInOutError when the old file cannot be read or a file cannot be written.
void SchreibePreisMatrix(const QString &path, const TPreisMatrix &matrix);

// Which price a place of the matrix is, in the host's words: "Zeile 2 (2 Personen), Feld 3 (ab 3 Nächten)".
QString PreisStelle(std::size_t row, std::size_t column);

// The unknown prices of a matrix, one line each ("Zeile 4 (4 Personen), Feld 2 (2 Nächte): keine
// Zahl"); empty when every price is known.
QStringList PreisMatrixMaengel(const TPreisMatrix &matrix);

// What the search for the price file found.
struct PreislisteGelesen
{
    bool gelesen = false; // the matrix holds the file's prices
    QString pfad;         // the file that was read, or the one that could not be
    // What the host is told: why there is no price list (naming where it was looked for), or
    // which prices in it are unknown. Empty when all is well.
    QString meldung;
    // The same in a few words, for the status line when a cost cannot be computed.
    QString kurz;
};

// Looks for the price file in the data folder (none while it is empty), then in the start folder,
// and reads the first one found. Something by that name that is no ordinary file (a pipe, a
// folder) is reported as what it is and not passed over. On failure the matrix is left as it was.
PreislisteGelesen SuchePreisMatrix(const QString &dataFolder, const QString &startFolder, TPreisMatrix &matrix);

} // namespace billing
