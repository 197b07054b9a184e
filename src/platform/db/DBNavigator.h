#pragma once

#include "platform/db/CallbackDataLink.h"

#include <array>
#include <QList>
#include <QWidget>

class QToolButton;

namespace tamisko {

// Buttons that move through and change the records of a data source. Every navigator
// of the program carries the same ten hints; each shows the buttons it is given.
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

signals:
    void clicked(DBNavigator::Button button);

private:
    void updateButtons();

    CallbackDataLink link_;
    std::array<QToolButton*, kButtonCount> buttons_{};
    bool confirmDelete_ = true;
};

} // namespace tamisko
