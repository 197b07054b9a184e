#pragma once

#include <QColor>

namespace tamisko {

// The automatic colours of chart points: a fixed palette of well-separated hues that
// repeats. Indexed by data row, so a category keeps its colour in every chart of a window.
QColor automaticColor(int index);

} // namespace tamisko
