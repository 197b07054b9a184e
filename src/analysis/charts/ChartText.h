#pragma once

#include <QFont>
#include <QString>

namespace tamisko {

struct RegionalSettings;

// The font at its on-screen pixel size, so that text keeps its size relative to the
// picture on any device; a point size would grow with a printer's resolution.
QFont pictureFont(const QFont& font);

// A chart mark: "#,##0.##" with the regional separators.
QString groupedNumberText(double value, const RegionalSettings& settings);

} // namespace tamisko
