#include "platform/Help.h"
#include "platform/HelpBrowser.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
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

// The program's help page, from the sources.
QUrl helpPage(const QString& fragment = {})
{
    QUrl url =
        QUrl::fromLocalFile(QStringLiteral(TAMISKO_SAMPLES_DIR "/../resources/Tamisko.html"));
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    return url;
}

TEST(HelpBrowser, OpensThePageAtTheTopicOfTheAddress)
{
    help::HelpBrowser browser;
    browser.resize(480, 300);
    browser.showTopic(helpPage(QStringLiteral("topic-70")));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&browser));
    EXPECT_EQ(browser.windowTitle(), QStringLiteral("Οι ταμίσκες μου - Βοήθεια"));
    const int atLastTopic = browser.verticalScrollBar()->value();
    EXPECT_GT(atLastTopic, 0) << "the fragment was dropped";

    browser.showTopic(helpPage(QStringLiteral("topic-30")));
    const int atTableTopic = browser.verticalScrollBar()->value();
    EXPECT_GT(atTableTopic, 0);
    EXPECT_LT(atTableTopic, atLastTopic);

    browser.showTopic(helpPage(QStringLiteral("contents")));
    EXPECT_LT(browser.verticalScrollBar()->value(), atTableTopic);
}

bool hasAnchor(const QTextDocument& document, const QString& name)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            if (fragment.fragment().charFormat().anchorNames().contains(name))
                return true;
        }
    }
    return false;
}

TEST(HelpBrowser, EveryHelpContextHasItsSection)
{
    help::HelpBrowser browser;
    browser.setSource(helpPage());
    for (const int context : {help::kContents, 20, 30, 40, 50, 60, 70}) {
        const QString anchor = help::topicUrl(context).fragment();
        EXPECT_TRUE(hasAnchor(*browser.document(), anchor)) << anchor.toStdString();
    }
}

TEST(HelpWindow, TopicsOpenInTheProgramsOwnHelpWindow)
{
    const QString path = help::helpFilePath();
    const bool created = !QFile::exists(path) && QFile::copy(helpPage().toLocalFile(), path);
    help::setOpener({});
    help::showTopic(70);
    help::HelpBrowser& browser = help::HelpBrowser::shared();
    EXPECT_TRUE(browser.isVisible());
    EXPECT_EQ(browser.source().toLocalFile(), path);
    EXPECT_GT(browser.verticalScrollBar()->value(), 0);
    browser.close();
    if (created)
        QFile::remove(path);
}
