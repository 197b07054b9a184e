#pragma once

#include "platform/db/TableModel.h"

#include <functional>
#include <QTableView>

namespace tamisko {

// A grid over the records of a data source, following and moving the table's cursor.
// Cells edit in place (lookup fields with a drop-down of names); Ctrl+Del deletes the
// current record after "Delete record?"; Insert inserts and Down below the last row
// appends; Esc drops a pending edit; Tab leaves the grid.
class DBGrid final : public QTableView
{
    Q_OBJECT

public:
    explicit DBGrid(QWidget* parent = nullptr);

    void setDataSource(DataSource* source) { model_->setDataSource(source); }
    DataSource* dataSource() const { return model_->dataSource(); }
    TableModel* tableModel() const { return model_; }

    void setReadOnly(bool readOnly);
    // The column at the left edge that marks the current record and its state.
    void setRecordIndicator(bool shown);
    // Column titles act as buttons and report clicks through titleClicked.
    void setTitleButtons(bool on);
    void setTitleFont(const QFont& font);
    // Asked before Ctrl+Del deletes the current record; false keeps the record (the
    // guard tells the user why).
    void setDeleteGuard(std::function<bool(MemTable&)> guard) { deleteGuard_ = std::move(guard); }

    // Deletes the current record as Ctrl+Del does.
    void deleteCurrent();

signals:
    void titleClicked(int column, tamisko::Field* field);
    // A record was deleted through the grid.
    void recordDeleted();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void followCursor(int row);
    void sizeColumns();
    void run(const std::function<void(MemTable&)>& operation);

    TableModel* model_;
    std::function<bool(MemTable&)> deleteGuard_;
    bool following_ = false;
};

} // namespace tamisko
