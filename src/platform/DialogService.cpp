#include "platform/DialogService.h"

#include "platform/ScriptedDialogService.h"

#include <QtGlobal>

namespace tamisko {
namespace {

DialogService* current = nullptr;

DialogService& fallback()
{
    static ScriptedDialogService unattended;
    static const bool warned = [] {
        qWarning("No dialog service installed: questions are cancelled unseen");
        return true;
    }();
    Q_UNUSED(warned);
    return unattended;
}

} // namespace

void DialogService::showError(const QString& caption, const QString& text)
{
    message({caption, text, QMessageBox::Critical, QMessageBox::Ok});
}

void DialogService::showWarning(const QString& caption, const QString& text)
{
    message({caption, text, QMessageBox::Warning, QMessageBox::Ok});
}

void DialogService::showInformation(const QString& caption, const QString& text)
{
    message({caption, text, QMessageBox::Information, QMessageBox::Ok});
}

DialogService& DialogService::instance()
{
    return current ? *current : fallback();
}

void DialogService::setInstance(DialogService* service)
{
    current = service;
}

ScopedDialogService::ScopedDialogService(DialogService& service) : previous_(current)
{
    current = &service;
}

ScopedDialogService::~ScopedDialogService()
{
    current = previous_;
}

} // namespace tamisko
