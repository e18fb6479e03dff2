#pragma once
// What the program remembers between runs (the data folder, window sizes), kept in one INI file
// "Zimbrana.ini" in the settings folder. The host's own data files never go there.

#include <QSettings>
#include <memory>
#include <optional>

namespace guestfile {

// The settings file, opened for reading and writing; made with its folder when missing.
std::unique_ptr<QSettings> OpenSettings();

// The data folder the host chose last (with its trailing '/'), empty when none was chosen yet.
QString RememberedDataFolder();
void RememberDataFolder(const QString &folder);
// A data folder for this run only (a start option of the demo): RememberedDataFolder gives it,
// and RememberDataFolder then changes it without touching the folder kept in the settings file.
void UseDataFolderForThisRun(const QString &folder);

// The guest house's postal code: the holidays of its place are the ones marked in the calendar
// and the plan. 34519 until the host sets another.
inline constexpr qint32 kDefaultHousePostalCode = 34519;
// Germany's postal codes run from 01001 to 99998.
inline constexpr qint32 kLowestPostalCode = 1001;
inline constexpr qint32 kHighestPostalCode = 99998;

// The house's postal code as kept; the default when none (or no German one) is kept.
qint32 housePostalCode();
// Keeps the house's postal code; a code outside Germany's range throws EConvertError with
// housePostalCodeError's text, and nothing is kept.
void setHousePostalCode(qint32 code);
// Why a postal code typed as text ("80331") cannot be the house's; empty when it can. Five digits,
// within Germany's range.
QString housePostalCodeError(const QString &text);
// The code a text names when housePostalCodeError finds nothing wrong with it.
std::optional<qint32> parseHousePostalCode(const QString &text);

// What an invoice printed without a scanned form carries at its top.
struct HouseDetails
{
    QString name;      // "Name des Hauses"
    QString address;   // "Anschrift"; may hold several lines
    QString telephone; // "Telefon"
    QString email;     // "E-Mail"
    QString freeLine;  // "freie Zeile", e.g. the tax note

    bool operator==(const HouseDetails &) const = default;
};
HouseDetails houseDetails();
void setHouseDetails(const HouseDetails &details);

// Whether invoices are printed on a plain page with the house's details instead of on the
// scanned form "REVORL.JPG". Off until the host chooses it.
bool printWithoutForm();
void setPrintWithoutForm(bool on);

// The host's own text for booking confirmations, kept in the settings file (never in the guest
// file); nothing while the host has not written one, so the program's default is used. An empty
// text the host saved stays empty.
std::optional<QString> confirmationText();
void setConfirmationText(const QString &text);

} // namespace guestfile
