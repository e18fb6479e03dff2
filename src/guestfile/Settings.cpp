#include "guestfile/Settings.h"

#include "guestfile/SettingsFolder.h"
#include "platform/Convert.h"
#include "platform/Error.h"

#include <algorithm>

#include <QFile>

namespace guestfile {

std::unique_ptr<QSettings> OpenSettings()
{
    const QString path = MakeSettingsFolder() + QStringLiteral("Zimbrana.ini");
    // It names the data folder: for the owner only. Made so before the first write, since a
    // settings save keeps the permissions the file has.
    QFile file(path);
    if (!file.exists()) {
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            file.close();
    }
    if (file.exists())
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

namespace {
const QString kDataFolderKey = QStringLiteral("Daten/Ordner");
std::optional<QString> &folderForThisRun()
{
    static std::optional<QString> folder;
    return folder;
}
} // namespace

QString RememberedDataFolder()
{
    if (folderForThisRun())
        return *folderForThisRun();
    return OpenSettings()->value(kDataFolderKey).toString();
}

void RememberDataFolder(const QString &folder)
{
    if (folderForThisRun()) {
        folderForThisRun() = folder;
        return;
    }
    OpenSettings()->setValue(kDataFolderKey, folder);
}

void UseDataFolderForThisRun(const QString &folder)
{
    folderForThisRun() = folder;
}

namespace {
const QString kPostalCodeKey = QStringLiteral("Haus/Postleitzahl");
const QString kNameKey = QStringLiteral("Haus/Name");
const QString kAddressKey = QStringLiteral("Haus/Anschrift");
const QString kTelephoneKey = QStringLiteral("Haus/Telefon");
const QString kEmailKey = QStringLiteral("Haus/EMail");
const QString kFreeLineKey = QStringLiteral("Haus/FreieZeile");
const QString kWithoutFormKey = QStringLiteral("Rechnung/OhneVorlage");
const QString kConfirmationTextKey = QStringLiteral("Bestaetigung/Text");

bool isGermanPostalCode(qint32 code)
{
    return code >= kLowestPostalCode && code <= kHighestPostalCode;
}

QString outsideGermany(const QString &shown)
{
    return QStringLiteral("Die Postleitzahl %1 liegt nicht in Deutschland: deutsche Postleitzahlen reichen von "
                          "01001 bis 99998.")
        .arg(shown);
}
} // namespace

qint32 housePostalCode()
{
    bool ok = false;
    const qint32 code = OpenSettings()->value(kPostalCodeKey).toString().trimmed().toInt(&ok);
    // A code spoilt by hand in the file must not leave the calendar without holidays.
    return ok && isGermanPostalCode(code) ? code : kDefaultHousePostalCode;
}

void setHousePostalCode(qint32 code)
{
    if (!isGermanPostalCode(code))
        throw platform::EConvertError(outsideGermany(QStringLiteral("%1").arg(code, 5, 10, QLatin1Char('0'))));
    // Kept with its leading zero, as it is written.
    OpenSettings()->setValue(kPostalCodeKey, QStringLiteral("%1").arg(code, 5, 10, QLatin1Char('0')));
}

QString housePostalCodeError(const QString &text)
{
    const QString code = text.trimmed();
    if (code.isEmpty())
        return QStringLiteral("Bitte die Postleitzahl des Hauses eintragen (fünf Ziffern).");
    const bool digits = std::all_of(code.begin(), code.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digits || code.size() != 5)
        return QStringLiteral("„%1“ ist keine Postleitzahl: sie hat fünf Ziffern, etwa 34519.").arg(code);
    if (!isGermanPostalCode(code.toInt()))
        return outsideGermany(code);
    return {};
}

std::optional<qint32> parseHousePostalCode(const QString &text)
{
    if (!housePostalCodeError(text).isEmpty())
        return std::nullopt;
    return text.trimmed().toInt();
}

HouseDetails houseDetails()
{
    const std::unique_ptr<QSettings> settings = OpenSettings();
    HouseDetails details;
    details.name = settings->value(kNameKey).toString();
    details.address = settings->value(kAddressKey).toString();
    details.telephone = settings->value(kTelephoneKey).toString();
    details.email = settings->value(kEmailKey).toString();
    details.freeLine = settings->value(kFreeLineKey).toString();
    return details;
}

void setHouseDetails(const HouseDetails &details)
{
    const std::unique_ptr<QSettings> settings = OpenSettings();
    settings->setValue(kNameKey, details.name);
    settings->setValue(kAddressKey, details.address);
    settings->setValue(kTelephoneKey, details.telephone);
    settings->setValue(kEmailKey, details.email);
    settings->setValue(kFreeLineKey, details.freeLine);
}

bool printWithoutForm()
{
    return OpenSettings()->value(kWithoutFormKey, false).toBool();
}

void setPrintWithoutForm(bool on)
{
    OpenSettings()->setValue(kWithoutFormKey, on);
}

std::optional<QString> confirmationText()
{
    const std::unique_ptr<QSettings> settings = OpenSettings();
    if (!settings->contains(kConfirmationTextKey))
        return std::nullopt;
    return settings->value(kConfirmationTextKey).toString();
}

void setConfirmationText(const QString &text)
{
    const std::unique_ptr<QSettings> settings = OpenSettings();
    settings->setValue(kConfirmationTextKey, text);
    // A text the host wrote at length must not be lost unseen.
    settings->sync();
    if (settings->status() != QSettings::NoError)
        throw platform::Error(QStringLiteral("Der Text der Buchungsbestätigung konnte nicht in %1 gespeichert werden.")
                                  .arg(settings->fileName()));
}

} // namespace guestfile
