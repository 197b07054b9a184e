#include "data/Cp1253.h"
#include "data/DataMdl.h"
#include "data/DayNumber.h"
#include "data/MemTable.h"
#include "data/RegionalSettings.h"
#include "platform/db/FieldText.h"
#include "reports/LogRpt.h"
#include "reports/ReportPreview.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

using namespace tamisko;
using report::BandKind;
using report::PlacedBand;
using report::ReportLayout;

double day(int year, int month, int dayOfMonth)
{
    return days::fromCivil({year, month, dayOfMonth});
}

std::vector<QString> textsOf(const PlacedBand& band)
{
    std::vector<QString> texts;
    for (const report::PlacedItem& item : band.items)
        texts.push_back(item.text);
    return texts;
}

std::vector<const PlacedBand*> bandsOfKind(const ReportLayout& layout, BandKind kind)
{
    std::vector<const PlacedBand*> found;
    for (const report::Page& page : layout.pages) {
        for (const PlacedBand& band : page.bands) {
            if (band.kind == kind)
                found.push_back(&band);
        }
    }
    return found;
}

class LogReportTest : public testing::Test
{
protected:
    LogReportTest()
    {
        addField("Date", FieldType::Date, 0, true);
        addField("CatNum", FieldType::Integer, 0, true);
        addField("Category", FieldType::String, 30);
        addField("Eispraxi", FieldType::Currency);
        addField("Pliromi", FieldType::Currency);
        addField("Perigrafi", FieldType::String, 200);
        log.open();
    }

    void addField(const char* name, FieldType type, int size = 0, bool required = false)
    {
        FieldDef def;
        def.name = name;
        def.type = type;
        def.size = size;
        def.required = required;
        log.addField(def);
    }

    void addMovement(double date, const char* category, std::optional<double> receipt,
                     std::optional<double> payment, const std::string& description = {})
    {
        log.append();
        log.setFieldValue("Date", Variant::fromDate(date));
        log.setFieldValue("CatNum", Variant::fromInt(1));
        log.setFieldValue("Category", Variant::fromString(cp1253::fromUtf8OrThrow(category)));
        if (receipt)
            log.setFieldValue("Eispraxi", Variant::fromDouble(*receipt));
        if (payment)
            log.setFieldValue("Pliromi", Variant::fromDouble(*payment));
        if (!description.empty())
            log.setFieldValue("Perigrafi",
                              Variant::fromString(cp1253::fromUtf8OrThrow(description)));
        log.post();
    }

    void filterDates(double from, double to)
    {
        log.setOnFilterRecord([from, to](MemTable& table) {
            const double date = table.fieldByName("Date").asFloat();
            return date >= from && date <= to;
        });
        log.setFiltered(true);
    }

    ReportLayout layOut() { return LogReport::layOut(log, settings); }

    MemTable log{"LogTable"};
    RegionalSettings settings = RegionalSettings::greek();
};

TEST_F(LogReportTest, EmptyRangePrintsTitleHeadersAndSummaryOfZero)
{
    addMovement(day(2004, 3, 1), "τρόφιμα", 10, std::nullopt);
    addMovement(day(2004, 3, 9), "τρόφιμα", std::nullopt, 20);
    filterDates(day(2004, 3, 2), day(2004, 3, 8));

    const ReportLayout layout = layOut();

    ASSERT_EQ(layout.pages.size(), 1u);
    const auto& bands = layout.pages.front().bands;
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_EQ(bands[0].kind, BandKind::Title);
    EXPECT_EQ(textsOf(bands[0]), (std::vector<QString>{"Κινήσεις"}));
    EXPECT_EQ(bands[1].kind, BandKind::ColumnHeader);
    EXPECT_EQ(textsOf(bands[1]),
              (std::vector<QString>{"Ημέρα", "Κατηγορία", "Είσπραξη", "Πληρωμή", "Περιγραφή"}));
    EXPECT_EQ(bands[2].kind, BandKind::Summary);
    EXPECT_EQ(textsOf(bands[2]),
              (std::vector<QString>{"Σύνολα", "Αριθμός κινήσεων:", "0", "0", "0"}));
}

