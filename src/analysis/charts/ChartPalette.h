#pragma once

#include <QColor>

namespace tamisko {

// The automatic colours of chart points: a fixed palette of well-separated hues that
// repeats.
QColor automaticColor(int index);

// The number of colours before automaticColor repeats.
int automaticColorCount();

// The colour of the slice at a position (0 for the first visible slice) among `count`
// slices round a pie: all differ while there are no more slices than colours, and
// neighbours differ always, the last and the first included.
QColor sliceColor(int position, int count);

} // namespace tamisko
