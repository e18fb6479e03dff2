#include "guestfile/SetupCheck.h"

#include "guestfile/ProgramFiles.h"

#include <QDir>
#include <QFileInfo>

namespace guestfile {

namespace {
bool presentIn(const QStringList &folders, const char *name)
{
    for (const QString &folder : folders)
        if (!folder.isEmpty() && QFileInfo::exists(QDir(folder).filePath(QString::fromUtf8(name))))
            return true;
    return false;
}
} // namespace

std::vector<SetupGap> missingSetup(const QString &dataFolder, const QString &startFolder, bool withoutForm)
{
    if (dataFolder.isEmpty() || !QFileInfo(dataFolder).isDir())
        return {{SetupStep::DataFolder, QStringLiteral("der Datenordner")}};
    std::vector<SetupGap> gaps;
    const QStringList both = {dataFolder, startFolder};
    if (!presentIn(both, kProgramFileNames[2]))
        gaps.push_back(
            {SetupStep::PriceList, QStringLiteral("die Preisliste (%1)").arg(QString::fromUtf8(kProgramFileNames[2]))});
    if (!withoutForm && !presentIn(both, kProgramFileNames[3]))
        gaps.push_back({SetupStep::InvoiceForm,
                        QStringLiteral("die Rechnungsvorlage (%1)").arg(QString::fromUtf8(kProgramFileNames[3]))});
    if (!presentIn({dataFolder}, kProgramFileNames[1]))
        gaps.push_back({SetupStep::InvoiceCounter,
                        QStringLiteral("der Rechnungszähler (%1)").arg(QString::fromUtf8(kProgramFileNames[1]))});
    return gaps;
}

QString setupHint(const std::vector<SetupGap> &gaps, const QString &dataFolder)
{
    if (gaps.empty())
        return {};
    if (gaps.front().step == SetupStep::DataFolder)
        return QStringLiteral("Noch nicht eingerichtet: es ist kein Datenordner gewählt – „Datei“ → „Einrichten…“");
    QStringList what;
    for (const SetupGap &gap : gaps)
        what << gap.what;
    return QStringLiteral("Noch nicht eingerichtet: im Datenordner %1 %2 %3 – „Datei“ → „Einrichten…“")
        .arg(QDir::toNativeSeparators(dataFolder),
             what.size() == 1 ? QStringLiteral("fehlt") : QStringLiteral("fehlen"), what.join(QStringLiteral(", ")));
}

} // namespace guestfile
