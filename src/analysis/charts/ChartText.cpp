#include "analysis/charts/ChartText.h"

#include "data/Cp1253.h"
#include "data/Format.h"
#include "data/RegionalSettings.h"

#include <QFontInfo>

namespace tamisko {

QFont pictureFont(const QFont& font)
{
    QFont pixelFont(font);
    pixelFont.setPixelSize(QFontInfo(font).pixelSize());
    return pixelFont;
}

QString groupedNumberText(double value, const RegionalSettings& settings)
{
    const std::string bytes =
        formatGrouped(value, settings.decimalSeparator, settings.thousandSeparator);
    if (const auto utf8 = cp1253::toUtf8(bytes))
        return QString::fromStdString(*utf8);
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace tamisko
