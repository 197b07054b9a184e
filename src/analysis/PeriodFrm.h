#pragma once

#include "analysis/core/Periods.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QPushButton;

namespace tamisko {

class DataMod;

// "Ορισμός περιόδου": nine named periods to pick instead of typing two dates. One dialog
// serves the whole run, so the last choice is offered again.
class PeriodForm final : public QDialog
{
    Q_OBJECT

public:
    explicit PeriodForm(QWidget* parent = nullptr);

    // The dialog of the process: created hidden on first use, kept until the application
    // quits.
    static PeriodForm& instance();

    periods::Preset selectedPreset() const;
    void setSelectedPreset(periods::Preset preset);

    QGroupBox* DateGroup;
    QButtonGroup* DateButtons;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

protected:
    void showEvent(QShowEvent* event) override;
};

// Shows the dialog modally. When the user confirms with OK, sets the two dates of the
// chosen period reckoned from today (the span of the log for "Όλα") and returns true;
// otherwise leaves them untouched.
bool AskPeriod(PeriodForm& form, double& startDate, double& endDate, const DataMod& data);

} // namespace tamisko
