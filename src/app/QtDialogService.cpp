#include "app/QtDialogService.h"

#include "app/PasswordEntryFrm.h"
#include "app/PasswordNewFrm.h"
#include "platform/db/Cp1253Validator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace tamisko {
namespace {

QWidget* dialogParent()
{
    return QApplication::activeWindow();
}

void prepare(QFileDialog& dialog, const FileDialogRequest& request)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
}

} // namespace

QMessageBox::StandardButton QtDialogService::message(const MessageRequest& request)
{
    const QString caption =
        request.caption.isEmpty() ? QGuiApplication::applicationDisplayName() : request.caption;
    QMessageBox box(request.icon, caption, request.text, request.buttons, dialogParent());
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    if (request.escapeButton != QMessageBox::NoButton)
        box.setEscapeButton(request.escapeButton);
    for (const auto& [button, text] : request.buttonTexts) {
        if (QAbstractButton* shown = box.button(button))
            shown->setText(text);
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

std::optional<QString> QtDialogService::openFileName(const FileDialogRequest& request)
{
    QFileDialog dialog(dialogParent(), request.title);
    prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogService::saveFileName(const FileDialogRequest& request)
{
    QFileDialog dialog(dialogParent(), request.title);
    prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        const QString path = dialog.selectedFiles().constFirst();
        if (!request.confirmCreate || QFileInfo::exists(path))
            return path;
        const auto answer = message(
            {request.title, QStringLiteral("Το αρχείο %1 δεν υπάρχει.\nΝα δημιουργηθεί;").arg(path),
             QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes});
        if (answer == QMessageBox::Yes)
            return path;
    }
    return std::nullopt;
}

std::optional<QString> QtDialogService::promptText(const TextPromptRequest& request)
{
    QDialog dialog(dialogParent());
    dialog.setWindowTitle(request.caption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(request.prompt, &dialog);
    auto* edit = new QLineEdit(request.initialText, &dialog);
    if (request.maxLength > 0)
        edit->setMaxLength(request.maxLength);
    edit->setValidator(new Cp1253Validator(edit));
    label->setBuddy(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    edit->selectAll();
    dialog.setMinimumWidth(300);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return edit->text();
}

std::optional<int> QtDialogService::chooseRow(const ChoiceRequest& request)
{
    QDialog dialog(dialogParent());
    dialog.setWindowTitle(request.caption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(request.prompt, &dialog);
    auto* model = new QStandardItemModel(&dialog);
    model->setHorizontalHeaderLabels(request.headers);
    for (const QStringList& row : request.rows) {
        QList<QStandardItem*> items;
        for (const QString& text : row) {
            auto* item = new QStandardItem(text);
            item->setEditable(false);
            items.append(item);
        }
        model->appendRow(items);
    }
    auto* view = new QTableView(&dialog);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    view->resizeColumnsToContents();
    if (model->rowCount() > 0)
        view->selectRow(0);
    label->setBuddy(view);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(view, &QAbstractItemView::doubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(label);
    layout->addWidget(view);
    layout->addWidget(buttons);
    dialog.resize(520, 320);
    if (dialog.exec() != QDialog::Accepted || !view->selectionModel()->hasSelection())
        return std::nullopt;
    return view->selectionModel()->selectedRows().constFirst().row();
}

bool QtDialogService::askPassword(std::string& password, const PasswordEntryRequest& request)
{
    return AskPassword(password, request.helpContext, request.prompt, request.caption);
}

bool QtDialogService::changePassword(std::string& password, const PasswordChangeRequest& request)
{
    return ChangePassword(password, request.minLength, request.helpContext, request.prompt,
                          request.reenterPrompt, request.caption, request.mismatchMessage,
                          request.tooShortFormat);
}

} // namespace tamisko
