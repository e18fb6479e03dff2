#include "billing/InvoiceFormFile.h"

#include "billing/Invoice.h"
#include "platform/FileIo.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace billing {

int VorlagenDpi(const QSize &size)
{
    if (!size.isValid() || size.isEmpty())
        return 0;
    // The shorter side is the page's width, whether scanned upright or across.
    const int shorter = std::min(size.width(), size.height());
    return static_cast<int>(std::lround(shorter * 25.4 / 210.0));
}

VorlagenPruefung PruefeRechnungsvorlage(const QString &path)
{
    VorlagenPruefung pruefung;
    try {
        pruefung.groesse = LoadInvoiceTemplate(path).size();
    } catch (const EInvoiceError &error) {
        pruefung.fehler = error.message();
        return pruefung;
    }
    pruefung.dpi = VorlagenDpi(pruefung.groesse);
    if (pruefung.dpi < kVorlageMindestDpi)
        pruefung.hinweis = QStringLiteral("Das Bild %1 hat %2 × %3 Bildpunkte, auf einer A4-Seite nur etwa %4 dpi: "
                                          "die gedruckte Rechnung wird unscharf. Gut sind 300 dpi.")
                               .arg(QDir::toNativeSeparators(path))
                               .arg(pruefung.groesse.width())
                               .arg(pruefung.groesse.height())
                               .arg(pruefung.dpi);
    return pruefung;
}

QString UebernimmRechnungsvorlage(const QString &source, const QString &dataFolder)
{
    const QString target = QDir(dataFolder).filePath(QString::fromUtf8(kRechnungsvorlageDatei));
    const VorlagenPruefung pruefung = PruefeRechnungsvorlage(source);
    if (!pruefung.fehler.isEmpty())
        throw EInvoiceError(pruefung.fehler);
    // The form already in place, chosen again: nothing to copy, and its backup stays.
    if (QFileInfo::exists(target) && QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath())
        return target;
    const QByteArray bytes = platform::ReadFileBytes(source);
    if (QFileInfo::exists(target)) {
        const QByteArray old = platform::ReadFileBytes(target);
        if (old == bytes)
            return target;
        platform::SaveFileAtomic(target + QStringLiteral(".bak"), old);
    }
    platform::SaveFileAtomic(target, bytes);
    return target;
}

} // namespace billing
