#pragma once

#include "platform/db/CallbackDataLink.h"

#include <QAbstractTableModel>
#include <vector>

namespace tamisko {

// A memory table as an item model: one column per visible field, one row per record in
// the table's physical order, and a pending new record as an extra last row. Cells are
// read straight from the table when a view asks for them, so only the rows on screen
// are touched, however long the table. The model follows the table's cursor and edits
// its current record; it holds no copy of any value.
class TableModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum class Indicator
    {
        None,
        Current,
        Editing,
        Inserting
    };

    explicit TableModel(QObject* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return link_.dataSource(); }
    MemTable* table() const { return link_.active() ? link_.table() : nullptr; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool readOnly() const { return readOnly_; }

    // The field shown in a column; nullptr for none.
    Field* fieldAt(int column) const;
    int columnOf(const Field& field) const;
    // The row of the table's current record; -1 when the table is empty or detached.
    int cursorRow() const;
    Indicator indicator(int row) const;
    // Moves the table's cursor to the record of a row (a pending record is posted or
    // dropped by the table first). False, after reporting why, when the table refused.
    bool moveTo(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The table's cursor moved to another row (or the rows were reread).
    void cursorMoved(int row);

private:
    void dataEvent(DataEvent event, const Field* field);
    void resync();
    bool pendingRow() const;
    Variant valueAt(int row, const Field& field) const;

    CallbackDataLink link_;
    std::vector<int> columns_; // field index per column
    int rows_ = 0;             // rows the views know about
    int shownCursor_ = -1;
    DataSetState shownState_ = DataSetState::Inactive;
    bool readOnly_ = false;
};

} // namespace tamisko
