#pragma once

#include "reports/ReportEngine.h"

#include <QString>
#include <QStringList>

namespace tamisko {

class MemTable;
struct RegionalSettings;

namespace report {
class ReportViewer;
}

// The printed comparison "Ομαδοποίηση εισπράξεων/πληρωμών": the rows of the comparison's
// results table, then its statistics text on a page of its own. The period label and
// the statistics are set by the comparison window after every computation and keep
// their last values for the whole run.
class SigrisisReport final
{
public:
    explicit SigrisisReport(report::ReportViewer& viewer);

    // The caption of qlblPeriod: "από START μέχρι END"; "period" until the first
    // computation.
    const QString& periodText() const { return qlblPeriod_; }
    void setPeriodText(const QString& text) { qlblPeriod_ = text; }

    // The lines of qStatMemo.
    const QStringList& statistics() const { return qStatMemo_; }
    void setStatistics(const QStringList& lines) { qStatMemo_ = lines; }

    // Walks the results from the first to the last row (the cursor moves).
    report::ReportBands bands(MemTable& results, const RegionalSettings& settings) const;
    report::ReportLayout layOut(MemTable& results, const RegionalSettings& settings) const;

    // Shows the report; returns when the viewer is closed.
    void Preview(MemTable& results, const RegionalSettings& settings) const;

private:
    report::ReportViewer& viewer_;
    QString qlblPeriod_ = QStringLiteral("period");
    QStringList qStatMemo_;
};

} // namespace tamisko
