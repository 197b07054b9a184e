#pragma once

#include "platform/db/CallbackDataLink.h"

#include <array>
#include <QList>
#include <QWidget>

class QFocusEvent;
class QKeyEvent;
class QToolButton;

namespace tamisko {

// Buttons that move through and change the records of a data source. Every navigator
// of the program carries the same ten hints; each shows the buttons it is given.
// The navigator is one stop of the tab order: while it has the focus, one of its
// buttons shows the focus frame, the arrow keys (Home, End) move the frame over the
// shown and enabled buttons and Space presses the framed one.
class DBNavigator final : public QWidget
{
    Q_OBJECT

public:
    enum class Button
    {
        First,
        Prior,
        Next,
        Last,
        Insert,
        Delete,
        Edit,
        Post,
        Cancel,
        Refresh
    };
    static constexpr int kButtonCount = 10;

    explicit DBNavigator(QWidget* parent = nullptr);

    void setDataSource(DataSource* source) { link_.setDataSource(source); }
    DataSource* dataSource() const { return link_.dataSource(); }

    void setVisibleButtons(const QList<Button>& buttons);
    void setFlat(bool flat);
    // Hints are the buttons' tool tips.
    void setShowHints(bool show);
    // Asks "Delete record?" before deleting (on by default).
    void setConfirmDelete(bool confirm) { confirmDelete_ = confirm; }

    QToolButton* button(Button which) const;
    static QString hint(Button which);

    // Does what the button does, as a click on it would.
    void activate(Button which);

    // The button that Space presses and that shows the focus frame while the navigator
    // has the focus.
    Button keyboardButton() const { return keyboardButton_; }

signals:
    void clicked(DBNavigator::Button button);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void updateButtons();
    bool usable(int index) const;
    // Moves the keyboard button to the next usable one in the direction step (+1 or -1)
    // from index, not past the ends; stays when there is none.
    void moveKeyboardButton(int index, int step);

    CallbackDataLink link_;
    std::array<QToolButton*, kButtonCount> buttons_{};
    bool confirmDelete_ = true;
    Button keyboardButton_ = Button::First;
};

} // namespace tamisko
