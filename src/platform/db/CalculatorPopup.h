#pragma once

#include "platform/db/Calculator.h"

#include <functional>
#include <QFrame>

class QGridLayout;
class QLabel;

namespace tamisko {

// The drop-down calculator of a numeric edit. OK (or Enter) hands the result back;
// Esc or a click outside closes it without a value.
class CalculatorPopup final : public QFrame
{
    Q_OBJECT

public:
    CalculatorPopup(double initialValue, QChar decimalSeparator, QWidget* parent = nullptr);

    Calculator& calculator() { return calculator_; }

signals:
    void accepted(double value);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void addKey(QGridLayout* grid, const QString& caption, int row, int column,
                std::function<void()> action);
    void accept();
    void updateDisplay();

    Calculator calculator_;
    QLabel* display_;
};

} // namespace tamisko
