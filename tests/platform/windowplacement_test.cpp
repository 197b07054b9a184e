#include "platform/ProfileFile.h"
#include "platform/WindowPlacement.h"

#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>

using namespace tamisko;

class Placement : public ::testing::Test
{
protected:
    void SetUp() override { placement.setIniFileName(path); }

    QString screenKey(const QString& key) const
    {
        const QSize size = QGuiApplication::primaryScreen()->geometry().size();
        return QString("%1(%2x%3)").arg(key).arg(size.width()).arg(size.height());
    }
    int dpi() const { return qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY()); }

    QTemporaryDir dir;
    QString path = dir.filePath("Tamisko.ini");
    ProfileFile profile{path};
    WindowPlacement placement{"TMainForm"};
};

TEST_F(Placement, SavesTheListedKeys)
{
    QWidget window;
    window.setGeometry(40, 50, 300, 200);
    window.show();
    placement.save(window);
    EXPECT_EQ(profile.readString("TMainForm", "NormPos"), "40,50,340,250");
    EXPECT_EQ(profile.readString("TMainForm", screenKey("NormPos")), "40,50,340,250");
    EXPECT_FALSE(profile.readString("TMainForm", screenKey("MinMaxPos")).isEmpty());
    EXPECT_EQ(profile.readInteger("TMainForm", "ShowCmd", 0), 1);
    EXPECT_EQ(profile.readInteger("TMainForm", "Flags", -1), 0);
    EXPECT_EQ(profile.readInteger("TMainForm", "PixelsPerInch", 0), dpi());
    EXPECT_EQ(profile.readInteger("TMainForm", "Visible", 0), 1);
}

TEST_F(Placement, RestoresWhatWasSaved)
{
    QWidget saved;
    saved.setGeometry(60, 70, 320, 240);
    placement.save(saved);
    QWidget restored;
    EXPECT_TRUE(placement.restore(restored));
    EXPECT_EQ(restored.geometry(), QRect(60, 70, 320, 240));
}

TEST_F(Placement, PrefersTheKeyOfTheCurrentScreenSize)
{
    profile.writeInteger("TMainForm", "PixelsPerInch", dpi());
    profile.writeString("TMainForm", "NormPos", "10,10,110,110");
    profile.writeString("TMainForm", screenKey("NormPos"), "20,30,220,230");
    QWidget window;
    EXPECT_TRUE(placement.restore(window));
    EXPECT_EQ(window.geometry(), QRect(20, 30, 200, 200));
}

TEST_F(Placement, IgnoresPositionsOfAnotherResolutionOrOffScreen)
{
    profile.writeInteger("TMainForm", "PixelsPerInch", dpi() + 24);
    profile.writeString("TMainForm", "NormPos", "10,10,110,110");
    QWidget window;
    window.setGeometry(5, 6, 70, 80);
    EXPECT_FALSE(placement.restore(window));
    EXPECT_EQ(window.geometry(), QRect(5, 6, 70, 80));

    profile.writeInteger("TMainForm", "PixelsPerInch", dpi());
    profile.writeString("TMainForm", "NormPos", "-5000,-5000,-4900,-4900");
    EXPECT_FALSE(placement.restore(window));
    EXPECT_EQ(window.geometry(), QRect(5, 6, 70, 80));
}

TEST_F(Placement, ShowStateThreeRestoresMaximised)
{
    profile.writeInteger("TMainForm", "ShowCmd", 3);
    QWidget window;
    placement.restore(window);
    EXPECT_TRUE(window.windowState().testFlag(Qt::WindowMaximized));
}

TEST_F(Placement, NothingSavedChangesNothing)
{
    QWidget window;
    window.setGeometry(5, 6, 70, 80);
    EXPECT_FALSE(placement.restore(window));
    EXPECT_EQ(window.geometry(), QRect(5, 6, 70, 80));
    EXPECT_EQ(window.windowState(), Qt::WindowNoState);
}

TEST(CentreOnScreen, PutsTheWindowInTheMiddleOfTheAvailableArea)
{
    QWidget window;
    window.resize(300, 200);
    window.move(0, 0);
    CentreOnScreen(window);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint middle = window.frameGeometry().center();
    EXPECT_LE(std::abs(middle.x() - available.center().x()), 1);
    EXPECT_LE(std::abs(middle.y() - available.center().y()), 1);
}
