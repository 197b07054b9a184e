#include "platform/db/Calculator.h"

#include <cmath>

namespace tamisko {

Calculator::Calculator(QChar decimalSeparator) : separator_(decimalSeparator) {}

void Calculator::clear()
{
    entry_.clear();
    accumulator_ = 0;
    pending_ = Operation::None;
    failed_ = false;
}

void Calculator::start(double value)
{
    clear();
    accumulator_ = value;
}

void Calculator::digit(int digit)
{
    if (failed_ || digit < 0 || digit > 9)
        return;
    if (entry_ == QLatin1String("0"))
        entry_.clear();
    if (entry_.size() < 15)
        entry_.append(QChar(u'0' + digit));
}

void Calculator::separator()
{
    if (failed_ || entry_.contains(separator_))
        return;
    if (entry_.isEmpty())
        entry_ = QStringLiteral("0");
    entry_.append(separator_);
}

void Calculator::backspace()
{
    entry_.chop(1);
}

void Calculator::negate()
{
    if (failed_)
        return;
    if (entry_.isEmpty())
        accumulator_ = -accumulator_;
    else if (entry_.startsWith(QLatin1Char('-')))
        entry_.remove(0, 1);
    else
        entry_.prepend(QLatin1Char('-'));
}

void Calculator::operation(Operation op)
{
    if (failed_)
        return;
    if (!entry_.isEmpty())
        apply();
    pending_ = op;
}

void Calculator::equals()
{
    if (failed_)
        return;
    if (!entry_.isEmpty())
        apply();
    pending_ = Operation::None;
}

double Calculator::value() const
{
    if (entry_.isEmpty() || entry_ == QLatin1String("-"))
        return accumulator_;
    QString text = entry_;
    text.replace(separator_, QLatin1Char('.'));
    return text.toDouble();
}

QString Calculator::display() const
{
    if (failed_)
        return QStringLiteral("Error");
    if (!entry_.isEmpty())
        return entry_;
    QString text = QString::number(accumulator_, 'g', 15);
    text.replace(QLatin1Char('.'), separator_);
    return text;
}

void Calculator::apply()
{
    const double operand = value();
    entry_.clear();
    switch (pending_) {
    case Operation::None:
        accumulator_ = operand;
        break;
    case Operation::Add:
        accumulator_ += operand;
        break;
    case Operation::Subtract:
        accumulator_ -= operand;
        break;
    case Operation::Multiply:
        accumulator_ *= operand;
        break;
    case Operation::Divide:
        if (operand == 0) {
            failed_ = true;
            return;
        }
        accumulator_ /= operand;
        break;
    }
    if (!std::isfinite(accumulator_))
        failed_ = true;
}

} // namespace tamisko