TEST_F(LogReportTest, ElementsStandWhereTheLayoutPutsThem)
{
    addMovement(day(2004, 3, 5), "τρόφιμα", 1, 2, "λαϊκή");
    const ReportLayout layout = layOut();
    const auto& bands = layout.pages.front().bands;

    const auto lefts = [](const PlacedBand& band) {
        std::vector<double> result;
        for (const report::PlacedItem& item : band.items)
            result.push_back(std::round((item.rect.left() - 10) * 10) / 10);
        return result;
    };
    EXPECT_EQ(lefts(bands[1]), (std::vector{3.7, 27.5, 92.9, 116.9, 141.3}));
    EXPECT_EQ(lefts(bands[2]), (std::vector{3.7, 27.8, 93.1, 116.9, 141.3}));
    EXPECT_EQ(lefts(bands[3]), (std::vector{3.7, 27.8, 61.6, 93.4, 117.2}));
    EXPECT_DOUBLE_EQ(bands[2].rect.height(), 4.8);
    EXPECT_DOUBLE_EQ(bands[3].rect.height(), 15.9);
    const QFont titleFont = bands[0].items.front().font;
    EXPECT_TRUE(titleFont.bold() && titleFont.italic());
    EXPECT_EQ(titleFont.pointSizeF(), 15);
    EXPECT_TRUE(bands[1].items.front().font.bold());
    EXPECT_FALSE(bands[2].items.front().font.bold());
    EXPECT_FALSE(bands[3].items[1].font.bold());
    EXPECT_TRUE(bands[3].items[2].font.bold());
}

TEST_F(LogReportTest, RowsPrintTheirDisplayTextsAndTheSummaryAddsThemUp)
{
    addMovement(day(2004, 3, 5), "τρόφιμα", 12.5, std::nullopt, "λαϊκή");
    addMovement(day(2004, 3, 6), "ΔΕΗ", std::nullopt, 1234.5);
    addMovement(day(2004, 3, 7), "μισθός", 1000, 0.25);

    const ReportLayout layout = layOut();
    const auto details = bandsOfKind(layout, BandKind::Detail);
    ASSERT_EQ(details.size(), 3u);
    // An empty field prints nothing at all.
    EXPECT_EQ(textsOf(*details[0]),
              (std::vector<QString>{"5/3/2004", "τρόφιμα", "12,50", "λαϊκή"}));
    EXPECT_EQ(textsOf(*details[1]), (std::vector<QString>{"6/3/2004", "ΔΕΗ", "1234,50"}));
    EXPECT_EQ(textsOf(*details[2]),
              (std::vector<QString>{"7/3/2004", "μισθός", "1000,00", "0,25"}));
    EXPECT_EQ(textsOf(*bandsOfKind(layout, BandKind::Summary).front()),
              (std::vector<QString>{"Σύνολα", "Αριθμός κινήσεων:", "3", "1012,5", "1234,75"}));
}

TEST_F(LogReportTest, TextsFollowTheRegionalSettingsGiven)
{
    settings.decimalSeparator = '.';
    settings.thousandSeparator = ',';
    settings.currencyDecimals = 3;
    settings.shortDateFormat = "yyyy-MM-dd";
    addMovement(day(2004, 3, 5), "τρόφιμα", 12345.5, std::nullopt);

    const ReportLayout layout = layOut();
    EXPECT_EQ(textsOf(*bandsOfKind(layout, BandKind::Detail).front()),
              (std::vector<QString>{"2004-03-05", "τρόφιμα", "12345.500"}));
    EXPECT_EQ(textsOf(*bandsOfKind(layout, BandKind::Summary).front())[3], "12345.5");
}

// The detail rows print an amount as the movement table window shows it: ungrouped, with
// the currency decimals, or every digit where those would lose some.
TEST_F(LogReportTest, AmountsPrintAsTheTableWindowShowsThem)
{
    addMovement(day(2004, 3, 5), "τρόφιμα", 1175.02, 1234567.125);
    addMovement(day(2004, 3, 6), "ΔΕΗ", -20, 0.125);
    const ReportLayout layout = layOut();
    const auto details = bandsOfKind(layout, BandKind::Detail);
    ASSERT_EQ(details.size(), 2u);
    EXPECT_EQ(details[0]->items[2].text, "1175,02");
    EXPECT_EQ(details[0]->items[3].text, "1234567,125");
    EXPECT_EQ(details[1]->items[2].text, "-20,00");
    EXPECT_EQ(details[1]->items[3].text, "0,125");
    log.first();
    for (const PlacedBand* band : details) {
        EXPECT_EQ(band->items[2].text,
                  db::displayText(log.fieldByName("Eispraxi"), log.fieldByName("Eispraxi").value(),
                                  settings));
        log.next();
    }
}

TEST_F(LogReportTest, PrintsTheFilteredRowsInTheTablesOrder)
{
    addMovement(day(2004, 3, 9), "γ", 3, std::nullopt);
    addMovement(day(2004, 2, 1), "εκτός", 100, std::nullopt);
    addMovement(day(2004, 3, 1), "α", 1, std::nullopt);
    addMovement(day(2004, 3, 5), "β", 2, std::nullopt);
    log.sortByFields("Date");
    filterDates(day(2004, 3, 1), day(2004, 3, 9));

    const ReportLayout layout = layOut();
    std::vector<QString> categories;
    for (const PlacedBand* band : bandsOfKind(layout, BandKind::Detail))
        categories.push_back(band->items[1].text);
    EXPECT_EQ(categories, (std::vector<QString>{"α", "β", "γ"}));
    const auto summary = textsOf(*bandsOfKind(layout, BandKind::Summary).front());
    EXPECT_EQ(summary[2], "3");
    EXPECT_EQ(summary[3], "6");
}

