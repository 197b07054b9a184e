#include "platform/Help.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

using namespace tamisko;

TEST(Help, TopicAddresses)
{
    EXPECT_EQ(help::topicUrl(help::kContents).fragment(), "contents");
    EXPECT_EQ(help::topicUrl(70).fragment(), "topic-70");
    EXPECT_TRUE(help::topicUrl(20).toLocalFile().endsWith("/Tamisko.html"));
}

TEST(Help, ContextOfTheNearestWidgetOrToolButtonAction)
{
    QWidget window;
    auto* edit = new QLineEdit(&window);
    auto* button = new QToolButton(&window);
    auto* action = new QAction("Κινήσεις", &window);
    button->setDefaultAction(action);
    EXPECT_EQ(help::helpContextAt(edit), help::kContents);
    help::setHelpContext(&window, 30);
    help::setHelpContext(action, 20);
    EXPECT_EQ(help::helpContextAt(edit), 30);
    EXPECT_EQ(help::helpContextAt(button), 20);
}

class HelpFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        help::setOpener([this](const QUrl& url) { opened.push_back(url); });
        createdFile = !QFile::exists(help::helpFilePath());
        if (createdFile) {
            QFile file(help::helpFilePath());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }
    void TearDown() override
    {
        if (createdFile)
            QFile::remove(help::helpFilePath());
        help::setOpener([](const QUrl&) {});
    }

    std::vector<QUrl> opened;
    bool createdFile = false;
};

TEST_F(HelpFile, F1OpensTheTopicOfTheFocusedWindow)
{
    help::F1Filter filter;
    qApp->installEventFilter(&filter);
    QWidget window;
    help::setHelpContext(&window, 60);
    auto* edit = new QLineEdit(&window);
    window.show();
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(edit, Qt::Key_F1);
    qApp->removeEventFilter(&filter);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].fragment(), "topic-60");
}

TEST_F(HelpFile, MissingFileShowsNothing)
{
    if (createdFile)
        QFile::remove(help::helpFilePath());
    else
        GTEST_SKIP() << "a help file lies beside the test";
    help::showTopic(20);
    EXPECT_TRUE(opened.empty());
    createdFile = false;
}
