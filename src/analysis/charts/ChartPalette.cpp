#include "analysis/charts/ChartPalette.h"

#include <array>

namespace tamisko {
namespace {

// Tableau's ten without its grey, and three darker hues, at least 30 CIELAB units apart.
constexpr std::array<QRgb, 12> kPalette = {
    0x4e79a7, 0xf28e2b, 0xe15759, 0x76b7b2, 0x59a14f, 0xedc948,
    0xb07aa1, 0xff9da7, 0x9c755f, 0x1d5e3b, 0x6a3d9a, 0x843c0c,
};

} // namespace

QColor automaticColor(int index)
{
    const int size = automaticColorCount();
    return QColor::fromRgb(kPalette[static_cast<size_t>(((index % size) + size) % size)]);
}

int automaticColorCount()
{
    return static_cast<int>(kPalette.size());
}

QColor sliceColor(int position, int count)
{
    const int size = automaticColorCount();
    // Going round the palette, the last slice would take the first one's colour when the
    // count is one more than a multiple of it; the next colour differs from both neighbours.
    if (count > size && position == count - 1 && position % size == 0)
        return automaticColor(1);
    return automaticColor(position);
}

} // namespace tamisko
