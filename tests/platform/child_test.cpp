#include "platform/Child.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QTest>

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
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

// A window with two captioned edits, Alt+A and Alt+B reaching them.
struct FieldsWindow
{
    ChildForm form;
    QLineEdit* first = new QLineEdit(&form);
    QLineEdit* second = new QLineEdit(&form);

    explicit FieldsWindow(QWidget* clientArea) : form(nullptr, clientArea)
    {
        (new QLabel(QStringLiteral("&A"), &form))->setBuddy(first);
        (new QLabel(QStringLiteral("&B"), &form))->setBuddy(second);
    }
};

// An edit that keeps the focus, as a bound edit does with a text it cannot take.
class StubbornEdit final : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;

protected:
    void focusOutEvent(QFocusEvent* event) override
    {
        QLineEdit::focusOutEvent(event);
        setFocus(Qt::OtherFocusReason);
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

    entry.showChild();
    second->setFocus();
    table.showChild();
    EXPECT_EQ(host.window.focusWidget(), grid);
    entry.showChild();
    EXPECT_EQ(host.window.focusWidget(), second) << "back where it was when the window went";
}

// Only the front window is shown, so neither Tab nor an accelerator reaches a window
// behind it.
TEST(ChildForm, TheKeyboardReachesOnlyTheFrontWindow)
{
    Host host;
    FieldsWindow entry(host.clientArea);
    FieldsWindow table(host.clientArea);
    entry.form.showChild();
    table.form.showChild();
    EXPECT_FALSE(entry.form.isVisible());
    ASSERT_EQ(QApplication::focusWidget(), table.first);

    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_Tab, Qt::NoModifier},       {Qt::Key_Tab, Qt::NoModifier},
        {Qt::Key_Tab, Qt::NoModifier},       {Qt::Key_A, Qt::AltModifier},
        {Qt::Key_B, Qt::AltModifier},        {Qt::Key_Backtab, Qt::ShiftModifier},
        {Qt::Key_Backtab, Qt::ShiftModifier}};
    for (const auto& [key, modifiers] : keys) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        EXPECT_TRUE(table.form.isAncestorOf(QApplication::focusWidget()))
            << QKeySequence(key | modifiers).toString().toStdString();
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), table.first);
}

TEST(ChildForm, WhenTheFrontWindowGoesTheOneBeforeItIsSeenAgain)
{
    Host host;
    FieldsWindow entry(host.clientArea);
    FieldsWindow table(host.clientArea);
    entry.form.showChild();
    table.form.showChild();
    entry.form.showChild();
    auto* comparison = new FieldsWindow(host.clientArea);
    comparison->form.showChild();
    ASSERT_FALSE(entry.form.isVisible());

    delete comparison;
    EXPECT_TRUE(entry.form.isVisible()) << "the one shown last before it";
    EXPECT_FALSE(table.form.isVisible());
    EXPECT_TRUE(entry.form.isAncestorOf(QApplication::focusWidget()));
}

TEST(ChildForm, AControlThatKeepsTheFocusKeepsItsWindowInFront)
{
    Host host;
    ChildForm entry(nullptr, host.clientArea);
    auto* date = new StubbornEdit(&entry);
    ChildForm table(nullptr, host.clientArea);
    new QLineEdit(&table);
    entry.showChild();
    ASSERT_EQ(QApplication::focusWidget(), date);

    EXPECT_FALSE(table.showChild());
    EXPECT_TRUE(entry.isVisible());
    EXPECT_FALSE(table.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), date);
}
