#include "billing/PriceMatrix.h"

#include "guestfile/Fields.h"
#include "platform/AnsiText.h"
#include "platform/IoError.h"

bool LiesPreisMatrix(const QString &path, TPreisMatrix &matrix)
{
    // Five short lines are all that counts: a huge file (or a device that never ends) must not
    // hold up the start, so only its beginning is read.
    constexpr qsizetype kEnough = 64 * 1024;
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
        for (qint32 &price : matrix.Preis[row])
            price = NextFieldInt(line, separator);
    }
}
