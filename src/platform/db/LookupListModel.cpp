#include "platform/db/LookupListModel.h"

#include "platform/Text.h"

namespace tamisko {

LookupListModel::LookupListModel(QObject* parent) : QAbstractListModel(parent) {}

void LookupListModel::setTable(MemTable* table, int resultField, int keyField)
{
    beginResetModel();
    table_ = table;
    resultField_ = resultField;
    keyField_ = keyField;
    rows_ = table_ && table_->active() ? table_->rowCount() : 0;
    endResetModel();
}

void LookupListModel::reload()
{
    setTable(table_, resultField_, keyField_);
}

int LookupListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

QVariant LookupListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return textAt(index.row());
}

Variant LookupListModel::keyAt(int row) const
{
    if (!table_ || row < 0 || row >= std::min(rows_, table_->rowCount()))
        return Variant::null();
    return table_->valueAt(row, keyField_);
}

QString LookupListModel::textAt(int row) const
{
    if (!table_ || row < 0 || row >= std::min(rows_, table_->rowCount()))
        return {};
    return toQString(table_->valueAt(row, resultField_).toString());
}

int LookupListModel::rowOfKey(const Variant& key) const
{
    if (!table_ || key.isNullOrEmpty())
        return -1;
    const int rows = std::min(rows_, table_->rowCount());
    for (int row = 0; row < rows; ++row) {
        const Variant candidate = table_->valueAt(row, keyField_);
        if (!candidate.isNullOrEmpty() && candidate.equals(key))
            return row;
    }
    return -1;
}

int LookupListModel::rowWithPrefix(const QString& prefix, const Collation& collation) const
{
    const auto bytes = fromQString(prefix);
    if (!table_ || !bytes || bytes->empty())
        return -1;
    const int rows = std::min(rows_, table_->rowCount());
    for (int row = 0; row < rows; ++row) {
        const std::string text = table_->valueAt(row, resultField_).toString();
        const std::string_view head = std::string_view(text).substr(0, bytes->size());
        if (collation.compare(*bytes, head, true) == 0)
            return row;
    }
    return -1;
}

} // namespace tamisko
