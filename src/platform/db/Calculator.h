#pragma once

#include <QString>

namespace tamisko {

// The arithmetic of the calculator drop-down: a pocket calculator with the four
// operations, evaluated left to right as the keys come.
class Calculator final
{
public:
    enum class Operation
    {
        None,
        Add,
        Subtract,
        Multiply,
        Divide
    };

    explicit Calculator(QChar decimalSeparator = QLatin1Char(','));

    void clear();
    void start(double value); // shows a value as if typed
    void digit(int digit);
    void separator();
    void backspace();
    void negate();
    void operation(Operation op);
    void equals();

    double value() const;
    QString display() const;
    bool failed() const { return failed_; } // division by zero until cleared

private:
    void apply();

    QChar separator_;
    QString entry_; // the number being typed; empty shows the accumulator
    double accumulator_ = 0;
    Operation pending_ = Operation::None;
    bool failed_ = false;
};

} // namespace tamisko
