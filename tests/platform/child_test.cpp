#include "platform/Child.h"

#include <gtest/gtest.h>
#include <QLineEdit>
#include <QMainWindow>

using namespace tamisko;

namespace {

struct Host
{
    QMainWindow window;
    QWidget* clientArea = new QWidget;

    Host()
    {
        window.setCentralWidget(clientArea);
        window.resize(800, 400);
        window.show();
    }
};

} // namespace

TEST(ChildForm, EmbeddedWindowsFillTheClientAreaAndFollowItsSize)
{
    Host host;
    ChildForm entry(nullptr, host.clientArea);
    ChildForm table(nullptr, host.clientArea);
    entry.showChild();
    table.showChild();
    EXPECT_TRUE(entry.isEmbedded());
    EXPECT_FALSE(entry.isWindow());
    EXPECT_EQ(entry.geometry(), host.clientArea->rect());

    host.window.resize(1000, 600);
    EXPECT_EQ(table.geometry(), host.clientArea->rect());
    EXPECT_EQ(entry.geometry(), host.clientArea->rect());
}

TEST(ChildForm, TheWindowShownLastIsInFront)
{
    Host host;
    ChildForm entry(nullptr, host.clientArea);
    ChildForm table(nullptr, host.clientArea);
    entry.showChild();
    table.showChild();
    EXPECT_EQ(host.clientArea->childAt(10, 10), &table);
    entry.showChild();
    EXPECT_EQ(host.clientArea->childAt(10, 10), &entry);
}

TEST(ChildForm, WithoutAHostItIsAnOrdinaryWindow)
{
    ChildForm standalone;
    EXPECT_FALSE(standalone.isEmbedded());
    EXPECT_TRUE(standalone.isWindow());
    EXPECT_EQ(standalone.windowTitle(), QStringLiteral("ChildForm"));
}

// The keyboard goes to the window just shown: its active control, else its first
// control; a window that focused a control of its own while showing keeps it.
TEST(ChildForm, TheWindowShownGetsTheKeyboard)
{
    Host host;
    ChildForm entry(nullptr, host.clientArea);
    auto* first = new QLineEdit(&entry);
    auto* second = new QLineEdit(&entry);
    ChildForm table(nullptr, host.clientArea);
    new QLineEdit(&table); // first in the tab order
    auto* grid = new QLineEdit(&table);
    table.setActiveControl(grid);

    entry.showChild();
    EXPECT_EQ(host.window.focusWidget(), first);
    table.showChild();
    EXPECT_EQ(host.window.focusWidget(), grid);

    second->setFocus();
    entry.showChild();
    EXPECT_EQ(host.window.focusWidget(), second)
        << "focus already inside the window stays where it is";
}
