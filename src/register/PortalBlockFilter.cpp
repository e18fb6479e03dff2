#include "register/PortalBlockFilter.h"

namespace guests {

std::vector<int> blocksShown(const std::vector<PortalBlock> &blocks, const GastFilter &filter, const QString &search)
{
    std::vector<int> shown;
    if (filter.art == FilterArt::Unbezahlt || filter.art == FilterArt::OhneRechnung)
        return shown;
    const QString text = search.simplified();
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const PortalBlock &block = blocks[i];
        TGast standIn;
        standIn.Zimmer = QString::number(block.room);
        standIn.Von = block.from;
        standIn.Bis = block.to;
        standIn.Name = block.subscription;
        if (!PasstFilter(standIn, filter))
            continue;
        if (!text.isEmpty() && !block.subscription.contains(text, Qt::CaseInsensitive) &&
            !block.summary.contains(text, Qt::CaseInsensitive))
            continue;
        shown.push_back(static_cast<int>(i));
    }
    return shown;
}

} // namespace guests
