#pragma once

#include "reports/ReportEngine.h"

class QPainter;
class QPrinter;

namespace tamisko::report {

// Paints laid-out report pages. The painter's origin is the paper's top-left corner.
class ReportPainter final
{
public:
    static void paintPage(QPainter& painter, const Page& page);

    // Sets the printer up for the layout's paper and prints its pages, keeping to the
    // page range chosen in the print dialog. False when the printer could not start.
    static bool print(const ReportLayout& layout, QPrinter& printer);

    static void preparePrinter(const ReportLayout& layout, QPrinter& printer);
};

} // namespace tamisko::report
