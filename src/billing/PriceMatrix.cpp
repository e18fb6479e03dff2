#include "billing/PriceMatrix.h"

#include "billing/BillingFiles.h"
#include "platform/AnsiText.h"
#include "platform/Convert.h"
#include "platform/Fields.h"
#include "platform/IoError.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace billing {

using platform::NextField;

namespace {

// Five short lines are all that counts: a huge file (or a device that never ends) must not hold
// up the start, so only its beginning is read.
constexpr qsizetype kEnough = 64 * 1024;

QString zuHochText()
{
    return QStringLiteral("größer als %1 Euro")
        .arg(QLocale(QLocale::German, QLocale::Germany).toString(kHoechsterPreis));
}

QString zustandText(PreisZustand zustand)
{
    switch (zustand) {
    case PreisZustand::Fehlt: return QStringLiteral("fehlt");
    case PreisZustand::KeineZahl: return QStringLiteral("keine Zahl");
    case PreisZustand::Negativ: return QStringLiteral("negativ");
    case PreisZustand::ZuHoch: return zuHochText();
    case PreisZustand::Da: break;
    }
    return {};
}

} // namespace

bool LiesPreisMatrix(const QString &path, TPreisMatrix &matrix)
{
    QStringList lines;
    try {
        lines = platform::SplitAnsiLines(platform::ReadFileStart(path, kEnough));
    } catch (const platform::EInOutError &) {
        // The caller tells the user once and goes on with the prices it has.
        return false;
    }
    PreisMatrixAusZeilen(lines, matrix);
    return true;
}

void PreisMatrixAusZeilen(const QStringList &lines, TPreisMatrix &matrix)
{
    const QString separator = QStringLiteral(";");
    for (std::size_t row = 0; row < matrix.Preis.size(); ++row) {
        QString line = static_cast<qsizetype>(row) < lines.size() ? lines.at(static_cast<qsizetype>(row)) : QString();
        for (std::size_t column = 0; column < matrix.Preis[row].size(); ++column) {
            const QString field = NextField(line, separator);
            qint32 value = 0;
            PreisZustand zustand = PreisZustand::Da;
            if (field.trimmed().isEmpty())
                zustand = PreisZustand::Fehlt;
            else if (!platform::TryStrToInt(field, value)) {
                zustand = PreisZustand::KeineZahl;
                value = 0;
            } else if (value < 0) {
                zustand = PreisZustand::Negativ;
            } else if (value > kHoechsterPreis) {
                zustand = PreisZustand::ZuHoch;
                value = 0;
            }
            matrix.Preis[row][column] = value;
            matrix.Zustand[row][column] = zustand;
        }
    }
}

QString PreisStelle(std::size_t row, std::size_t column)
{
    const QString persons = row == 0   ? QStringLiteral("1 Person")
                            : row == 4 ? QStringLiteral("mehr als 4 Personen")
                                       : QStringLiteral("%1 Personen").arg(row + 1);
    const QString nights = column == 0   ? QStringLiteral("1 Nacht")
                           : column == 1 ? QStringLiteral("2 Nächte")
                                         : QStringLiteral("ab 3 Nächten");
    return QStringLiteral("Zeile %1 (%2), Feld %3 (%4)").arg(row + 1).arg(persons).arg(column + 1).arg(nights);
}

QStringList PreisMatrixMaengel(const TPreisMatrix &matrix)
{
    QStringList maengel;
    for (std::size_t row = 0; row < matrix.Zustand.size(); ++row)
        for (std::size_t column = 0; column < matrix.Zustand[row].size(); ++column)
            if (!matrix.bekannt(row, column))
                maengel << PreisStelle(row, column) + QStringLiteral(": ") + zustandText(matrix.Zustand[row][column]);
    return maengel;
}

QString PreisFehler(std::size_t row, std::size_t column, qint32 value)
{
    if (value >= 0 && value <= kHoechsterPreis)
        return {};
    const QLocale german(QLocale::German, QLocale::Germany);
    return QStringLiteral("%1 ist %2 Euro; erlaubt sind 0 bis %3 Euro.")
        .arg(PreisStelle(row, column), german.toString(value), german.toString(kHoechsterPreis));
}

QByteArray PreisMatrixBytes(const TPreisMatrix &matrix)
{
    QStringList lines;
    for (const auto &row : matrix.Preis)
        lines << QStringLiteral("%1;%2;%3").arg(row[0]).arg(row[1]).arg(row[2]);
    return platform::AnsiTextBytes(lines);
}

QString PreisMatrixSicherung(const QString &path)
{
    return path + QStringLiteral(".bak");
}

void SchreibePreisMatrix(const QString &path, const TPreisMatrix &matrix)
{
    QStringList fehler;
    for (std::size_t row = 0; row < matrix.Preis.size(); ++row)
        for (std::size_t column = 0; column < matrix.Preis[row].size(); ++column) {
            if (!matrix.bekannt(row, column))
                fehler << PreisStelle(row, column) + QStringLiteral(": ") + zustandText(matrix.Zustand[row][column]);
            else if (const QString f = PreisFehler(row, column, matrix.Preis[row][column]); !f.isEmpty())
                fehler << f;
        }
    if (!fehler.isEmpty())
        throw platform::EConvertError(QStringLiteral("Die Preisliste wurde nicht gespeichert:\n%1\n%2")
                                          .arg(fehler.join(u'\n'), QDir::toNativeSeparators(path)));

    const QByteArray bytes = PreisMatrixBytes(matrix);
    // Whatever sits there is kept before it is replaced; something that cannot be read (or is no
    // file) is not replaced unseen.
    const QFileInfo old(path);
    if (old.exists() || old.isSymLink()) {
        const QByteArray previous = platform::ReadFileBytes(path);
        if (previous == bytes)
            return;
        platform::SaveFileAtomic(PreisMatrixSicherung(path), previous);
    }
    platform::SaveFileAtomic(path, bytes);
}

PreislisteGelesen SuchePreisMatrix(const QString &dataFolder, const QString &startFolder, TPreisMatrix &matrix)
{
    PreislisteGelesen result;
    const DateiFund fund = SucheDatei(QString::fromUtf8(kPreisMatrixDatei), dataFolder, startFolder);
    result.pfad = fund.pfad;
    if (!fund.gefunden()) {
        result.meldung = fund.fehler;
        result.kurz = fund.kurz;
        return result;
    }
    QStringList lines;
    try {
        lines = platform::SplitAnsiLines(platform::ReadFileStart(fund.pfad, kEnough));
    } catch (const platform::EInOutError &error) {
        result.meldung = QStringLiteral("Die Preise können nicht gelesen werden:\n") + error.message();
        result.kurz = QStringLiteral("%1 kann nicht gelesen werden").arg(QDir::toNativeSeparators(fund.pfad));
        return result;
    }
    PreisMatrixAusZeilen(lines, matrix);
    result.gelesen = true;
    if (const QStringList maengel = PreisMatrixMaengel(matrix); !maengel.isEmpty())
        result.meldung = QStringLiteral("In %1 sind nicht alle Preise lesbar. Für diese Stellen wird nichts berechnet, "
                                        "die übrigen Preise gelten:\n%2")
                             .arg(QDir::toNativeSeparators(fund.pfad), maengel.join(u'\n'));
    return result;
}

} // namespace billing
