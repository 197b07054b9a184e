#pragma once

#include <QIcon>

// Small glyphs drawn in the palette's text colour, so they follow the style and scale.
namespace tamisko::glyphs {

enum class Glyph
{
    First,
    Prior,
    Next,
    Last,
    Insert,
    Delete,
    Edit,
    Post,
    Cancel,
    Refresh,
    Calendar,
    Calculator,
};

QIcon icon(Glyph glyph);

} // namespace tamisko::glyphs
