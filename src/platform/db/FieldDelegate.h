#pragma once

#include <QStyledItemDelegate>

namespace tamisko {

class TableModel;

// The in-place editors of a data grid: a drop-down list of the lookup table's names
// for lookup fields, a line edit that accepts only what the field can hold otherwise.
class FieldDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit FieldDelegate(TableModel& model, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    TableModel& model_;
};

} // namespace tamisko
