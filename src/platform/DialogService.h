#pragma once

#include <optional>
#include <QList>
#include <QMessageBox>
#include <QPair>
#include <QString>
#include <QStringList>
#include <string>

namespace tamisko {

struct MessageRequest final
{
    QString caption; // empty: the application's own title
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    // What Esc and the close box answer; none: the box's own choice.
    QMessageBox::StandardButton escapeButton = QMessageBox::NoButton;
    // Texts of the system's own for some of the buttons, for answers that no standard
    // button names ("Μόνο ανάγνωση").
    QList<QPair<QMessageBox::StandardButton, QString>> buttonTexts = {};
};

struct FileDialogRequest final
{
    QString title;
    QString filter;             // "Ταμίσκες (*.tmk)"
    QString defaultSuffix;      // added to a typed name that has none
    QString initialName;        // a bare name is shown in the dialog's current folder
    bool confirmCreate = false; // saving: ask before creating a file that does not exist yet
};

struct TextPromptRequest final
{
    QString caption;
    QString prompt;
    QString initialText;
    int maxLength = 0; // 0: no limit
};

// A choice of one row of a table (the backups of a book: date, size, movements).
struct ChoiceRequest final
{
    QString caption;
    QString prompt;
    QStringList headers;
    QList<QStringList> rows;
};

struct PasswordEntryRequest final
{
    int helpContext = 0;
    QString prompt;
    QString caption;
};

struct PasswordChangeRequest final
{
    int minLength = 0;
    int helpContext = 0;
    QString prompt;
    QString reenterPrompt;
    QString caption;
    QString mismatchMessage;
    QString tooShortFormat; // one %d: the minimum length
};

// Everything that asks the user something goes through the current dialog service, so
// that tests can answer without a modal loop.
class DialogService
{
public:
    virtual ~DialogService() = default;

    // The button that closed the message box (its escape button when it was dismissed).
    virtual QMessageBox::StandardButton message(const MessageRequest& request) = 0;

    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> openFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFileName(const FileDialogRequest& request) = 0;

    // The confirmed text, or nothing when the user cancelled.
    virtual std::optional<QString> promptText(const TextPromptRequest& request) = 0;

    // The index of the chosen row, or nothing when the user cancelled.
    virtual std::optional<int> chooseRow(const ChoiceRequest& request) = 0;

    // Passwords are cp1253 bytes like every document text. True when the user confirmed:
    // the password then holds the typed text; false leaves it unchanged.
    virtual bool askPassword(std::string& password, const PasswordEntryRequest& request) = 0;
    virtual bool changePassword(std::string& password, const PasswordChangeRequest& request) = 0;

    // A message with one OK button.
    void showError(const QString& caption, const QString& text);
    void showWarning(const QString& caption, const QString& text);
    void showInformation(const QString& caption, const QString& text);

    // The service of the process. Without one installed, questions get the answers of an
    // empty script (cancel, or the escape button) and a warning is logged.
    static DialogService& instance();
    // Not owned; nullptr uninstalls.
    static void setInstance(DialogService* service);
};

// Installs a service for the lifetime of the object, then restores the previous one.
class ScopedDialogService final
{
public:
    explicit ScopedDialogService(DialogService& service);
    ~ScopedDialogService();
    ScopedDialogService(const ScopedDialogService&) = delete;
    ScopedDialogService& operator=(const ScopedDialogService&) = delete;

private:
    DialogService* previous_;
};

} // namespace tamisko
