#include "platform/ScriptedDialogService.h"

namespace tamisko {
namespace {

QMessageBox::StandardButton escapeButton(QMessageBox::StandardButtons buttons)
{
    for (const auto button : {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ok}) {
        if (buttons.testFlag(button))
            return button;
    }
    return QMessageBox::NoButton;
}

} // namespace

void ScriptedDialogService::answerButton(QMessageBox::StandardButton button)
{
    answers_.emplace_back(button);
}

void ScriptedDialogService::answerFile(const QString& path)
{
    answers_.emplace_back(FileAnswer{path});
}

void ScriptedDialogService::answerText(const QString& text)
{
    answers_.emplace_back(TextAnswer{text});
}

void ScriptedDialogService::answerPassword(const std::string& password)
{
    answers_.emplace_back(PasswordAnswer{password});
}

void ScriptedDialogService::answerRow(int row)
{
    answers_.emplace_back(RowAnswer{row});
}

void ScriptedDialogService::answerCancel()
{
    answers_.emplace_back(Cancel{});
}

void ScriptedDialogService::clear()
{
    answers_.clear();
    questions_.clear();
}

// The next answer when it is a T or, for dialogs, a cancel (which yields nothing).
template<typename T> std::optional<T> ScriptedDialogService::take(Question& question)
{
    if (answers_.empty())
        return std::nullopt;
    Answer& next = answers_.front();
    std::optional<T> result;
    if (auto* answer = std::get_if<T>(&next))
        result = std::move(*answer);
    else if (!std::holds_alternative<Cancel>(next) || question.kind == Kind::Message)
        return std::nullopt;
    answers_.pop_front();
    question.answered = true;
    return result;
}

QMessageBox::StandardButton ScriptedDialogService::message(const MessageRequest& request)
{
    Question question{Kind::Message, request.caption, request.text, request, {}, false};
    const auto button = take<QMessageBox::StandardButton>(question);
    questions_.push_back(question);
    if (button)
        return *button;
    return request.escapeButton != QMessageBox::NoButton ? request.escapeButton
                                                         : escapeButton(request.buttons);
}

std::optional<QString> ScriptedDialogService::file(Kind kind, const FileDialogRequest& request)
{
    Question question{kind, request.title, request.initialName, request, {}, false};
    const auto answer = take<FileAnswer>(question);
    questions_.push_back(question);
    if (!answer)
        return std::nullopt;
    return answer->path;
}

std::optional<QString> ScriptedDialogService::openFileName(const FileDialogRequest& request)
{
    return file(Kind::OpenFile, request);
}

std::optional<QString> ScriptedDialogService::saveFileName(const FileDialogRequest& request)
{
    return file(Kind::SaveFile, request);
}

std::optional<QString> ScriptedDialogService::promptText(const TextPromptRequest& request)
{
    Question question{Kind::TextPrompt, request.caption, request.prompt, request, {}, false};
    const auto answer = take<TextAnswer>(question);
    questions_.push_back(question);
    if (!answer)
        return std::nullopt;
    return answer->text;
}

std::optional<int> ScriptedDialogService::chooseRow(const ChoiceRequest& request)
{
    Question question{Kind::Choice, request.caption, request.prompt, request, {}, false};
    const auto answer = take<RowAnswer>(question);
    questions_.push_back(question);
    if (!answer)
        return std::nullopt;
    return answer->row;
}

bool ScriptedDialogService::password(std::string& password, Question question)
{
    question.password = password;
    const auto answer = take<PasswordAnswer>(question);
    questions_.push_back(question);
    if (!answer)
        return false;
    password = answer->password;
    return true;
}

bool ScriptedDialogService::askPassword(std::string& password, const PasswordEntryRequest& request)
{
    return this->password(
        password, {Kind::PasswordEntry, request.caption, request.prompt, request, {}, false});
}

bool ScriptedDialogService::changePassword(std::string& password,
                                           const PasswordChangeRequest& request)
{
    return this->password(
        password, {Kind::PasswordChange, request.caption, request.prompt, request, {}, false});
}

} // namespace tamisko
