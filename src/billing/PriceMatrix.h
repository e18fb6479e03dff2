#pragma once
// Room prices by number of persons and length of stay, read from "Preismatrix.dat".

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>

inline constexpr char kPreisMatrixDatei[] = "Preismatrix.dat";

struct TPreisMatrix
{
    // Preis[row][column] in whole euros per night and room. Rows 0..3: 1..4 persons, row 4: more
    // than 4 persons. Columns 0..2: a stay of 1 night, 2 nights, 3 or more nights.
    std::array<std::array<qint32, 3>, 5> Preis{};
};

// Reads the five lines of the price file, three values each separated by ';'. Missing lines or
// fields and values that are no whole number give 0; anything after the third value and after the
// fifth line is ignored, and only the file's first 64 KiB are read. Returns false, leaving the
// matrix as it was, when the file cannot be read or is no ordinary file.
bool LiesPreisMatrix(const QString &path, TPreisMatrix &matrix);
// The same reading of lines already taken from the file.
void PreisMatrixAusZeilen(const QStringList &lines, TPreisMatrix &matrix);
