#include "app/Child.h"

#include <gtest/gtest.h>
#include <QMainWindow>

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
