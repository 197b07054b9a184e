#pragma once

#include "platform/db/Glyphs.h"

#include <QLineEdit>

class QToolButton;

namespace tamisko {

// A line edit with a button at its right edge that opens a drop-down. The button takes
// no focus and no key opens the drop-down: it is reached with the mouse only.
class DropDownEdit : public QLineEdit
{
    Q_OBJECT

public:
    DropDownEdit(glyphs::Glyph glyph, QWidget* parent = nullptr);

    QToolButton* dropDownButton() const { return button_; }

    // Replaces the text as if the user had typed it (undo, validator and textEdited).
    void typeText(const QString& text);

protected:
    virtual void openDropDown() = 0;
    // Shows a popup window under the edit, or above it when the screen ends below.
    void showPopup(QWidget* popup);
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void placeButton();

    QToolButton* button_;
};

} // namespace tamisko
