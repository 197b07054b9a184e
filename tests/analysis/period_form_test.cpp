#include "analysis/PeriodFrm.h"
#include "data/DataMdl.h"
#include "data/DayNumber.h"
#include "platform/Dates.h"

#include <functional>
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace tamisko {
namespace {

using periods::Preset;

double today()
{
    return toDayNumber(QDate::currentDate());
}

class PeriodFormTest : public ::testing::Test
{
protected:
    // Runs AskPeriod and does what the user does once the dialog is up.
    bool ask(const std::function<void(PeriodForm&)>& user)
    {
        QTimer::singleShot(0, &form, [this, user] { user(form); });
        return AskPeriod(form, start, end, data);
    }

    static void choose(PeriodForm& form, Preset preset)
    {
        form.DateButtons->button(static_cast<int>(preset))->click();
    }

    PeriodForm form;
    DataMod data;
    double start = -1;
    double end = -1;
};

TEST_F(PeriodFormTest, OffersTheNinePeriodsWithThisMonthSelectedAtFirst)
{
    const QStringList expected{
        "Αυτή την εβδομάδα",    "Αυτό το μήνα",        "Τελευταίες 30 ημέρες",
        "Ο προηγούμενος μήνας", "Το τελευταίο δίμηνο", "Το τελευταίο τρίμηνο",
        "Το τελευταίο εξάμηνο", "Το τελευταίο 12μηνο", "Όλα"};
    QStringList items;
    for (int index = 0; index < expected.size(); ++index)
        items.append(form.DateButtons->button(index)->text());
    EXPECT_EQ(items, expected);
    EXPECT_EQ(form.DateGroup->title(), QString());
    EXPECT_EQ(form.selectedPreset(), Preset::ThisMonth);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Ορισμός περιόδου"));
    EXPECT_EQ(form.OKBtn->text(), QStringLiteral("OK"));
    EXPECT_TRUE(form.OKBtn->isDefault());
    EXPECT_EQ(form.CancelBtn->text(), QStringLiteral("Άκυρο"));
}

TEST_F(PeriodFormTest, OkGivesThePeriodOfTheChosenItemEndingToday)
{
    ASSERT_TRUE(ask([](PeriodForm& dialog) {
        choose(dialog, Preset::ThisWeek);
        dialog.OKBtn->click();
    }));
    EXPECT_EQ(start, today() - 6);
    EXPECT_EQ(end, today());

    const QDate now = QDate::currentDate();
    ASSERT_TRUE(ask([](PeriodForm& dialog) {
        choose(dialog, Preset::ThisMonth);
        QTest::keyClick(&dialog, Qt::Key_Return);
    }));
    EXPECT_EQ(start, toDayNumber(QDate(now.year(), now.month(), 1)));
    EXPECT_EQ(end, today());
}

TEST_F(PeriodFormTest, AllGivesTheSpanOfTheLogAsItStands)
{
    data.FirstDate = days::fromCivil({2003, 2, 1});
    data.LastDate = days::fromCivil({2004, 5, 6});
    ASSERT_TRUE(ask([](PeriodForm& dialog) {
        choose(dialog, Preset::All);
        dialog.OKBtn->click();
    }));
    EXPECT_EQ(start, data.FirstDate);
    EXPECT_EQ(end, data.LastDate);
}

TEST_F(PeriodFormTest, EveryWayOutButOkLeavesTheDatesAlone)
{
    const std::pair<const char*, std::function<void(PeriodForm&)>> ways[] = {
        {"Άκυρο",
         [](PeriodForm& dialog) {
             dialog.CancelBtn->click();
         }},
        {"Escape",
         [](PeriodForm& dialog) {
             QTest::keyClick(&dialog, Qt::Key_Escape);
         }},
        {"title bar",
         [](PeriodForm& dialog) {
             dialog.close();
         }},
    };
    for (const auto& [way, user] : ways) {
        EXPECT_FALSE(ask([user](PeriodForm& dialog) {
            choose(dialog, Preset::All);
            user(dialog);
        })) << way;
        EXPECT_EQ(start, -1) << way;
        EXPECT_EQ(end, -1) << way;
    }
}

TEST(PeriodFormInstance, IsOneDialogThatRemembersTheLastChoice)
{
    PeriodForm& first = PeriodForm::instance();
    DataMod data;
    double start = 0;
    double end = 0;
    QTimer::singleShot(0, &first, [&first] {
        first.DateButtons->button(static_cast<int>(Preset::LastSixMonths))->click();
        first.OKBtn->click();
    });
    ASSERT_TRUE(AskPeriod(first, start, end, data));

    PeriodForm& again = PeriodForm::instance();
    EXPECT_EQ(&again, &first);
    EXPECT_FALSE(again.isVisible());
    Preset shown = Preset::ThisMonth;
    QTimer::singleShot(0, &again, [&again, &shown] {
        shown = again.selectedPreset();
        again.reject();
    });
    EXPECT_FALSE(AskPeriod(again, start, end, data));
    EXPECT_EQ(shown, Preset::LastSixMonths);
}

} // namespace
} // namespace tamisko
