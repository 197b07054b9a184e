#include "reports/SigrisisRpt.h"

#include "analysis/core/Comparison.h"
#include "data/MemTable.h"
#include "platform/Text.h"
#include "reports/ReportPreview.h"

namespace tamisko {
namespace {

using report::Band;
using report::BandElement;
using report::reportFont;

QString reportTitle()
{
    return QStringLiteral("Ομαδοποίηση εισπράξεων/πληρωμών");
}

// The printed columns: neither the daily averages nor the net results.
struct Column final
{
    const char* field;
    qreal titleLeft;
    qreal fieldLeft;
    const char* title;
};

constexpr Column kColumns[] = {
    {"Category", 3.7, 3.7, "Κατηγορία"},      {"SEispraxeon", 48.9, 48.9, "Συν. εισπρ."},
    {"PEispraxeon", 75.1, 75.1, "%"},         {"SPliromon", 89.7, 90.0, "Συν. πληρ."},
    {"PPliromon", 115.4, 115.4, "%"},         {"AEispraxeon", 137.3, 137.3, "Αρ. εισπρ."},
    {"APliromon", 161.4, 161.4, "Αρ. πληρ."},
};

Band titleBand(const QString& period)
{
    const QFont font = reportFont(12, true, true);
    return Band{8.2,
                {BandElement{QPointF(6.6, 1.6), reportTitle(), font},
                 BandElement{QPointF(99.5, 1.6), period, font}}};
}

Band columnHeaderBand()
{
    Band band{8.2, {}};
    for (const Column& column : kColumns)
        band.elements.push_back(BandElement{QPointF(column.titleLeft, 3.7),
                                            QString::fromUtf8(column.title), reportFont(10, true)});
    return band;
}

Band summaryBand(const QStringList& statistics)
{
    BandElement memo{QPointF(4.0, 5.0), statistics.join(QLatin1Char('\n')), reportFont(10), true};
    Band band{194.7, {memo}};
    band.startsNewPage = true;
    return band;
}

} // namespace

SigrisisReport::SigrisisReport(report::ReportViewer& viewer) : viewer_(viewer) {}

report::ReportBands SigrisisReport::bands(MemTable& results, const RegionalSettings& settings) const
{
    std::vector<const Field*> fields;
    for (const Column& column : kColumns)
        fields.push_back(&results.fieldByName(column.field));

    report::ReportBands bands;
    bands.title = titleBand(qlblPeriod_);
    bands.columnHeader = columnHeaderBand();
    for (results.first(); !results.eof(); results.next()) {
        Band detail{4.2, {}};
        for (size_t i = 0; i < fields.size(); ++i)
            detail.elements.push_back(
                BandElement{QPointF(kColumns[i].fieldLeft, 0),
                            toQString(comparison::DisplayText(*fields[i], settings))});
        bands.details.push_back(std::move(detail));
    }
    bands.summary = summaryBand(qStatMemo_);
    return bands;
}

report::ReportLayout SigrisisReport::layOut(MemTable& results,
                                            const RegionalSettings& settings) const
{
    return report::ReportEngine().layOut(bands(results, settings));
}

void SigrisisReport::Preview(MemTable& results, const RegionalSettings& settings) const
{
    viewer_.show(layOut(results, settings), reportTitle());
}

} // namespace tamisko