TEST_F(LogReportTest, LongDescriptionWrapsAndItsRowGrows)
{
    const std::string description =
        "Ετήσια συνδρομή στο περιοδικό της ένωσης καταναλωτών, μαζί με τα έξοδα αποστολής "
        "και την ειδική έκδοση για τις τιμές των τροφίμων στις λαϊκές αγορές της Αθήνας";
    addMovement(day(2004, 3, 5), "βιβλία", std::nullopt, 35, description);
    addMovement(day(2004, 3, 6), "βιβλία", std::nullopt, 5);

    const ReportLayout layout = layOut();
    const auto details = bandsOfKind(layout, BandKind::Detail);
    ASSERT_EQ(details.size(), 2u);
    const report::PlacedItem& text = details[0]->items.back();
    EXPECT_GT(text.lineCount(), 3);
    EXPECT_LE(text.rect.right(), 200 + 1e-9);
    EXPECT_EQ(text.text.split('\n').join(' '), QString::fromStdString(description));
    EXPECT_GT(details[0]->rect.height(), 4.8 + 2 * text.lineHeight);
    EXPECT_DOUBLE_EQ(details[1]->rect.top(), details[0]->rect.bottom());
    EXPECT_DOUBLE_EQ(details[1]->rect.height(), 4.8);
}

TEST_F(LogReportTest, SeveralPagesRepeatTheHeadersAndSumUpOnceAtTheEnd)
{
    constexpr int kMovements = 130;
    for (int i = 0; i < kMovements; ++i)
        addMovement(day(2004, 1, 1) + i, "τρόφιμα", std::nullopt, 1);

    const ReportLayout layout = layOut();
    ASSERT_GE(layout.pages.size(), 3u);
    for (const report::Page& page : layout.pages) {
        const size_t header = &page == &layout.pages.front() ? 1 : 0;
        ASSERT_GT(page.bands.size(), header);
        EXPECT_EQ(page.bands[header].kind, BandKind::ColumnHeader);
        EXPECT_EQ(page.bands[header].items.front().text, "Ημέρα");
    }
    EXPECT_EQ(bandsOfKind(layout, BandKind::Title).size(), 1u);
    EXPECT_EQ(bandsOfKind(layout, BandKind::Detail).size(), size_t(kMovements));
    const auto summaries = bandsOfKind(layout, BandKind::Summary);
    ASSERT_EQ(summaries.size(), 1u);
    EXPECT_EQ(summaries.front(), &layout.pages.back().bands.back());
    EXPECT_EQ(textsOf(*summaries.front())[2], "130");
    EXPECT_EQ(textsOf(*summaries.front())[4], "130");
}

TEST(LogReportSample, ASampleBookPrintsEveryMovementWithinThePages)
{
    DataMod data;
    data.OpenDocument(TAMISKO_SAMPLES_DIR "/household-2021-2023.tmk");
    data.LogTable.sortByFields("Date");
    const int movements = data.LogTable.recordCount();
    ASSERT_GT(movements, 100);

    const ReportLayout layout = LogReport::layOut(data.LogTable, RegionalSettings::greek());
    EXPECT_EQ(bandsOfKind(layout, BandKind::Detail).size(), size_t(movements));
    EXPECT_EQ(bandsOfKind(layout, BandKind::ColumnHeader).size(), layout.pages.size());
    EXPECT_EQ(textsOf(*bandsOfKind(layout, BandKind::Summary).front())[2],
              QString::number(movements));
    for (const report::Page& page : layout.pages) {
        for (const PlacedBand& band : page.bands) {
            EXPECT_GE(band.rect.top(), 10);
            EXPECT_LE(band.rect.bottom(), 287 + 1e-9);
            for (const report::PlacedItem& item : band.items)
                EXPECT_LE(item.rect.right(), 200 + 1e-9) << item.text.toStdString();
        }
    }
}

class RecordingViewer : public report::ReportViewer
{
public:
    void show(const ReportLayout& layout, const QString& title) override
    {
        shown = layout;
        this->title = title;
    }
    std::optional<ReportLayout> shown;
    QString title;
};

TEST_F(LogReportTest, PreviewShowsTheLaidOutList)
{
    addMovement(day(2004, 3, 5), "τρόφιμα", 1, std::nullopt);
    RecordingViewer viewer;
    LogReport(viewer).Preview(log, settings);

    ASSERT_TRUE(viewer.shown);
    EXPECT_EQ(viewer.title, "Κινήσεις");
    EXPECT_EQ(bandsOfKind(*viewer.shown, BandKind::Detail).size(), 1u);
}

} // namespace
