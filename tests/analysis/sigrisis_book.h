#pragma once

#include "data/Cp1253.h"
#include "data/DataMdl.h"
#include "data/DayNumber.h"
#include "platform/ScriptedDialogService.h"
#include "reports/ReportPreview.h"
#include "reports/SigrisisRpt.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace tamisko::testing {

inline double day(int year, int month, int dayOfMonth)
{
    return days::fromCivil({year, month, dayOfMonth});
}

// A new cash book (the default categories) to which movements are added by category name.
class Book
{
public:
    Book() { data.NewDocument(); }

    // The name is UTF-8; it must be one of the default categories.
    void add(double date, const std::string& category, std::optional<double> receipt,
             std::optional<double> payment)
    {
        MemTable& categories = data.CatTable;
        const bool found =
            categories.locate("Category", {Variant::fromString(cp1253::fromUtf8OrThrow(category))});
        if (!found)
            throw std::invalid_argument("no category " + category);
        const int32_t catNum = categories.fieldByName("CatNum").asInteger();
        MemTable& log = data.LogTable;
        log.append();
        log.fieldByName("Date").setValue(Variant::fromDate(date));
        log.fieldByName("CatNum").setAsInteger(catNum);
        if (receipt)
            log.fieldByName("Eispraxi").setAsFloat(*receipt);
        if (payment)
            log.fieldByName("Pliromi").setAsFloat(*payment);
        log.post();
    }

    DataMod data;
};

// Keeps the laid-out reports instead of showing them.
class RecordingViewer final : public report::ReportViewer
{
public:
    void show(const report::ReportLayout& layout, const QString& title) override
    {
        shown.push_back(layout);
        titles.push_back(title);
    }

    std::vector<report::ReportLayout> shown;
    std::vector<QString> titles;
};

// The comparison's tests: a report that keeps its layouts, dialogs answered by script, and
// no message shown by any of them.
class ComparisonFixture : public ::testing::Test
{
protected:
    void TearDown() override
    {
        for (const auto& question : dialogs.questions())
            EXPECT_NE(question.kind, ScriptedDialogService::Kind::Message)
                << question.text.toStdString();
    }

    RecordingViewer viewer;
    SigrisisReport report{viewer};
    ScriptedDialogService dialogs;
    ScopedDialogService scopedDialogs{dialogs};
};

} // namespace tamisko::testing
