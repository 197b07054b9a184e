#pragma once

#include <QFont>
#include <QImage>
#include <QMarginsF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <vector>

namespace tamisko::report {

// All report fonts are Arial (metric-compatible substitutes are fine).
QFont reportFont(qreal pointSize, bool bold = false, bool italic = false);

// One text of a band as designed. Positions are millimetres from the band's top-left.
struct BandElement final
{
    QPointF position;
    QString text;
    QFont font = reportFont(10);
    // The band grows in height when this text needs more than its designed height (0: one
    // line); other texts are cut at the band's end.
    bool grows = false;
    qreal height = 0;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool framed = false;
};

struct Band final
{
    qreal height = 0; // millimetres, before any growth
    std::vector<BandElement> elements;
    bool startsNewPage = false;
};

// A report as bands: the title once, the column header on every page, one detail band
// per data row in the data set's order, the summary once after the last detail.
struct ReportBands final
{
    Band title;
    Band columnHeader;
    std::vector<Band> details;
    Band summary;
};

struct PageSetup final
{
    QSizeF paperSize{210, 297}; // A4 portrait, millimetres
    QMarginsF margins{10, 10, 10, 10};

    QRectF printableRect() const { return QRectF(QPointF(0, 0), paperSize) - margins; }
};

// A text placed on a page. Its lines are separated by '\n'; every line is lineHeight high.
struct PlacedItem final
{
    QRectF rect; // millimetres from the paper's top-left corner
    QString text;
    QFont font;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool framed = false;
    qreal lineHeight = 0;

    int lineCount() const { return text.isEmpty() ? 0 : int(text.count(QLatin1Char('\n'))) + 1; }
};

enum class BandKind
{
    Title,
    ColumnHeader,
    Detail,
    Summary
};

struct PlacedBand final
{
    BandKind kind = BandKind::Detail;
    QRectF rect; // millimetres, after growth
    std::vector<PlacedItem> items;
};

struct Page final
{
    std::vector<PlacedBand> bands;
};

struct ReportLayout final
{
    PageSetup setup;
    std::vector<Page> pages;
};

// Breaks report texts into lines the way they print: measured at printer resolution,
// wrapped at word boundaries (anywhere inside a word longer than the line).
class TextMeasurer final
{
public:
    TextMeasurer();

    qreal lineHeight(const QFont& font) const; // millimetres
    qreal width(const QString& line, const QFont& font) const;
    QStringList wrap(const QString& text, const QFont& font, qreal widthMm) const;

private:
    QImage device_; // a 1200 dpi surface: what a printer page measures
};

// Lays the bands out on pages of positioned texts.
class ReportEngine final
{
public:
    explicit ReportEngine(PageSetup setup = {});

    ReportLayout layOut(const ReportBands& bands) const;

private:
    // The band at the top of the printable width, at height 0.
    PlacedBand placeBand(const Band& band, BandKind kind) const;

    PageSetup setup_;
    TextMeasurer measurer_;
};

} // namespace tamisko::report
