#pragma once

#include "data/import/ImportPlan.h"
#include "data/RegionalSettings.h"

#include <QAbstractTableModel>
#include <string>
#include <vector>

namespace tamisko {

// Every row of an import as it would go into the book, for a table view: a statement
// can have 100,000 rows, so the cells are computed when the view asks for them. A valid
// row can be ticked in or out and sent to another category; an invalid row says why in
// its tooltip; a duplicate comes unticked and marked.
class ImportPreviewModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        Include,
        Line,
        Date,
        Category,
        Receipt,
        Payment,
        Description,
        ColumnCount
    };

    struct Counts
    {
        int rows = 0;
        int included = 0;
        int duplicates = 0;
        int invalid = 0;
    };

    explicit ImportPreviewModel(RegionalSettings settings, QObject* parent = nullptr);

    void setPreview(import::ImportPreview preview);
    // The book's categories (cp1253): a name typed for a row takes their spelling.
    void setBookCategories(std::vector<std::string> names) { bookCategories_ = std::move(names); }
    const import::ImportPreview& preview() const { return preview_; }
    Counts counts() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The tick (CheckStateRole) and the category (EditRole, a name of at most 30
    // characters of cp1253; an empty name or one cp1253 cannot hold is refused).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // A tick or a category changed.
    void countsChanged();

private:
    bool isValid(int row) const;
    QString amountText(double amount) const;

    RegionalSettings settings_;
    import::ImportPreview preview_;
    std::vector<std::string> bookCategories_;
};

} // namespace tamisko
