#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace tamisko {

class PasswordEdit;

// Sets, changes or removes the document password: two entries that must match and, unless
// empty, be at least MinLength characters long.
class PasswordNewForm final : public QDialog
{
    Q_OBJECT

public:
    explicit PasswordNewForm(QWidget* parent = nullptr);

    QLabel* lblPass;
    PasswordEdit* Pass;
    QLabel* lblPassReenter;
    PasswordEdit* PassRe;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    int MinLength = 0;
    QString MismatchMessage;
    QString TooShortFormat; // one %d: MinLength

    void btnOKClick();

private:
    // Shows the message and keeps the dialog open.
    void refuse(const QString& message);
};

// Shows the dialog with the password in both entries. True for OK: the password (cp1253)
// then holds the first entry; false leaves it unchanged.
bool ChangePassword(std::string& Password, int MinLength, int HelpContext, const QString& Prompt,
                    const QString& ReenterPrompt, const QString& Caption,
                    const QString& MismatchMessage, const QString& TooShortFormat);

} // namespace tamisko
