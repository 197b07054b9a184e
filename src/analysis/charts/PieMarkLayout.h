#pragma once

#include <QList>

namespace tamisko {

// Moves boxes of equal height on one side of a pie apart so that they do not overlap:
// each keeps its wanted top where it can, a crowded run is pushed down, and a run that
// would leave [minTop, maxBottom] is pushed back up. The order of the boxes is kept.
// Returns the tops in the order of the wanted tops given.
QList<double> spreadMarks(const QList<double>& wantedTops, double boxHeight, double gap,
                          double minTop, double maxBottom);

} // namespace tamisko
