#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace tamisko {

class PasswordEdit;

// Asks for the password of an encrypted document. OK accepts any text, the empty one too.
class PasswordEntryForm final : public QDialog
{
    Q_OBJECT

public:
    explicit PasswordEntryForm(QWidget* parent = nullptr);

    QLabel* lblPass;
    PasswordEdit* Pass;
    QPushButton* btnOK;
    QPushButton* Button1;
};

// Shows the entry dialog with the password prefilled. True for OK: the password (cp1253)
// then holds the typed text; false leaves it unchanged.
bool AskPassword(std::string& Password, int HelpContext, const QString& Prompt,
                 const QString& Caption);

} // namespace tamisko
