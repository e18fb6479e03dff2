// The price file, as bytes. Only the first five lines and the first three values of each count:
// more lines change nothing. The matrix written back as five lines of three values reads back to
// itself. Every price is 0 or the whole number its field says.

#include "FuzzCommon.h"
#include "billing/PriceMatrix.h"
#include "platform/AnsiText.h"
#include "platform/Fields.h"

using billing::PreisMatrixAusZeilen;
using billing::TPreisMatrix;
using platform::NextField;

namespace {

QStringList written(const TPreisMatrix &matrix)
{
    QStringList lines;
    for (const auto &row : matrix.Preis)
        lines << QStringLiteral("%1;%2;%3").arg(row[0]).arg(row[1]).arg(row[2]);
    return lines;
}

QString describe(const TPreisMatrix &matrix)
{
    return written(matrix).join(u'|');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FixClock();
    fuzz::UseRegion(fuzz::Region::German);
    const QStringList lines = platform::SplitAnsiLines(fuzz::Bytes(data, size));

    TPreisMatrix matrix;
    matrix.Preis[0][0] = 99; // everything is replaced, even by a short file
    PreisMatrixAusZeilen(lines, matrix);

    TPreisMatrix firstFive;
    PreisMatrixAusZeilen(lines.mid(0, 5), firstFive);
    FUZZ_CHECK(firstFive.Preis == matrix.Preis, describe(matrix) + u'\n' + describe(firstFive));

    TPreisMatrix reread;
    PreisMatrixAusZeilen(written(matrix), reread);
    FUZZ_CHECK(reread.Preis == matrix.Preis, describe(matrix) + u'\n' + describe(reread));

    for (std::size_t row = 0; row < matrix.Preis.size(); ++row) {
        QString line = static_cast<qsizetype>(row) < lines.size() ? lines.at(static_cast<qsizetype>(row)) : QString();
        for (const qint32 price : matrix.Preis[row]) {
            const QString field = NextField(line, QStringLiteral(";"));
            qint32 said = 0;
            FUZZ_CHECK(price == (platform::TryStrToInt(field, said) ? said : 0), field);
        }
    }
    return 0;
}
