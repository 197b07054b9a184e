#include "platform/db/CalculatorPopup.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace tamisko {

using Operation = Calculator::Operation;

CalculatorPopup::CalculatorPopup(double initialValue, QChar decimalSeparator, QWidget* parent)
    : QFrame(parent, Qt::Popup), calculator_(decimalSeparator), display_(new QLabel(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    calculator_.start(initialValue);

    display_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    display_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    display_->setMinimumWidth(150);
    display_->setBackgroundRole(QPalette::Base);
    display_->setAutoFillBackground(true);

    auto* const grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(2);
    grid->addWidget(display_, 0, 0, 1, 5);

    const auto digitKey = [this, grid](int digit, int row, int column) {
        addKey(grid, QString::number(digit), row, column,
               [this, digit] { calculator_.digit(digit); });
    };
    const auto opKey = [this, grid](const QString& caption, Operation op, int row, int column) {
        addKey(grid, caption, row, column, [this, op] { calculator_.operation(op); });
    };
    digitKey(7, 1, 0);
    digitKey(8, 1, 1);
    digitKey(9, 1, 2);
    opKey(QStringLiteral("/"), Operation::Divide, 1, 3);
    addKey(grid, QStringLiteral("C"), 1, 4, [this] { calculator_.clear(); });
    digitKey(4, 2, 0);
    digitKey(5, 2, 1);
    digitKey(6, 2, 2);
    opKey(QStringLiteral("*"), Operation::Multiply, 2, 3);
    addKey(grid, QStringLiteral("←"), 2, 4, [this] { calculator_.backspace(); });
    digitKey(1, 3, 0);
    digitKey(2, 3, 1);
    digitKey(3, 3, 2);
    opKey(QStringLiteral("-"), Operation::Subtract, 3, 3);
    addKey(grid, QStringLiteral("="), 3, 4, [this] { calculator_.equals(); });
    digitKey(0, 4, 0);
    addKey(grid, QStringLiteral("±"), 4, 1, [this] { calculator_.negate(); });
    addKey(grid, QString(decimalSeparator), 4, 2, [this] { calculator_.separator(); });
    opKey(QStringLiteral("+"), Operation::Add, 4, 3);
    addKey(grid, QStringLiteral("OK"), 4, 4, [this] { accept(); });
    updateDisplay();
}

void CalculatorPopup::addKey(QGridLayout* grid, const QString& caption, int row, int column,
                             std::function<void()> action)
{
    auto* const key = new QPushButton(caption, this);
    key->setFocusPolicy(Qt::NoFocus);
    key->setFixedSize(30, 24);
    connect(key, &QPushButton::clicked, this, [this, action = std::move(action)] {
        action();
        updateDisplay();
    });
    grid->addWidget(key, row, column);
}

void CalculatorPopup::accept()
{
    calculator_.equals();
    if (calculator_.failed()) {
        updateDisplay();
        return;
    }
    emit accepted(calculator_.value());
    close();
}

void CalculatorPopup::updateDisplay()
{
    display_->setText(calculator_.display());
}

void CalculatorPopup::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    const QChar c = text.size() == 1 ? text.front() : QChar();
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    if (c.isDigit())
        calculator_.digit(c.digitValue());
    else if (c == u',' || c == u'.')
        calculator_.separator();
    else if (c == u'+')
        calculator_.operation(Operation::Add);
    else if (c == u'-')
        calculator_.operation(Operation::Subtract);
    else if (c == u'*')
        calculator_.operation(Operation::Multiply);
    else if (c == u'/')
        calculator_.operation(Operation::Divide);
    else if (c == u'=')
        calculator_.equals();
    else if (event->key() == Qt::Key_Backspace)
        calculator_.backspace();
    else if (event->key() == Qt::Key_Delete)
        calculator_.clear();
    else {
        QFrame::keyPressEvent(event);
        return;
    }
    updateDisplay();
}

} // namespace tamisko
