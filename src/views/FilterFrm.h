#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace tamisko {

class DateEdit;

// "Εμφάνιση εγγραφών με ημερομηνία: από ... εώς ...": asks for the date range of the
// movements that the table window prints, copies or exports. Enter accepts at once,
// since the focus starts on OK.
class FilterForm final : public QDialog
{
    Q_OBJECT

public:
    explicit FilterForm(QWidget* parent = nullptr);

    QFrame* const Bevel1;
    QLabel* const Label1;
    QLabel* const Label2;
    QLabel* const Label3;
    DateEdit* const StartDate;
    DateEdit* const EndDate;
    QPushButton* const OKBtn;
    QPushButton* const CancelBtn;

    // The range as day numbers, taken from the two edits once the dialog is accepted.
    double FilterStart = 0;
    double FilterEnd = 0;

    void setRange(double start, double end);
    // Reads both edits; a text that is not a date gives day 0.
    void takeRange();
    // A movement of that day lies in the range.
    bool inRange(double day) const { return day >= FilterStart && day <= FilterEnd; }

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace tamisko
