#pragma once

#include "platform/Child.h"
#include "platform/db/DBDateEdit.h"
#include "platform/db/DBLookupListBox.h"
#include "platform/db/DBNavigator.h"
#include "platform/db/DBNumericEdit.h"
#include "platform/db/DBTextEdit.h"

#include <QLabel>
#include <QPushButton>

class QKeyEvent;

namespace tamisko {

class DataMod;

// The movement entry window: one movement at a time, typed from the keyboard. Enter
// moves through date, category, receipt, payment and description and round again;
// leaving the description offers to save the movement. Every control shows the current
// record of the movement table, so the window holds no data of its own.
class KinisiForm final : public ChildForm
{
    Q_OBJECT

public:
    static constexpr int kHelpContext = 20;

    // A window of its own.
    explicit KinisiForm(DataMod& data, QWidget* parent = nullptr);
    // Embedded in a host's client area.
    KinisiForm(DataMod& data, QWidget* parent, QWidget* clientArea);

    // The controls, owned by the window.
    DBDateEdit* const DBDate = new DBDateEdit(this);
    DBLookupListBox* const DBCategory = new DBLookupListBox(this);
    DBNumericEdit* const DBEispraxi = new DBNumericEdit(this);
    DBNumericEdit* const DBPliromi = new DBNumericEdit(this);
    DBTextEdit* const DBPerigrafi = new DBTextEdit(this);
    DBNavigator* const DBNavigator1 = new DBNavigator(this);
    QPushButton* const btnNew = new QPushButton(QStringLiteral("F10   Νέα κίνηση"), this);
    QLabel* const lblDate = newFieldLabel(QStringLiteral("&Ημέρα"), DBDate, this);
    QLabel* const lblCategory = newFieldLabel(QStringLiteral("&Κατηγορία"), DBCategory, this);
    QLabel* const lblEispraxi = newFieldLabel(QStringLiteral("&Έισπραξη"), DBEispraxi, this);
    QLabel* const lblPliromi = newFieldLabel(QStringLiteral("&Πληρωμή"), DBPliromi, this);
    QLabel* const lblPerigrafi = newFieldLabel(QStringLiteral("Πε&ριγραφή"), DBPerigrafi, this);

    // Starts a new movement dated today, with the focus in the category list.
    void btnNewClick();
    // All five labels italic, none bold.
    void ResetFieldLabels();

    void DBDateEnter();
    void DBCategoryEnter();
    void DBEispraxiEnter();
    void DBPliromiEnter();
    void DBPerigrafiEnter();

    // Enter moves to the next field of the ring; true when the key was used.
    bool DBDateKeyPress(const QKeyEvent& key);
    bool DBCategoryKeyPress(const QKeyEvent& key);
    bool DBEispraxiKeyPress(const QKeyEvent& key);
    bool DBPliromiKeyPress(const QKeyEvent& key);
    bool DBPerigrafiKeyPress(const QKeyEvent& key);

    // Offers to save the movement once it has a category, a date and an amount.
    void DBPerigrafiExit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static QLabel* newFieldLabel(const QString& caption, QWidget* field, QWidget* parent);
    void setUp();
    void layOut();
    void markFocused(QLabel* label);

    DataMod& data_;
};

} // namespace tamisko
