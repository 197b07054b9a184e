#include "pinakas_fixture.h"

#include <QFile>
#include <QTemporaryDir>

using namespace tamisko;
using namespace tamisko::pinakastest;

namespace {

// The five mixed movements as the export and the clipboard write them, in date order.
const QString kAllMovements = QStringLiteral("Ημέρα\tΚατηγορία\tΕίσπραξη\tΠληρωμή\tΠεριγραφή\r\n"
                                             "2/1/2024\tαναψυκτικά\t\t3\t\r\n"
                                             "31/1/2024\tμισθός\t1200\t\tΙανουάριος\r\n"
                                             "14/2/2024\tΔΕΗ\t\t87,3\t\r\n"
                                             "15/2/2024\tβιβλία\t0\t25,1\tδώρο\r\n"
                                             "5/3/2024\tτρόφιμα\t\t12,5\tψωμί\r\n");

const QStringList kDatesInOrder{"2/1/2024", "31/1/2024", "14/2/2024", "15/2/2024", "5/3/2024"};

class RangeOperations : public PinakasTest
{
protected:
    RangeOperations()
    {
        addMixedMovements();
        showForm();
        form.LogGrid->setFocus();
    }

    void expectViewsBackOnAllMovements()
    {
        EXPECT_FALSE(data.LogTable.filtered());
        EXPECT_TRUE(data.LogSource.enabled());
        EXPECT_EQ(data.LogTable.recordCount(), 5);
        EXPECT_EQ(form.LogGrid->model()->rowCount(), 5);
    }

    static std::vector<QString> detailTexts(const report::ReportLayout& layout, int item)
    {
        std::vector<QString> texts;
        for (const report::Page& page : layout.pages) {
            for (const report::PlacedBand& band : page.bands) {
                if (band.kind == report::BandKind::Detail)
                    texts.push_back(band.items.at(size_t(item)).text);
            }
        }
        return texts;
    }

    QTemporaryDir folder;
};

TEST_F(RangeOperations, ExportWithEnterWritesEveryMovementInDateOrderThenShowsThemAll)
{
    clickTitle(QStringLiteral("Κατηγορία")); // any order but the date's
    const QString fileName = folder.filePath(QStringLiteral("κινήσεις.txt"));
    dialogs.answerFile(fileName);
    answerDialog(pressKey(Qt::Key_Return));
    pressInForm(Qt::Key_F, Qt::ControlModifier);

    EXPECT_EQ(dialogsShown, 1);
    EXPECT_EQ(startDateShown, QStringLiteral("2/1/2024"));
    EXPECT_EQ(endDateShown, QStringLiteral("5/3/2024"));
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.lastQuestion().kind, ScriptedDialogService::Kind::SaveFile);
    EXPECT_EQ(dialogs.lastQuestion().file().filter, QStringLiteral("Αρχεία κειμένου (*.txt)"));
    EXPECT_EQ(dialogs.lastQuestion().file().defaultSuffix, QStringLiteral("txt"));

    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), kAllMovements.toUtf8());

    expectViewsBackOnAllMovements();
    EXPECT_EQ(columnTexts(0), kDatesInOrder);
}

