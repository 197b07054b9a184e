#include "app/PasswordEdit.h"
#include "app/PasswordEntryFrm.h"
#include "app/PasswordNewFrm.h"
#include "platform/Help.h"
#include "platform/ScriptedDialogService.h"

#include <functional>
#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>

using namespace tamisko;

namespace {

const QString kPrompt = "Εισαγωγή κωδικού:";
const QString kReenter = "Επαναεισαγωγή κωδικού:";
const QString kCaption = "Κωδικός";
const QString kMismatch = "Οι κωδικοί δεν ταυτίζονται. Ξαναδοκιμάστε.";
const QString kTooShort = "Ο κωδικός χρειάζεται τουλάχιστον %d χαρακτήρες";

// Runs the interaction on the modal dialog once its event loop is running.
void whenModal(std::function<void(QWidget&)> interact)
{
    QTimer::singleShot(0, [interact = std::move(interact)] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        interact(*dialog);
    });
}

void typeText(QWidget* target, const QString& text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key(ch.toUpper().unicode()), QString(ch),
                            Qt::NoModifier);
}

bool changePassword(std::string& password)
{
    return ChangePassword(password, 3, 70, kPrompt, kReenter, kCaption, kMismatch, kTooShort);
}

} // namespace

class PasswordDialogs : public ::testing::Test
{
protected:
    ScriptedDialogService dialogs;
    ScopedDialogService installed{dialogs};
};

TEST_F(PasswordDialogs, NewPasswordRules)
{
    struct Case
    {
        QString first;
        QString second;
        QString message; // empty: accepted
    };
    const QString tooShort = "Ο κωδικός χρειάζεται τουλάχιστον 3 χαρακτήρες";
    const Case cases[] = {
        {"", "", ""},
        {"", "abc", kMismatch},
        {"a", "", tooShort},
        {"ab", "ab", tooShort},
        {"ab", "xyz", tooShort}, // length before comparison
        {"abc", "abc", ""},
        {"abc", "abd", kMismatch},
        {"Abc", "abc", kMismatch}, // case-sensitive
        {"δοκιμή", "δοκιμή", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.first + " / " + c.second).toStdString());
        dialogs.clear();
        PasswordNewForm form;
        form.setWindowTitle(kCaption);
        form.MinLength = 3;
        form.MismatchMessage = kMismatch;
        form.TooShortFormat = kTooShort;
        form.show();
        typeText(form.Pass, c.first);
        typeText(form.PassRe, c.second);
        form.PassRe->setFocus();
        QTest::keyClick(form.PassRe, Qt::Key_Return);
        if (c.message.isEmpty()) {
            EXPECT_EQ(form.result(), QDialog::Accepted);
            EXPECT_FALSE(form.isVisible());
            EXPECT_TRUE(dialogs.questions().empty());
        } else {
            EXPECT_TRUE(form.isVisible());
            ASSERT_EQ(dialogs.questions().size(), 1u);
            const auto& message = dialogs.questions()[0].message();
            EXPECT_EQ(message.text, c.message);
            EXPECT_EQ(message.caption, kCaption);
            EXPECT_EQ(message.icon, QMessageBox::Critical);
            EXPECT_EQ(message.buttons, QMessageBox::Ok);
            EXPECT_EQ(form.focusWidget(), form.Pass);
            EXPECT_EQ(form.Pass->text(), c.first); // what was typed stays
            EXPECT_EQ(form.PassRe->text(), c.second);
        }
    }
}

TEST_F(PasswordDialogs, ChangePasswordPrefillsBothEntries)
{
    std::string password = "\xE4\xEF\xEA\xE9\xEC\xDE"; // "δοκιμή" in cp1253
    whenModal([](QWidget& dialog) {
        auto& form = static_cast<PasswordNewForm&>(dialog);
        EXPECT_EQ(form.Pass->text(), "δοκιμή");
        EXPECT_EQ(form.PassRe->text(), "δοκιμή");
        EXPECT_EQ(form.windowTitle(), kCaption);
        EXPECT_EQ(form.lblPass->text(), kPrompt);
        EXPECT_EQ(form.lblPassReenter->text(), kReenter);
        EXPECT_EQ(form.btnCancel->text(), "Άκυρο");
        EXPECT_EQ(help::helpContext(&form), 70);
        QTest::keyClick(form.Pass, Qt::Key_Return);
    });
    EXPECT_TRUE(changePassword(password));
    EXPECT_EQ(password, "\xE4\xEF\xEA\xE9\xEC\xDE");
}

