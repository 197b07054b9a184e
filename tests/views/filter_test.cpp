#include "pinakas_fixture.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

using namespace tamisko;
using namespace tamisko::pinakastest;

namespace {

TEST(FilterDialog, HasItsCaptionTextsAndButtons)
{
    FilterForm dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Ταμίσκες"));
    EXPECT_EQ(dialog.Label1->text(), QStringLiteral("Εμφάνιση εγγραφών με ημερομηνία:"));
    EXPECT_EQ(dialog.Label2->text(), QStringLiteral("από"));
    EXPECT_EQ(dialog.Label3->text(), QStringLiteral("εώς"));
    EXPECT_EQ(dialog.OKBtn->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog.CancelBtn->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(dialog.OKBtn->isDefault());
    EXPECT_TRUE(dialog.isModal());
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()); // a fixed border
    // The frame holds the labels and the dates.
    for (const QWidget* inside : std::initializer_list<const QWidget*>{
             dialog.Label1, dialog.Label2, dialog.Label3, dialog.StartDate, dialog.EndDate})
        EXPECT_TRUE(dialog.Bevel1->geometry().contains(inside->geometry()))
            << inside->metaObject()->className();
    EXPECT_FALSE(dialog.Bevel1->geometry().intersects(dialog.OKBtn->geometry()));
}

TEST(FilterDialog, AnUnreadableDateCountsAsDayZero)
{
    FilterForm dialog;
    dialog.StartDate->setText(QStringLiteral("32/1/2024"));
    dialog.EndDate->setText(QStringLiteral("5/3/2024"));
    dialog.takeRange();
    EXPECT_EQ(dialog.FilterStart, 0);
    EXPECT_EQ(dialog.FilterEnd, day(2024, 3, 5));
}

class DateFilter : public PinakasTest
{
protected:
    DateFilter()
    {
        addMixedMovements();
        showForm();
    }
};

TEST_F(DateFilter, OffersTheRangeOfAllMovementsWithTheFocusOnOk)
{
    answerDialog(pressKey(Qt::Key_Escape));
    EXPECT_FALSE(form.RunDateFilter(form.filterDialog()));
    EXPECT_EQ(startDateShown, QStringLiteral("2/1/2024"));
    EXPECT_EQ(endDateShown, QStringLiteral("5/3/2024"));
    EXPECT_EQ(focusShown, form.filterDialog().OKBtn);
}

TEST_F(DateFilter, TabRunsFromTheButtonsToTheDates)
{
    std::vector<QWidget*> focused;
    answerDialog([&focused](FilterForm& dialog) {
        for (int i = 0; i < 4; ++i) {
            focused.push_back(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        dialog.reject();
    });
    form.RunDateFilter(form.filterDialog());
    const FilterForm& dialog = form.filterDialog();
    EXPECT_EQ(focused, (std::vector<QWidget*>{dialog.OKBtn, dialog.CancelBtn, dialog.StartDate,
                                              dialog.EndDate}));
}

TEST_F(DateFilter, IsOneDialogReusedWithItsDatesSetAnew)
{
    answerDialog(enterRange(QStringLiteral("31/1/2024"), QStringLiteral("31/1/2024")));
    ASSERT_TRUE(form.RunDateFilter(form.filterDialog()));
    data.LogTable.setFiltered(false);
    FilterForm* const first = &form.filterDialog();
    answerDialog(pressKey(Qt::Key_Escape));
    form.itemCopyClick();
    EXPECT_EQ(&form.filterDialog(), first);
    EXPECT_EQ(startDateShown, QStringLiteral("2/1/2024"));
}

TEST_F(DateFilter, AcceptedRangeLeavesTheMovementsSortedByDateAndFiltered)
{
    answerDialog(enterRange(QStringLiteral("31/1/2024"), QStringLiteral("15/2/2024")));
    ASSERT_TRUE(form.RunDateFilter(form.filterDialog()));
    EXPECT_TRUE(data.LogTable.filtered());
    EXPECT_EQ(data.LogTable.recordCount(), 3);
    data.LogTable.setFiltered(false);
    EXPECT_EQ(numbers("Date"),
              (std::vector<double>{day(2024, 1, 2), day(2024, 1, 31), day(2024, 2, 14),
                                   day(2024, 2, 15), day(2024, 3, 5)}));
}

TEST_F(DateFilter, CancelButtonAndCloseBoxEndSilently)
{
    answerDialog([](FilterForm& dialog) { QTest::mouseClick(dialog.CancelBtn, Qt::LeftButton); });
    EXPECT_FALSE(form.RunDateFilter(form.filterDialog()));
    answerDialog([](FilterForm& dialog) { dialog.close(); });
    EXPECT_FALSE(form.RunDateFilter(form.filterDialog()));
    EXPECT_FALSE(data.LogTable.filtered());
    EXPECT_TRUE(dialogs.questions().empty());
}

TEST_F(DateFilter, EnterInADateEditAcceptsToo)
{
    answerDialog([](FilterForm& dialog) {
        dialog.EndDate->setFocus();
        dialog.EndDate->setText(QStringLiteral("14/2/2024"));
        QTest::keyClick(dialog.EndDate, Qt::Key_Return);
    });
    ASSERT_TRUE(form.RunDateFilter(form.filterDialog()));
    EXPECT_EQ(data.LogTable.recordCount(), 3);
    data.LogTable.setFiltered(false);
}

struct RangeCase
{
    const char* name;
    const char* start;
    const char* end;
    bool accepted;
};

const RangeCase kRanges[] = {
    {"WholeRange", "2/1/2024", "5/3/2024", true},
    {"FirstDayOnly", "2/1/2024", "2/1/2024", true},
    {"LastDayOnly", "5/3/2024", "5/3/2024", true},
    {"GapWithoutMovements", "3/1/2024", "30/1/2024", true},
    {"StartBeforeFirst", "1/1/2024", "5/3/2024", false},
    {"EndAfterLast", "2/1/2024", "6/3/2024", false},
    {"Reversed", "14/2/2024", "31/1/2024", false},
    {"UnreadableStart", "abc", "5/3/2024", false},
    {"UnreadableEnd", "2/1/2024", "", false},
};

class RangeChecks : public DateFilter, public testing::WithParamInterface<RangeCase>
{};

TEST_P(RangeChecks, AcceptOnlyRangesInsideTheMovementsAndEndSilentlyOtherwise)
{
    answerDialog(
        enterRange(QString::fromLatin1(GetParam().start), QString::fromLatin1(GetParam().end)));
    EXPECT_EQ(form.RunDateFilter(form.filterDialog()), GetParam().accepted);
    EXPECT_EQ(data.LogTable.filtered(), GetParam().accepted);
    EXPECT_TRUE(dialogs.questions().empty());
    data.LogTable.setFiltered(false);
}

INSTANTIATE_TEST_SUITE_P(Filter, RangeChecks, testing::ValuesIn(kRanges),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