TEST_F(RangeOperations, CancelledFileDialogWritesNothing)
{
    dialogs.answerCancel();
    answerDialog(pressKey(Qt::Key_Return));
    pressInForm(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(dialogs.questions().size(), 1u);
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
    expectViewsBackOnAllMovements();
}

TEST_F(RangeOperations, ExportThatCannotWriteIsReportedAndTheFilterStillGoesOff)
{
    dialogs.answerFile(folder.filePath(QStringLiteral("missing/κινήσεις.txt")));
    answerDialog(pressKey(Qt::Key_Return));
    pressInForm(Qt::Key_F, Qt::ControlModifier);

    ASSERT_EQ(dialogs.questions().size(), 2u);
    EXPECT_EQ(dialogs.lastQuestion().message().icon, QMessageBox::Critical);
    expectViewsBackOnAllMovements();
}

TEST_F(RangeOperations, CopyWithEnterPutsTheWholeRangeOnTheClipboard)
{
    answerDialog(pressKey(Qt::Key_Return));
    pressInForm(Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(clipboardText(), kAllMovements);
    EXPECT_TRUE(dialogs.questions().empty());
    expectViewsBackOnAllMovements();
}

TEST_F(RangeOperations, CopyOfAPartOfTheRangeHoldsOnlyItsMovements)
{
    answerDialog(enterRange(QStringLiteral("31/1/2024"), QStringLiteral("14/2/2024")));
    pressInForm(Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(clipboardText(), QStringLiteral("Ημέρα\tΚατηγορία\tΕίσπραξη\tΠληρωμή\tΠεριγραφή\r\n"
                                              "31/1/2024\tμισθός\t1200\t\tΙανουάριος\r\n"
                                              "14/2/2024\tΔΕΗ\t\t87,3\t\r\n"));
    expectViewsBackOnAllMovements();
}

TEST_F(RangeOperations, CopyWithAStartBeforeTheFirstMovementCopiesAndShowsNothing)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("πριν"));
    answerDialog(enterRange(QStringLiteral("1/1/2024"), QStringLiteral("5/3/2024")));
    pressInForm(Qt::Key_Insert, Qt::ControlModifier);

    EXPECT_EQ(dialogsShown, 1);
    EXPECT_EQ(clipboardText(), QStringLiteral("πριν"));
    EXPECT_TRUE(dialogs.questions().empty());
    expectViewsBackOnAllMovements();
}

TEST_F(RangeOperations, PreviewOfASingleDayListsThatDayOnly)
{
    addMovement(day(2024, 2, 14), QStringLiteral("τρόφιμα"), std::nullopt, 4);
    answerDialog(enterRange(QStringLiteral("14/2/2024"), QStringLiteral("14/2/2024")));
    pressInForm(Qt::Key_P, Qt::ControlModifier);

    ASSERT_EQ(viewer.shown.size(), 1u);
    EXPECT_EQ(detailTexts(viewer.shown.front(), 1),
              (std::vector<QString>{QStringLiteral("ΔΕΗ"), QStringLiteral("τρόφιμα")}));
    EXPECT_FALSE(data.LogTable.filtered());
    EXPECT_EQ(form.LogGrid->model()->rowCount(), 6);
}

TEST_F(RangeOperations, PreviewDropsAHalfTypedMovementFirst)
{
    data.LogTable.append();
    data.LogTable.setFieldValue("Date", Variant::fromDate(day(2025, 1, 1)));
    answerDialog(pressKey(Qt::Key_Return));
    pressInForm(Qt::Key_P, Qt::ControlModifier);

    EXPECT_EQ(endDateShown, QStringLiteral("5/3/2024"));
    ASSERT_EQ(viewer.shown.size(), 1u);
    EXPECT_EQ(detailTexts(viewer.shown.front(), 0),
              std::vector<QString>(kDatesInOrder.begin(), kDatesInOrder.end()));
    EXPECT_EQ(data.LogTable.state(), DataSetState::Browse);
    expectViewsBackOnAllMovements();
}

TEST_F(RangeOperations, TheCurrentMovementStaysCurrent)
{
    form.LogGrid->setCurrentIndex(form.LogGrid->model()->index(2, 1));
    ASSERT_EQ(data.LogTable.fieldByName("Category").asString(), fromQString("ΔΕΗ"));
    answerDialog(enterRange(QStringLiteral("31/1/2024"), QStringLiteral("15/2/2024")));
    pressInForm(Qt::Key_Insert, Qt::ControlModifier);

    EXPECT_EQ(data.LogTable.fieldByName("Category").asString(), fromQString("ΔΕΗ"));
    EXPECT_EQ(form.LogGrid->currentIndex().row(), 2); // third by date too
    EXPECT_EQ(data.LogTable.recNo(), 3);
}

// Each operation, by its shortcut.
struct Operation
{
    const char* name;
    Qt::Key key;
};

const Operation kOperations[] = {
    {"preview", Qt::Key_P},
    {"copy", Qt::Key_Insert},
    {"export", Qt::Key_F},
};

class EachOperation : public PinakasTest, public testing::WithParamInterface<Operation>
{
protected:
    void run() { pressInForm(GetParam().key, Qt::ControlModifier); }

    // Nothing printed, copied, asked or written.
    void expectNothingDone()
    {
        EXPECT_TRUE(viewer.shown.empty());
        EXPECT_EQ(clipboardText(), QStringLiteral("πριν"));
        EXPECT_TRUE(dialogs.questions().empty());
        EXPECT_FALSE(data.LogTable.filtered());
        EXPECT_TRUE(data.LogSource.enabled());
    }
};

TEST_P(EachOperation, EscInTheDialogDoesNothing)
{
    addMixedMovements();
    showForm();
    form.LogGrid->setFocus();
    form.LogGrid->setCurrentIndex(form.LogGrid->model()->index(2, 0));
    const std::vector<double> datesBefore = numbers("Date");
    QGuiApplication::clipboard()->setText(QStringLiteral("πριν"));
    answerDialog(pressKey(Qt::Key_Escape));
    run();

    EXPECT_EQ(dialogsShown, 1);
    expectNothingDone();
    EXPECT_EQ(numbers("Date"), datesBefore); // not even sorted
    EXPECT_EQ(data.LogTable.recNo(), 3);
}

TEST_P(EachOperation, AnEmptyBookDoesNothing)
{
    showForm();
    QGuiApplication::clipboard()->setText(QStringLiteral("πριν"));
    run();
    EXPECT_EQ(dialogsShown, 0);
    expectNothingDone();
}

INSTANTIATE_TEST_SUITE_P(Pinakas, EachOperation, testing::ValuesIn(kOperations),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