TEST_F(PasswordDialogs, ChangePasswordToEmptyAndCancel)
{
    std::string password = "old";
    whenModal([](QWidget& dialog) {
        auto& form = static_cast<PasswordNewForm&>(dialog);
        form.Pass->clear();
        form.PassRe->clear();
        QTest::mouseClick(form.btnOK, Qt::LeftButton);
    });
    EXPECT_TRUE(changePassword(password));
    EXPECT_EQ(password, "");

    password = "old";
    whenModal([](QWidget& dialog) {
        auto& form = static_cast<PasswordNewForm&>(dialog);
        typeText(form.Pass, "new");
        QTest::keyClick(form.Pass, Qt::Key_Escape);
    });
    EXPECT_FALSE(changePassword(password));
    EXPECT_EQ(password, "old");
}

TEST_F(PasswordDialogs, AskPasswordAcceptsAnyTextAndCancelKeepsTheString)
{
    std::string password;
    whenModal([](QWidget& dialog) {
        auto& form = static_cast<PasswordEntryForm&>(dialog);
        EXPECT_EQ(form.windowTitle(), kCaption);
        EXPECT_EQ(form.lblPass->text(), kPrompt);
        EXPECT_EQ(form.Button1->text(), "&Cancel");
        EXPECT_EQ(form.Pass->echoMode(), QLineEdit::Password);
        QTest::keyClick(form.Pass, Qt::Key_Return);
    });
    EXPECT_TRUE(AskPassword(password, 70, kPrompt, kCaption));
    EXPECT_EQ(password, "");

    whenModal([](QWidget& dialog) {
        auto& form = static_cast<PasswordEntryForm&>(dialog);
        typeText(form.Pass, "Κλειδί");
        QTest::keyClick(form.Pass, Qt::Key_Return);
    });
    EXPECT_TRUE(AskPassword(password, 70, kPrompt, kCaption));
    EXPECT_EQ(password, "\xCA\xEB\xE5\xE9\xE4\xDF"); // cp1253 bytes

    whenModal([](QWidget& dialog) {
        auto& form = static_cast<PasswordEntryForm&>(dialog);
        typeText(form.Pass, "x");
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    });
    EXPECT_FALSE(AskPassword(password, 70, kPrompt, kCaption));
    EXPECT_EQ(password, "\xCA\xEB\xE5\xE9\xE4\xDF");
    EXPECT_TRUE(dialogs.questions().empty());
}

TEST_F(PasswordDialogs, EditsTakeOnlyCp1253AndShowAsterisks)
{
    PasswordEdit edit;
    edit.show();
    typeText(&edit, "aΩ日€");
    EXPECT_EQ(edit.text(), "aΩ€");
    EXPECT_EQ(edit.style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, &edit), '*');
}

TEST_F(PasswordDialogs, FormsHaveTheirDesignedSizes)
{
    PasswordEntryForm entry;
    EXPECT_EQ(entry.size(), QSize(233, 90));
    EXPECT_EQ(entry.Pass->geometry(), QRect(8, 25, 217, 21));
    EXPECT_TRUE(entry.btnOK->isDefault());

    PasswordNewForm change; // laid out at 120 pixels per inch
    const auto scaled = [&](int v) {
        return scaledToScreen(v, 120, change);
    };
    EXPECT_EQ(change.size(), QSize(scaled(287), scaled(177)));
    EXPECT_TRUE(change.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(entry.windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

TEST_F(PasswordDialogs, FormsGrowWithALargerApplicationFont)
{
    const QFont original = QApplication::font();
    QFont larger = original;
    larger.setPointSizeF(original.pointSizeF() * 1.6);
    QApplication::setFont(larger);
    PasswordEntryForm entry;
    entry.lblPass->setText(QStringLiteral("Εισαγωγή κωδικού:"));
    PasswordNewForm change;

    entry.show();
    change.show();
    EXPECT_GT(entry.width(), 233);
    EXPECT_GT(entry.height(), 90);
    EXPECT_LE(entry.lblPass->geometry().bottom(), entry.Pass->geometry().top());
    EXPECT_LE(entry.Pass->geometry().bottom(), entry.btnOK->mapTo(&entry, QPoint()).y());
    EXPECT_GE(entry.Pass->height(), entry.Pass->minimumSizeHint().height());
    EXPECT_LE(change.Pass->geometry().bottom(), change.lblPassReenter->geometry().top());
    EXPECT_LE(change.PassRe->geometry().bottom(), change.btnOK->mapTo(&change, QPoint()).y());
    QApplication::setFont(original);
}
