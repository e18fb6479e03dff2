#include "billing/JournalCheck.h"

#include "billing/InvoiceJournal.h"

#include <QFileInfo>
#include <algorithm>

namespace billing {

namespace {

constexpr int kListedCopies = 10;

QString copyNumbers(const std::vector<qint32> &numbers)
{
    QStringList listed;
    for (std::size_t i = 0; i < numbers.size() && i < kListedCopies; ++i)
        listed << QString::number(numbers[i]);
    QString text = listed.join(QStringLiteral(", "));
    if (numbers.size() > kListedCopies)
        text += QStringLiteral(" und %1 weitere").arg(numbers.size() - kListedCopies);
    return text;
}

} // namespace

QStringList missingLineFindings(const std::vector<qint32> &journaled, qint64 fileLines,
                                const std::vector<AbgelegteRechnung> &copies, const QDateTime &journalMade)
{
    std::vector<qint32> missing;
    for (const AbgelegteRechnung &copy : copies) {
        if (copy.nr <= 0 || std::binary_search(journaled.begin(), journaled.end(), copy.nr))
            continue;
        const bool afterFirst = !journaled.empty() && copy.nr > journaled.front();
        const bool keptSinceMade =
            journaled.empty() && journalMade.isValid() && copy.abgelegt.isValid() && copy.abgelegt >= journalMade;
        if (afterFirst || keptSinceMade)
            missing.push_back(copy.nr);
    }
    if (missing.empty())
        return {};
    std::sort(missing.begin(), missing.end());
    missing.erase(std::unique(missing.begin(), missing.end()), missing.end());
    if (journaled.empty())
        return {QStringLiteral("Rechnungsbuch: ohne Zeilen, aber Kopien wurden abgelegt, nachdem es angelegt war "
                               "(Nr. %1) – das Rechnungsbuch wurde geleert")
                    .arg(copyNumbers(missing))};
    if (missing.front() > journaled.back())
        return {QStringLiteral("Rechnungsbuch nach Zeile %1 (seinem Ende): keine Zeile zu den abgelegten Kopien "
                               "Nr. %2 – das Rechnungsbuch wurde gekürzt")
                    .arg(fileLines)
                    .arg(copyNumbers(missing))};
    return {QStringLiteral("Rechnungsbuch: keine Zeile zu den abgelegten Kopien Nr. %1 – Zeilen wurden daraus "
                           "entfernt")
                .arg(copyNumbers(missing))};
}

QStringList journalFindings(const QString &invoiceFolder)
{
    const QString path = journalPath(invoiceFolder);
    std::vector<qint32> numbers;
    const JournalRead read =
        forEachJournalLineView(path, [&numbers](const JournalLineView &line) { numbers.push_back(line.nr); });
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    const QFileInfo journal(path);
    if (!journal.exists())
        return read.findings; // no journal yet: every copy is from before it
    return read.findings +
           missingLineFindings(numbers, read.fileLines, AbgelegteRechnungen(invoiceFolder), journal.birthTime());
}

} // namespace billing
