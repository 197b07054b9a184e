#pragma once

#include <QAbstractSpinBox>

namespace tamisko {

// A numeric field with up and down buttons and a fixed number of decimals. Unlike
// QDoubleSpinBox it keeps whatever the user types (a lone minus sign included), reads any
// text that is not a number as 0, and rounds half away from zero when the decimals change.
class FloatSpinEdit final : public QAbstractSpinBox
{
    Q_OBJECT

public:
    explicit FloatSpinEdit(QWidget* parent = nullptr);

    // The regional decimal separator used for reading and writing the text.
    QChar decimalSeparator() const { return decimalSeparator_; }
    void setDecimalSeparator(QChar separator);

    int decimals() const { return decimals_; }
    // Rewrites the text from the current value with the new number of decimals.
    void setDecimals(int decimals);

    double value() const;
    void setValue(double value);

    QString text() const;

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

signals:
    void textChanged(const QString& text);

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

private:
    QString formatted(double value) const;

    QChar decimalSeparator_ = u',';
    int decimals_ = 2;
};

} // namespace tamisko
