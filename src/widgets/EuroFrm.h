#pragma once

#include "data/RegionalSettings.h"
#include "platform/WindowPlacement.h"

#include <QString>
#include <QWidget>

class QRadioButton;

namespace tamisko {

class DotMatrixDisplay;
class FloatSpinEdit;

// The always-on-top euro/drachma calculator. It converts the amount in its field at the
// fixed rate and shows the amount and its conversion on a two-line dot-matrix display.
// It remembers its value, unit and placement in the profile file.
class EuroForm final : public QWidget
{
    Q_OBJECT

public:
    static constexpr double kDrachmasPerEuro = 340.75;
    static constexpr int kHeight = 148;
    static constexpr int kMinimumWidth = 380;

    explicit EuroForm(const RegionalSettings& settings, QWidget* parent = nullptr);
    // Stores the values once more, as the window goes at the end of the run.
    ~EuroForm() override;

    // The profile file of the stored values (the program's own by default).
    QString iniFileName() const { return WindowStorage.iniFileName(); }
    void setIniFileName(const QString& fileName) { WindowStorage.setIniFileName(fileName); }

    // Writes the value, the unit and the placement (the main window calls it at exit, the
    // destructor once more).
    // Until the window has been shown (and the stored values read) nothing is written,
    // so that a run without the calculator keeps the values of the last one.
    void storeSettings() const;

    FloatSpinEdit* edVal;
    QRadioButton* rbEuro;
    QRadioButton* rbDrx;
    DotMatrixDisplay* LCD;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void edValChange();
    void rbEuroClick();
    void rbDrxClick();
    void FormKeyPress();
    void layOut();
    void restoreSettings();
    // The value in the regional number format: grouped thousands, d decimals.
    QString number(double value, int decimals) const;

    RegionalSettings settings_;
    WindowPlacement WindowStorage;
    bool restored_ = false;
};

} // namespace tamisko
