#include "db_tables.h"
#include "platform/db/DBLookupListBox.h"

using namespace tamisko;
using namespace tamisko::dbtest;

namespace {

constexpr double kDay = 45292;

class LookupList : public ControlTest
{
protected:
    LookupList()
    {
        tobacco = tables.addCategory("καπνός");
        books = tables.addCategory("βιβλία");
        cinema = tables.addCategory("κινηματογράφος");
        tables.addMovement(kDay, books, 10);
        tables.addMovement(kDay, cinema, 5);
        tables.movements.first();
        list.setDataSource(&tables.movementSource);
        list.setDataField("Category");
        list.setListSource(&tables.categorySource);
        show();
        list.setFocus();
    }

    QStringList names() const
    {
        QStringList shown;
        for (int row = 0; row < list.model()->rowCount(); ++row)
            shown << list.model()->index(row, 0).data().toString();
        return shown;
    }
    QString selectedName() const { return list.currentIndex().data().toString(); }
    int catNum() const { return tables.movements.fieldByName("CatNum").asInteger(); }

    CashTables tables;
    int tobacco = 0, books = 0, cinema = 0;
    DBLookupListBox list{&window};
};

TEST_F(LookupList, ListsTheLookupTableInItsOrderAndSelectsTheRecordsKey)
{
    EXPECT_EQ(names(), QStringList({"βιβλία", "καπνός", "κινηματογράφος"}));
    EXPECT_EQ(selectedName(), "βιβλία");
    tables.movements.next();
    EXPECT_EQ(selectedName(), "κινηματογράφος");
}

TEST_F(LookupList, ChoosingARowStoresItsKey)
{
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(tables.movements.state(), DataSetState::Edit);
    EXPECT_EQ(catNum(), tobacco);
    EXPECT_EQ(tables.text("Category"), "καπνός");
    EXPECT_EQ(tables.categories.recNo(), 3) << "the list never moves the lookup table";
}

TEST_F(LookupList, TypingLettersSelectsByPrefixInAnyCase)
{
    type(&list, "ΚΙ");
    EXPECT_EQ(selectedName(), "κινηματογράφος");
    EXPECT_EQ(catNum(), cinema);
}

TEST_F(LookupList, AMoveOfKeysStartsANewSearch)
{
    type(&list, "κα");
    EXPECT_EQ(selectedName(), "καπνός");
    QTest::keyClick(&list, Qt::Key_Up);
    type(&list, "κ");
    EXPECT_EQ(selectedName(), "καπνός");
}

TEST_F(LookupList, ANewRecordHasNoSelectionAndTheListFollowsItsTable)
{
    tables.movements.append();
    EXPECT_EQ(list.selectedRow(), -1);
    tables.addCategory("αναψυκτικά");
    EXPECT_EQ(names().front(), "αναψυκτικά");
    EXPECT_EQ(list.selectedRow(), -1);
    type(&list, "α");
    EXPECT_EQ(tables.text("Category"), "αναψυκτικά");
}

TEST_F(LookupList, DetachedListChoosesNothing)
{
    tables.movementSource.setEnabled(false);
    EXPECT_EQ(list.selectedRow(), -1);
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(tables.movements.state(), DataSetState::Browse);
    tables.movementSource.setEnabled(true);
    EXPECT_EQ(selectedName(), "βιβλία");
}

} // namespace
