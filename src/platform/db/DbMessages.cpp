#include "platform/db/DbMessages.h"

#include "platform/DialogService.h"
#include "platform/Text.h"

namespace tamisko::db {

void reportError(const std::exception& error)
{
    DialogService::instance().showError(QString(), errorText(error));
}

bool confirmDelete()
{
    const MessageRequest request{QStringLiteral("Confirm"), QStringLiteral("Delete record?"),
                                 QMessageBox::Question, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok};
    return DialogService::instance().message(request) == QMessageBox::Ok;
}

} // namespace tamisko::db
