#pragma once

class QFocusEvent;
class QWidget;

namespace tamisko {

// Whether a focus-out event means the user left the control. Switching to another
// top-level window or opening a popup over it does not: the control stays its window's
// focus widget and gets the keyboard back. A move of the focus to another control of
// the window does, whatever the reason it carries.
bool leavesControl(const QWidget& control, const QFocusEvent& event);

} // namespace tamisko
