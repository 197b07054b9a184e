#include "analysis/charts/PieMarkLayout.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace tamisko {

QList<double> spreadMarks(const QList<double>& wantedTops, double boxHeight, double gap,
                          double minTop, double maxBottom)
{
    const auto count = wantedTops.size();
    std::vector<qsizetype> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return wantedTops[a] < wantedTops[b]; });

    const double pitch = boxHeight + gap;
    std::vector<double> tops(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        const double wanted = std::max(wantedTops[order[i]], minTop);
        tops[i] = i == 0 ? wanted : std::max(wanted, tops[i - 1] + pitch);
    }
    for (size_t i = order.size(); i-- > 0;) {
        const double limit = i + 1 == order.size() ? maxBottom - boxHeight : tops[i + 1] - pitch;
        tops[i] = std::min(tops[i], limit);
    }
    // Too many boxes for the height: the top ones may now be above minTop; keep them
    // inside and let the run overlap evenly rather than leave the picture.
    if (!tops.empty() && tops.front() < minTop) {
        const double span = std::max(maxBottom - boxHeight - minTop, 0.0);
        const double step = tops.size() > 1 ? span / static_cast<double>(tops.size() - 1) : 0;
        for (size_t i = 0; i < tops.size(); ++i)
            tops[i] = minTop + step * static_cast<double>(i);
    }

    QList<double> result(count);
    for (size_t i = 0; i < order.size(); ++i)
        result[order[i]] = tops[i];
    return result;
}

} // namespace tamisko
