#pragma once

#include "platform/DialogService.h"

#include <deque>
#include <variant>
#include <vector>

namespace tamisko {

// A dialog service for tests: answers from a queue and records every question.
// A question whose kind does not match the next answer (or that finds the queue empty)
// leaves the queue alone and is cancelled: a message box returns its escape button
// (the request's escape button, else Cancel, else No, else OK), a dialog returns
// "cancelled".
class ScriptedDialogService final : public DialogService
{
public:
    enum class Kind
    {
        Message,
        OpenFile,
        SaveFile,
        TextPrompt,
        PasswordEntry,
        PasswordChange,
        Choice
    };

    struct Question final
    {
        Kind kind = Kind::Message;
        QString caption; // message caption, dialog title
        QString text;    // message text, prompt, initial file name
        std::variant<MessageRequest, FileDialogRequest, TextPromptRequest, PasswordEntryRequest,
                     PasswordChangeRequest, ChoiceRequest>
            request;
        std::string password; // the password the dialog was opened with
        bool answered = false;

        const MessageRequest& message() const { return std::get<MessageRequest>(request); }
        const FileDialogRequest& file() const { return std::get<FileDialogRequest>(request); }
        const ChoiceRequest& choice() const { return std::get<ChoiceRequest>(request); }
    };

    // The next message box closes with this button.
    void answerButton(QMessageBox::StandardButton button);
    // The next file dialog (open or save) confirms this path.
    void answerFile(const QString& path);
    // The next text prompt confirms this text.
    void answerText(const QString& text);
    // The next password dialog confirms this password (cp1253).
    void answerPassword(const std::string& password);
    // The next choice picks this row.
    void answerRow(int row);
    // The next file dialog, prompt, password dialog or choice is cancelled.
    void answerCancel();

    const std::vector<Question>& questions() const { return questions_; }
    const Question& lastQuestion() const { return questions_.back(); }
    size_t pendingAnswers() const { return answers_.size(); }
    void clear();

    QMessageBox::StandardButton message(const MessageRequest& request) override;
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    std::optional<QString> promptText(const TextPromptRequest& request) override;
    std::optional<int> chooseRow(const ChoiceRequest& request) override;
    bool askPassword(std::string& password, const PasswordEntryRequest& request) override;
    bool changePassword(std::string& password, const PasswordChangeRequest& request) override;

private:
    struct Cancel final
    {};
    struct FileAnswer final
    {
        QString path;
    };
    struct TextAnswer final
    {
        QString text;
    };
    struct PasswordAnswer final
    {
        std::string password;
    };
    struct RowAnswer
    {
        int row;
    };
    using Answer = std::variant<QMessageBox::StandardButton, FileAnswer, TextAnswer, PasswordAnswer,
                                RowAnswer, Cancel>;

    template<typename T> std::optional<T> take(Question& question);
    std::optional<QString> file(Kind kind, const FileDialogRequest& request);
    bool password(std::string& password, Question question);

    std::deque<Answer> answers_;
    std::vector<Question> questions_;
};

} // namespace tamisko
