#pragma once

#include "platform/DialogService.h"

namespace tamisko {

// The dialog service of the program: Qt's message boxes and file dialogs (Qt's own, so
// that they speak Greek), a one-line prompt and the two password dialogs, each modal to
// the active window.
class QtDialogService final : public DialogService
{
public:
    QMessageBox::StandardButton message(const MessageRequest& request) override;
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    std::optional<QString> promptText(const TextPromptRequest& request) override;
    std::optional<int> chooseRow(const ChoiceRequest& request) override;
    bool askPassword(std::string& password, const PasswordEntryRequest& request) override;
    bool changePassword(std::string& password, const PasswordChangeRequest& request) override;
};

} // namespace tamisko
