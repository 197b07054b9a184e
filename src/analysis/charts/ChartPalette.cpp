#include "analysis/charts/ChartPalette.h"

#include <array>

namespace tamisko {

QColor automaticColor(int index)
{
    static constexpr std::array<QRgb, 12> palette = {
        0x4e79a7, 0xf28e2b, 0xe15759, 0x76b7b2, 0x59a14f, 0xedc948,
        0xb07aa1, 0xff9da7, 0x9c755f, 0x86bcb6, 0xd37295, 0x8cd17d,
    };
    const auto size = static_cast<int>(palette.size());
    return QColor::fromRgb(palette[static_cast<size_t>(((index % size) + size) % size)]);
}

} // namespace tamisko
