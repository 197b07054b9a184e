#include "widgets/FloatSpinEdit.h"

#include "data/Format.h"

#include <charconv>
#include <QLineEdit>
#include <string>

namespace tamisko {

FloatSpinEdit::FloatSpinEdit(QWidget* parent) : QAbstractSpinBox(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lineEdit()->setText(formatted(0));
    connect(lineEdit(), &QLineEdit::textChanged, this, &FloatSpinEdit::textChanged);
}

void FloatSpinEdit::setDecimalSeparator(QChar separator)
{
    if (separator == decimalSeparator_)
        return;
    const double current = value();
    decimalSeparator_ = separator;
    setValue(current);
}

void FloatSpinEdit::setDecimals(int decimals)
{
    if (decimals == decimals_)
        return;
    const double current = value();
    decimals_ = decimals;
    setValue(current);
}

double FloatSpinEdit::value() const
{
    QString input = text().trimmed();
    int pos = 0;
    if (validate(input, pos) != QValidator::Acceptable)
        return 0;
    input.replace(decimalSeparator_, u'.');
    const std::string number = input.toStdString();
    double result = 0;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, result);
    return error == std::errc() && stop == end ? result : 0;
}

void FloatSpinEdit::setValue(double value)
{
    const QString text = formatted(value);
    if (text != lineEdit()->text())
        lineEdit()->setText(text);
}

QString FloatSpinEdit::text() const
{
    return lineEdit()->text();
}

void FloatSpinEdit::stepBy(int steps)
{
    setValue(value() + steps);
    selectAll();
}

QValidator::State FloatSpinEdit::validate(QString& input, int&) const
{
    // An optional leading minus, digits, and at most `decimals_` digits after one
    // separator. A lone minus or an empty field is an unfinished entry.
    qsizetype i = 0;
    if (input.startsWith(u'-'))
        ++i;
    bool digitSeen = false;
    qsizetype separatorAt = -1;
    for (; i < input.size(); ++i) {
        const QChar c = input[i];
        if (c.isDigit() && c.unicode() < 0x80) {
            digitSeen = true;
        } else if (c == decimalSeparator_ && separatorAt < 0 && decimals_ > 0) {
            separatorAt = i;
        } else {
            return QValidator::Invalid;
        }
    }
    if (separatorAt >= 0 && input.size() - separatorAt - 1 > decimals_)
        return QValidator::Invalid;
    return digitSeen ? QValidator::Acceptable : QValidator::Intermediate;
}

QString FloatSpinEdit::formatted(double value) const
{
    const std::string text = formatFixed(value, decimals_, '.');
    QString result = QString::fromStdString(text);
    result.replace(u'.', decimalSeparator_);
    return result;
}

} // namespace tamisko
