#include "platform/db/Calculator.h"

#include <functional>
#include <gtest/gtest.h>

using tamisko::Calculator;
using Op = Calculator::Operation;

namespace {

struct Case
{
    const char* keys; // digits, ",", "+-*/", "=", "n" negate, "<" backspace, "C" clear
    double value;
    const char* display;
};

void press(Calculator& calculator, const char* keys)
{
    for (const char* key = keys; *key; ++key) {
        switch (*key) {
        case ',':
            calculator.separator();
            break;
        case '+':
            calculator.operation(Op::Add);
            break;
        case '-':
            calculator.operation(Op::Subtract);
            break;
        case '*':
            calculator.operation(Op::Multiply);
            break;
        case '/':
            calculator.operation(Op::Divide);
            break;
        case '=':
            calculator.equals();
            break;
        case 'n':
            calculator.negate();
            break;
        case '<':
            calculator.backspace();
            break;
        case 'C':
            calculator.clear();
            break;
        default:
            calculator.digit(*key - '0');
        }
    }
}

class CalculatorKeys : public ::testing::TestWithParam<Case>
{};

TEST_P(CalculatorKeys, Evaluate)
{
    Calculator calculator;
    press(calculator, GetParam().keys);
    EXPECT_DOUBLE_EQ(calculator.value(), GetParam().value);
    EXPECT_EQ(calculator.display().toStdString(), GetParam().display);
}

INSTANTIATE_TEST_SUITE_P(Sequences, CalculatorKeys,
                         ::testing::Values(Case{"12+30=", 42, "42"},
                                           Case{"2+3*4=", 20, "20"}, // left to right
                                           Case{"1,5*2=", 3, "3"}, Case{"7/2=", 3.5, "3,5"},
                                           Case{"0,,5", 0.5, "0,5"}, Case{"12<3", 13, "13"},
                                           Case{"5n+2=", -3, "-3"}, Case{"9+C4=", 4, "4"},
                                           Case{"5+", 5, "5"}));

TEST(Calculator, DivisionByZeroFailsUntilCleared)
{
    Calculator calculator;
    press(calculator, "8/0=");
    EXPECT_TRUE(calculator.failed());
    EXPECT_EQ(calculator.display(), "Error");
    press(calculator, "5");
    EXPECT_EQ(calculator.display(), "Error");
    press(calculator, "C5");
    EXPECT_FALSE(calculator.failed());
    EXPECT_EQ(calculator.value(), 5);
}

TEST(Calculator, StartsFromTheEditsValue)
{
    Calculator calculator;
    calculator.start(12.5);
    press(calculator, "+1=");
    EXPECT_DOUBLE_EQ(calculator.value(), 13.5);
}

} // namespace
