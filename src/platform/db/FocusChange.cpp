#include "platform/db/FocusChange.h"

#include <QFocusEvent>
#include <QWidget>

namespace tamisko {

bool leavesControl(const QWidget& control, const QFocusEvent& event)
{
    const bool awayFromWindow =
        event.reason() == Qt::ActiveWindowFocusReason || event.reason() == Qt::PopupFocusReason;
    return !awayFromWindow || control.window()->focusWidget() != &control;
}

} // namespace tamisko
