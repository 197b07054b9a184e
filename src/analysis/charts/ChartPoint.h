#pragma once

#include <QList>
#include <QString>

namespace tamisko {

// One labelled value of a chart: a pie slice or a bar.
struct ChartPoint final
{
    QString label;
    double value = 0;
};

using ChartPoints = QList<ChartPoint>;

} // namespace tamisko
