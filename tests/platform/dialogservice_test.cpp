#include "platform/ScriptedDialogService.h"

#include <gtest/gtest.h>

using namespace tamisko;
using Kind = ScriptedDialogService::Kind;

class ScriptedDialogs : public ::testing::Test
{
protected:
    ScriptedDialogService dialogs;
    ScopedDialogService installed{dialogs};
};

TEST_F(ScriptedDialogs, AnswersInOrderAndRecordsQuestions)
{
    dialogs.answerButton(QMessageBox::No);
    dialogs.answerFile("/tmp/a.tmk");
    dialogs.answerText("κείμενο");

    auto& service = DialogService::instance();
    EXPECT_EQ(service.message({"Ταμίσκες", "Ερώτηση;", QMessageBox::Warning,
                               QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel}),
              QMessageBox::No);
    EXPECT_EQ(service.saveFileName({"Αποθήκευση", "*.tmk", "tmk", "Νέες ταμίσκες.tmk"}),
              QString("/tmp/a.tmk"));
    EXPECT_EQ(service.promptText({"Κατηγορία", "Όνομα:", "", 30}), QString("κείμενο"));

    ASSERT_EQ(dialogs.questions().size(), 3u);
    const auto& question = dialogs.questions()[0];
    EXPECT_EQ(question.kind, Kind::Message);
    EXPECT_EQ(question.caption, "Ταμίσκες");
    EXPECT_EQ(question.message().icon, QMessageBox::Warning);
    EXPECT_EQ(dialogs.questions()[1].kind, Kind::SaveFile);
    EXPECT_EQ(dialogs.questions()[1].text, "Νέες ταμίσκες.tmk");
    EXPECT_EQ(dialogs.pendingAnswers(), 0u);
}

TEST_F(ScriptedDialogs, UnansweredQuestionsAreCancelled)
{
    auto& service = DialogService::instance();
    EXPECT_EQ(service.message({"", "?", QMessageBox::Warning,
                               QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel}),
              QMessageBox::Cancel);
    EXPECT_EQ(service.message({"", "?", QMessageBox::Question, QMessageBox::Yes | QMessageBox::No}),
              QMessageBox::No);
    EXPECT_EQ(service.message({"", "!", QMessageBox::Critical}), QMessageBox::Ok);
    EXPECT_FALSE(service.openFileName({}));
    std::string password = "old";
    EXPECT_FALSE(service.changePassword(password, {}));
    EXPECT_EQ(password, "old");
    EXPECT_FALSE(dialogs.lastQuestion().answered);
}

TEST_F(ScriptedDialogs, AnswerOfAnotherKindWaitsForItsQuestion)
{
    dialogs.answerFile("/tmp/b.tmk");
    EXPECT_EQ(DialogService::instance().message(
                  {"", "?", QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Cancel}),
              QMessageBox::Cancel);
    EXPECT_EQ(dialogs.pendingAnswers(), 1u);
    EXPECT_EQ(DialogService::instance().openFileName({}), QString("/tmp/b.tmk"));
}

TEST_F(ScriptedDialogs, CancelAndPasswords)
{
    dialogs.answerCancel();
    dialogs.answerPassword("\xE4\xEF\xEA"); // cp1253 "δοκ"
    std::string password = "old";
    auto& service = DialogService::instance();
    EXPECT_FALSE(service.askPassword(password, {70, "Εισαγωγή κωδικού:", "Κωδικός"}));
    EXPECT_EQ(password, "old");
    PasswordChangeRequest change;
    change.minLength = 3;
    EXPECT_TRUE(service.changePassword(password, change));
    EXPECT_EQ(password, "\xE4\xEF\xEA");
    EXPECT_EQ(dialogs.questions()[0].kind, Kind::PasswordEntry);
    EXPECT_EQ(dialogs.questions()[0].caption, "Κωδικός");
    EXPECT_EQ(dialogs.questions()[1].password, "old"); // what the dialog was opened with
}

TEST(DialogService, ScopedServiceRestoresThePreviousOne)
{
    ScriptedDialogService outer;
    ScopedDialogService installOuter(outer);
    {
        ScriptedDialogService inner;
        ScopedDialogService installInner(inner);
        EXPECT_EQ(&DialogService::instance(), &inner);
    }
    EXPECT_EQ(&DialogService::instance(), &outer);
}

TEST(DialogService, ConvenienceMessagesHaveOneOkButton)
{
    ScriptedDialogService dialogs;
    ScopedDialogService installed(dialogs);
    DialogService::instance().showError("Πρόβλημα", "Λάθος");
    DialogService::instance().showInformation("", "Πληροφορία");
    EXPECT_EQ(dialogs.questions()[0].message().icon, QMessageBox::Critical);
    EXPECT_EQ(dialogs.questions()[0].message().buttons, QMessageBox::Ok);
    EXPECT_EQ(dialogs.questions()[1].message().icon, QMessageBox::Information);
}
