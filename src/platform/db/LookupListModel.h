#pragma once

#include "data/MemTable.h"

#include <memory>
#include <QAbstractListModel>

namespace tamisko {

// The rows of a lookup table in its order, showing one field and keyed by another.
// Reads the rows directly, so the table's cursor never moves for the list.
class LookupListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit LookupListModel(QObject* parent = nullptr);

    // resultField and keyField are field indexes of the table.
    void setTable(MemTable* table, int resultField, int keyField);
    MemTable* table() const { return table_; }
    // Rereads the table after its rows changed.
    void reload();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    Variant keyAt(int row) const;
    QString textAt(int row) const;
    // The first row with this key; -1 when none.
    int rowOfKey(const Variant& key) const;
    // The first row whose text begins with the given text, letter case aside; -1 when none.
    int rowWithPrefix(const QString& prefix, const Collation& collation) const;

private:
    MemTable* table_ = nullptr;
    int resultField_ = -1;
    int keyField_ = -1;
    int rows_ = 0;
};

} // namespace tamisko
