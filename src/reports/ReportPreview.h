#pragma once

#include "reports/ReportEngine.h"

#include <functional>
#include <QString>

class QWidget;

namespace tamisko::report {

// Where a laid-out report goes to be looked at and printed. The program shows a print
// preview; tests look at the layout instead.
class ReportViewer
{
public:
    virtual ~ReportViewer() = default;
    // Returns when the user is done with the report.
    virtual void show(const ReportLayout& layout, const QString& title) = 0;
};

// Writes the pages into a PDF file; false when the file cannot be written.
bool saveAsPdf(const ReportLayout& layout, const QString& fileName, const QString& title);

// The modal print preview: pages, zoom, printing, and saving as PDF.
class ReportPreview final : public ReportViewer
{
public:
    struct Prompts final
    {
        // The PDF file to write; empty when the user cancelled.
        std::function<QString()> askPdfFileName;
        std::function<void(const QString& message)> showError;
    };

    explicit ReportPreview(QWidget* parent = nullptr, Prompts prompts = {});

    void show(const ReportLayout& layout, const QString& title) override;

private:
    void savePdf(const ReportLayout& layout, const QString& title) const;

    QWidget* parent_;
    Prompts prompts_;
};

} // namespace tamisko::report
