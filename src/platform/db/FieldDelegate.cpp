#include "platform/db/FieldDelegate.h"

#include "platform/db/Cp1253Validator.h"
#include "platform/db/FieldText.h"
#include "platform/db/TableModel.h"
#include "platform/Text.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace tamisko {
namespace {

QStringList lookupNames(const Field& field)
{
    QStringList names;
    MemTable* const lookup = field.def().lookupDataSet;
    const Field* const result = lookup ? lookup->findField(field.def().lookupResultField) : nullptr;
    if (!result)
        return names;
    for (int row = 0; row < lookup->rowCount(); ++row)
        names.append(toQString(lookup->valueAt(row, result->index()).toString()));
    return names;
}

QValidator* validatorFor(const Field& field, QObject* parent)
{
    const QString separator =
        QRegularExpression::escape(QString(QLatin1Char(db::formatSettings().decimalSeparator)));
    switch (field.dataType()) {
    case FieldType::String:
        return new Cp1253Validator(parent);
    case FieldType::Float:
    case FieldType::Currency:
        return new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("-?\\d*([.%1]\\d*)?").arg(separator)), parent);
    case FieldType::Date:
    case FieldType::DateTime:
    case FieldType::Time:
        return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[\\d/.\\- ]*")),
                                               parent);
    case FieldType::Boolean:
        return nullptr;
    default:
        return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?\\d*")),
                                               parent);
    }
}

} // namespace

FieldDelegate::FieldDelegate(TableModel& model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model)
{}

QWidget* FieldDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const
{
    const Field* const field = model_.fieldAt(index.column());
    if (!field)
        return QStyledItemDelegate::createEditor(parent, option, index);
    if (field->kind() == FieldKind::Lookup) {
        auto* const combo = new QComboBox(parent);
        combo->addItems(lookupNames(*field));
        combo->setMaxVisibleItems(12);
        return combo;
    }
    auto* const edit = new QLineEdit(parent);
    edit->setFrame(false);
    if (field->dataType() == FieldType::String && field->def().size > 0)
        edit->setMaxLength(field->def().size);
    edit->setValidator(validatorFor(*field, edit));
    if (db::isNumeric(*field))
        edit->setAlignment(Qt::AlignRight);
    return edit;
}

void FieldDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* const combo = qobject_cast<QComboBox*>(editor))
        combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly));
    else if (auto* const edit = qobject_cast<QLineEdit*>(editor))
        edit->setText(text);
    else
        QStyledItemDelegate::setEditorData(editor, index);
}

void FieldDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                 const QModelIndex& index) const
{
    QString text;
    if (const auto* const combo = qobject_cast<QComboBox*>(editor))
        text = combo->currentText();
    else if (const auto* const edit = qobject_cast<QLineEdit*>(editor))
        text = edit->text();
    else
        return QStyledItemDelegate::setModelData(editor, model, index);
    // Leaving a cell unchanged does not start an edit of the record.
    if (text != index.data(Qt::EditRole).toString())
        model->setData(index, text, Qt::EditRole);
}

} // namespace tamisko
