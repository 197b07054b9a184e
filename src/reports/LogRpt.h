#pragma once

#include "reports/ReportEngine.h"

namespace tamisko {

class MemTable;
struct RegionalSettings;

namespace report {
class ReportViewer;
}

// The printed movement list "Κινήσεις": every movement of the log as the caller filtered
// and ordered it, with the count and the two sums at the end.
class LogReport final
{
public:
    explicit LogReport(report::ReportViewer& viewer);

    // Walks the log from its first to its last record (the cursor moves) and lays out
    // its pages.
    static report::ReportBands bands(MemTable& log, const RegionalSettings& settings);
    static report::ReportLayout layOut(MemTable& log, const RegionalSettings& settings);

    // Shows the list; returns when the viewer is closed.
    void Preview(MemTable& log, const RegionalSettings& settings) const;

private:
    report::ReportViewer& viewer_;
};

} // namespace tamisko
