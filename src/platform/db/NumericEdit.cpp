#include "platform/db/NumericEdit.h"

#include "data/Format.h"
#include "data/Variant.h"
#include "platform/db/CalculatorPopup.h"
#include "platform/db/FieldText.h"

#include <cmath>
#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace tamisko {
namespace {

QChar decimalSeparator()
{
    return QLatin1Char(db::formatSettings().decimalSeparator);
}

} // namespace

NumericEdit::NumericEdit(QWidget* parent)
    : DropDownEdit(glyphs::Glyph::Calculator, parent),
      validator_(new QRegularExpressionValidator(this))
{
    setAlignment(Qt::AlignRight);
    setValidator(validator_);
    updateValidator();
}

void NumericEdit::setDecimals(int decimals)
{
    decimals_ = qBound(0, decimals, 15);
    updateValidator();
    decimalsChanged();
}

void NumericEdit::updateValidator()
{
    const QString separator = QRegularExpression::escape(QString(decimalSeparator()));
    const QString pattern = QStringLiteral("-?\\d*(%1\\d{0,%2})?").arg(separator).arg(decimals_);
    validator_->setRegularExpression(QRegularExpression(pattern));
}

std::optional<double> NumericEdit::value() const
{
    double number = 0;
    if (!parseNumber(text().toStdString(), number))
        return std::nullopt;
    return number;
}

void NumericEdit::setValue(std::optional<double> value)
{
    setText(value ? textOf(*value) : QString());
}

QString NumericEdit::textOf(double value) const
{
    const char separator = db::formatSettings().decimalSeparator;
    const double scaled = value * std::pow(10.0, decimals_);
    if (std::fabs(scaled - std::round(scaled)) < 1e-6)
        return QString::fromLatin1(formatFixed(value, decimals_, separator));
    return QString::fromLatin1(formatGeneral(value, separator));
}

void NumericEdit::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    const bool printable = typed.size() == 1 && typed.front().isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!printable || isReadOnly()) {
        DropDownEdit::keyPressEvent(event);
        return;
    }
    QString character = typed;
    if (character == QLatin1String(".") || character == QLatin1String(","))
        character = decimalSeparator();
    QKeyEvent mapped(event->type(), event->key(), event->modifiers(), character,
                     event->isAutoRepeat(), event->count());
    const QString before = text();
    DropDownEdit::keyPressEvent(&mapped);
    if (text() == before)
        QApplication::beep();
}

void NumericEdit::openDropDown()
{
    auto* const popup = new CalculatorPopup(value().value_or(0), decimalSeparator(), this);
    connect(popup, &CalculatorPopup::accepted, this, [this](double result) {
        typeText(QString::fromLatin1(
            formatFixed(result, decimals_, db::formatSettings().decimalSeparator)));
    });
    showPopup(popup);
}

} // namespace tamisko
