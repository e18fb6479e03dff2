#include "billing/PriceMatrix.h"

#include "guestfile/Fields.h"
#include "platform/AnsiText.h"
#include "platform/IoError.h"

bool LiesPreisMatrix(const QString &path, TPreisMatrix &matrix)
{
    QStringList lines;
    try {
        lines = platform::ReadTextFile(path);
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
