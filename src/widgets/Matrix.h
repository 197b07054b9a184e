#pragma once

#include <cstdint>
#include <span>

// The glyph sets of the dot-matrix display. A table holds one glyph for every character
// code from 33 upwards, consecutively; a glyph is width x height bytes, row by row from
// the top, each row from left to right, 1 for a lit dot and 0 for an unlit one.
namespace tamisko::matrix {

class GlyphTable final
{
public:
    static constexpr int kFirstCode = 33;

    constexpr GlyphTable(int width, int height, int lastCode, std::span<const std::uint8_t> bytes)
        : width_(width), height_(height), lastCode_(lastCode), bytes_(bytes)
    {}

    int width() const { return width_; }
    int height() const { return height_; }
    int lastCode() const { return lastCode_; }
    std::span<const std::uint8_t> bytes() const { return bytes_; }

    bool hasGlyph(int code) const { return code >= kFirstCode && code <= lastCode_; }

    // The dots of a code's glyph; empty when the code has none (the blank, control
    // codes and everything past the table's end).
    std::span<const std::uint8_t> glyph(int code) const
    {
        if (!hasGlyph(code))
            return {};
        const std::size_t size = std::size_t(width_) * std::size_t(height_);
        return bytes_.subspan(std::size_t(code - kFirstCode) * size, size);
    }

private:
    int width_;
    int height_;
    int lastCode_;
    std::span<const std::uint8_t> bytes_;
};

// 5 x 7 dots, codes 33 to 254; 128 and up have the shapes of the IBM PC character set.
const GlyphTable& mat5x7();
// 7 x 9 dots, printable ASCII (33 to 126).
const GlyphTable& mat7x9();
// 9 x 12 dots, printable ASCII, serifed capitals; the last row is for descenders only.
const GlyphTable& mat9x12();

} // namespace tamisko::matrix
