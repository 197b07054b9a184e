#include "reports/ReportEngine.h"

#include <algorithm>
#include <QFontMetricsF>
#include <QTextLayout>
#include <QTextOption>

namespace tamisko::report {
namespace {

constexpr int kMeasureDpi = 1200;
constexpr qreal kMmPerInch = 25.4;
// Texts that touch the margin within this tolerance still fit.
constexpr qreal kEpsilonMm = 1e-6;

qreal toMm(qreal devicePixels)
{
    return devicePixels * kMmPerInch / kMeasureDpi;
}
qreal toDevice(qreal mm)
{
    return mm * kMeasureDpi / kMmPerInch;
}

} // namespace

QFont reportFont(qreal pointSize, bool bold, bool italic)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setKerning(false); // the same widths at every resolution
    return font;
}

TextMeasurer::TextMeasurer() : device_(1, 1, QImage::Format_ARGB32)
{
    const int dotsPerMeter = qRound(kMeasureDpi / kMmPerInch * 1000);
    device_.setDotsPerMeterX(dotsPerMeter);
    device_.setDotsPerMeterY(dotsPerMeter);
}

qreal TextMeasurer::lineHeight(const QFont& font) const
{
    return toMm(QFontMetricsF(font, &device_).lineSpacing());
}

qreal TextMeasurer::width(const QString& line, const QFont& font) const
{
    return toMm(QFontMetricsF(font, &device_).horizontalAdvance(line));
}

QStringList TextMeasurer::wrap(const QString& text, const QFont& font, qreal widthMm) const
{
    QStringList lines;
    // Hard line breaks (a memo's lines) always start a new line.
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        if (paragraph.isEmpty()) {
            lines.append(QString());
            continue;
        }
        QTextLayout layout(paragraph, font, &device_);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(toDevice(std::max(widthMm, 0.0)));
            QString text = paragraph.mid(line.textStart(), line.textLength());
            while (!text.isEmpty() && text.back().isSpace())
                text.chop(1);
            lines.append(text);
        }
        layout.endLayout();
    }
    return lines;
}

ReportEngine::ReportEngine(PageSetup setup) : setup_(setup) {}

PlacedBand ReportEngine::placeBand(const Band& band, BandKind kind) const
{
    const QRectF printable = setup_.printableRect();
    struct Text final
    {
        const BandElement* element;
        QStringList lines;
        qreal lineHeight;
    };
    std::vector<Text> texts;
    qreal growth = 0;
    for (const BandElement& element : band.elements) {
        if (element.text.isEmpty())
            continue; // an empty field prints nothing
        const qreal available = printable.width() - element.position.x();
        Text text{&element, measurer_.wrap(element.text, element.font, available),
                  measurer_.lineHeight(element.font)};
        if (element.grows) {
            const qreal designed = element.height > 0 ? element.height : text.lineHeight;
            growth = std::max(growth, text.lines.size() * text.lineHeight - designed);
        }
        texts.push_back(std::move(text));
    }

    PlacedBand placed;
    placed.kind = kind;
    placed.rect = QRectF(printable.left(), 0, printable.width(), band.height + growth);
    for (Text& text : texts) {
        const BandElement& element = *text.element;
        const QPointF origin = placed.rect.topLeft() + element.position;
        if (!element.grows) {
            // Texts of fixed height keep to their band: lines that do not fit are dropped.
            const qreal room = placed.rect.bottom() - origin.y() + kEpsilonMm;
            const int fitting = std::max(1, int(room / text.lineHeight));
            if (text.lines.size() > fitting)
                text.lines = text.lines.mid(0, fitting);
        }
        qreal widest = 0;
        for (const QString& line : text.lines)
            widest = std::max(widest, measurer_.width(line, element.font));

        PlacedItem item;
        item.text = text.lines.join(QLatin1Char('\n'));
        item.font = element.font;
        item.alignment = element.alignment;
        item.framed = element.framed;
        item.lineHeight = text.lineHeight;
        const qreal available = printable.right() - origin.x();
        item.rect = QRectF(
            origin, QSizeF(std::min(widest, available), text.lines.size() * text.lineHeight));
        placed.items.push_back(std::move(item));
    }
    return placed;
}

ReportLayout ReportEngine::layOut(const ReportBands& bands) const
{
    const QRectF printable = setup_.printableRect();
    ReportLayout layout;
    layout.setup = setup_;

    qreal y = 0;
    bool pageHasBody = false; // anything besides the repeated column header

    const auto place = [&](PlacedBand band) {
        const QPointF offset(0, y);
        band.rect.translate(offset);
        for (PlacedItem& item : band.items)
            item.rect.translate(offset);
        y += band.rect.height();
        layout.pages.back().bands.push_back(std::move(band));
    };
    const auto startPage = [&] {
        layout.pages.emplace_back();
        y = printable.top();
        pageHasBody = false;
        if (layout.pages.size() == 1) {
            place(placeBand(bands.title, BandKind::Title));
            pageHasBody = true;
        }
        place(placeBand(bands.columnHeader, BandKind::ColumnHeader));
    };
    const auto placeBody = [&](const Band& band, BandKind kind) {
        PlacedBand placed = placeBand(band, kind);
        const bool overflows = y + placed.rect.height() > printable.bottom() + kEpsilonMm;
        // A band taller than a whole page goes on a page of its own rather than never.
        if (pageHasBody && (band.startsNewPage || overflows))
            startPage();
        place(std::move(placed));
        pageHasBody = true;
    };

    startPage();
    for (const Band& detail : bands.details)
        placeBody(detail, BandKind::Detail);
    placeBody(bands.summary, BandKind::Summary);
    return layout;
}

} // namespace tamisko::report
