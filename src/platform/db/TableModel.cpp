#include "platform/db/TableModel.h"

#include "platform/db/DbMessages.h"
#include "platform/db/FieldText.h"

namespace tamisko {

TableModel::TableModel(QObject* parent)
    : QAbstractTableModel(parent),
      link_([this](DataEvent event, const Field* field) { dataEvent(event, field); })
{}

void TableModel::setDataSource(DataSource* source)
{
    link_.setDataSource(source);
}

Field* TableModel::fieldAt(int column) const
{
    MemTable* const data = table();
    if (!data || column < 0 || column >= static_cast<int>(columns_.size()))
        return nullptr;
    return &data->field(columns_[static_cast<size_t>(column)]);
}

int TableModel::columnOf(const Field& field) const
{
    for (size_t column = 0; column < columns_.size(); ++column) {
        if (columns_[column] == field.index())
            return static_cast<int>(column);
    }
    return -1;
}

bool TableModel::pendingRow() const
{
    const MemTable* const data = table();
    return data && data->state() == DataSetState::Insert;
}

int TableModel::cursorRow() const
{
    const MemTable* const data = table();
    if (!data)
        return -1;
    if (data->state() == DataSetState::Insert)
        return data->rowCount();
    return data->currentRow();
}

TableModel::Indicator TableModel::indicator(int row) const
{
    if (row < 0 || row != cursorRow())
        return Indicator::None;
    switch (table()->state()) {
    case DataSetState::Edit:
        return Indicator::Editing;
    case DataSetState::Insert:
        return Indicator::Inserting;
    default:
        return Indicator::Current;
    }
}

bool TableModel::moveTo(int row)
{
    MemTable* const data = table();
    if (!data || row < 0 || row == cursorRow())
        return data != nullptr;
    try {
        if (row >= data->rowCount())
            return false;
        data->setRecNo(row + 1);
    } catch (const std::exception& error) {
        db::reportError(error);
        emit cursorMoved(cursorRow());
        return false;
    }
    return cursorRow() == row;
}

int TableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int TableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

Variant TableModel::valueAt(int row, const Field& field) const
{
    const MemTable& data = *table();
    // The record being edited or inserted lives in the table's buffer, not in its rows.
    if (row == cursorRow() && data.state() != DataSetState::Browse)
        return field.value();
    if (row >= data.rowCount())
        return Variant::null();
    return data.valueAt(row, field.index());
}

QVariant TableModel::data(const QModelIndex& index, int role) const
{
    const Field* const field = fieldAt(index.column());
    if (!field || index.row() >= rows_)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return db::displayText(*field, valueAt(index.row(), *field));
    case Qt::EditRole:
        return db::editText(*field, valueAt(index.row(), *field));
    case Qt::TextAlignmentRole:
        return db::isNumeric(*field) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                     : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    Field* const field = fieldAt(index.column());
    if (role != Qt::EditRole || !field || readOnly_ || !moveTo(index.row()))
        return false;
    MemTable& data = *table();
    try {
        const QString text = value.toString();
        if (field->kind() == FieldKind::Lookup) {
            // A lookup cell stores the key of the row whose result is the chosen text.
            const FieldDef& def = field->def();
            const Variant chosen = db::parseText(*field, text);
            Variant key = Variant::null();
            if (!chosen.isNull() && def.lookupDataSet) {
                MemTable& lookup = *def.lookupDataSet;
                const int keyIndex = lookup.fieldByName(def.lookupKeyFields).index();
                const int resultIndex = lookup.fieldByName(def.lookupResultField).index();
                for (int row = 0; row < lookup.rowCount(); ++row) {
                    if (lookup.valueAt(row, resultIndex).toString() == chosen.toString()) {
                        key = lookup.valueAt(row, keyIndex);
                        break;
                    }
                }
                if (key.isNull())
                    return false;
            }
            if (data.state() == DataSetState::Browse)
                data.edit();
            data.fieldByName(def.keyFields).setValue(key);
        } else {
            const Variant parsed = db::parseText(*field, text);
            if (data.state() == DataSetState::Browse)
                data.edit();
            field->setValue(parsed);
        }
    } catch (const std::exception& error) {
        db::reportError(error);
        return false;
    }
    return true;
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        const Field* const field = fieldAt(section);
        if (field && role == Qt::DisplayRole)
            return db::fieldLabel(*field);
        return {};
    }
    if (role == Qt::UserRole)
        return static_cast<int>(indicator(section));
    return {};
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const
{
    const Field* const field = fieldAt(index.column());
    if (!field)
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const bool editable = !readOnly_ && !field->def().readOnly &&
                          field->kind() != FieldKind::Calculated &&
                          field->dataType() != FieldType::AutoInc;
    if (editable)
        result |= Qt::ItemIsEditable;
    return result;
}

void TableModel::dataEvent(DataEvent event, const Field* field)
{
    switch (event) {
    case DataEvent::UpdateRecord:
        return;
    case DataEvent::RecordChanged: {
        const int row = cursorRow();
        if (row >= 0 && row < rows_) {
            const int column = field ? columnOf(*field) : -1;
            if (column >= 0)
                emit dataChanged(index(row, column), index(row, column));
            else if (!columns_.empty())
                emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        }
        return;
    }
    default:
        resync();
    }
}

void TableModel::resync()
{
    MemTable* const data = table();
    if (!data && link_.table() && link_.table()->active()) {
        // A disabled source: show nothing, but keep the shape so that the views keep
        // their place for when the source comes back after the bulk work.
        if (rows_ > 0 && !columns_.empty())
            emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
        shownCursor_ = -1;
        emit cursorMoved(-1);
        return;
    }
    std::vector<int> columns;
    if (data) {
        for (int i = 0; i < data->fieldCount(); ++i) {
            if (data->field(i).visible())
                columns.push_back(i);
        }
    }
    const int rows = data ? data->rowCount() + (pendingRow() ? 1 : 0) : 0;
    const DataSetState state = data ? data->state() : DataSetState::Inactive;
    if (columns != columns_) {
        beginResetModel();
        columns_ = std::move(columns);
        rows_ = rows;
        endResetModel();
    } else if (rows == rows_ + 1 && state == DataSetState::Insert &&
               shownState_ != DataSetState::Insert) {
        beginInsertRows({}, rows_, rows_); // a new record below the rows
        rows_ = rows;
        endInsertRows();
    } else if (rows == rows_ - 1 && shownState_ == DataSetState::Insert &&
               state != DataSetState::Insert) {
        beginRemoveRows({}, rows, rows); // the new record was dropped
        rows_ = rows;
        endRemoveRows();
    } else if (rows != rows_) {
        beginResetModel();
        rows_ = rows;
        endResetModel();
    } else if (rows_ > 0 && !columns_.empty()) {
        // Same shape: the views repaint what they show, nothing more.
        emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
    }
    const int cursor = cursorRow();
    for (const int row : {shownCursor_, cursor}) {
        if (row >= 0 && row < rows_)
            emit headerDataChanged(Qt::Vertical, row, row);
    }
    shownState_ = state;
    shownCursor_ = cursor;
    emit cursorMoved(cursor);
}

} // namespace tamisko
