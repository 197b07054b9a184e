#include "views/ImportPreviewModel.h"

#include "data/Format.h"
#include "platform/Text.h"

#include <algorithm>
#include <QBrush>
#include <QColor>

namespace tamisko {
namespace {

using namespace tamisko::import;

constexpr int kCategoryNameLength = 30; // the size of a category's name

const QColor kInvalidBackground(255, 224, 224);
const QColor kInvalidText(150, 0, 0);
const QColor kDuplicateBackground(232, 232, 232);
const QColor kDuplicateText(110, 110, 110);

QString categorySourceText(CategorySource source)
{
    switch (source) {
    case CategorySource::File:
        return QStringLiteral("Κατηγορία από το αρχείο");
    case CategorySource::Learned:
        return QStringLiteral("Κατηγορία παλαιότερων κινήσεων με την ίδια περιγραφή");
    case CategorySource::Default:
        break;
    }
    return QStringLiteral("Προεπιλεγμένη κατηγορία");
}

} // namespace

ImportPreviewModel::ImportPreviewModel(RegionalSettings settings, QObject* parent)
    : QAbstractTableModel(parent), settings_(std::move(settings))
{}

void ImportPreviewModel::setPreview(ImportPreview preview)
{
    beginResetModel();
    preview_ = std::move(preview);
    endResetModel();
    emit countsChanged();
}

ImportPreviewModel::Counts ImportPreviewModel::counts() const
{
    Counts counts;
    counts.rows = static_cast<int>(preview_.rows.size());
    for (const PreviewRow& row : preview_.rows) {
        if (preview_.fileRow(row).status != RowStatus::Valid) {
            ++counts.invalid;
            continue;
        }
        counts.included += row.include ? 1 : 0;
        counts.duplicates += row.duplicate ? 1 : 0;
    }
    return counts;
}

int ImportPreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(preview_.rows.size());
}

int ImportPreviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

bool ImportPreviewModel::isValid(int row) const
{
    return preview_.fileRow(preview_.rows[static_cast<size_t>(row)]).status == RowStatus::Valid;
}

QString ImportPreviewModel::amountText(double amount) const
{
    return amount == 0 ? QString() : toQString(formatAmount(amount, settings_));
}

QVariant ImportPreviewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const PreviewRow& item = preview_.rows[static_cast<size_t>(index.row())];
    const ImportRow& row = preview_.fileRow(item);
    const bool valid = row.status == RowStatus::Valid;
    const int column = index.column();

    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (column) {
        case Include:
            return !valid           ? QStringLiteral("άκυρη")
                   : item.duplicate ? QStringLiteral("διπλή")
                                    : QString();
        case Line:
            return row.line;
        case Date:
            return valid ? toQString(formatDate(row.date, settings_)) : QString();
        case Category:
            return toQString(preview_.categoryOf(item));
        case Receipt:
            return valid ? amountText(row.receipt) : QString();
        case Payment:
            return valid ? amountText(row.payment) : QString();
        case Description:
            return toQString(row.description);
        default:
            return {};
        }
    case Qt::CheckStateRole:
        if (column == Include && valid)
            return item.include ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::ToolTipRole:
        if (!valid)
            return QString::fromStdString(row.reason);
        if (item.duplicate)
            return QStringLiteral("Η κίνηση υπάρχει ήδη στο βιβλίο· εισάγεται μόνο αν τη "
                                  "σημειώσετε.");
        if (column == Category)
            return categorySourceText(item.source);
        return {};
    case Qt::BackgroundRole:
        if (!valid)
            return QBrush(kInvalidBackground);
        if (item.duplicate)
            return QBrush(kDuplicateBackground);
        return {};
    case Qt::ForegroundRole:
        if (!valid)
            return QBrush(kInvalidText);
        if (item.duplicate)
            return QBrush(kDuplicateText);
        return {};
    case Qt::TextAlignmentRole:
        if (column == Receipt || column == Payment || column == Line)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Include:
        return QStringLiteral("Εισαγωγή");
    case Line:
        return QStringLiteral("Γραμμή");
    case Date:
        return QStringLiteral("Ημέρα");
    case Category:
        return QStringLiteral("Κατηγορία");
    case Receipt:
        return QStringLiteral("Είσπραξη");
    case Payment:
        return QStringLiteral("Πληρωμή");
    case Description:
        return QStringLiteral("Περιγραφή");
    default:
        return {};
    }
}

Qt::ItemFlags ImportPreviewModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isValid(index.row())) {
        if (index.column() == Include)
            flags |= Qt::ItemIsUserCheckable;
        else if (index.column() == Category)
            flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool ImportPreviewModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || !isValid(index.row()))
        return false;
    PreviewRow& item = preview_.rows[static_cast<size_t>(index.row())];
    if (index.column() == Include && role == Qt::CheckStateRole) {
        item.include = static_cast<Qt::CheckState>(value.toInt()) == Qt::Checked;
        emit dataChanged(this->index(index.row(), 0), this->index(index.row(), ColumnCount - 1));
        emit countsChanged();
        return true;
    }
    if (index.column() == Category && role == Qt::EditRole) {
        const auto name = fromQString(value.toString().trimmed().left(kCategoryNameLength));
        if (!name || name->empty())
            return false;
        const std::string folded = fold(*name, true);
        const auto known =
            std::find_if(bookCategories_.begin(), bookCategories_.end(),
                         [&folded](const std::string& book) { return fold(book, true) == folded; });
        preview_.setCategory(item, known != bookCategories_.end() ? *known : *name);
        emit dataChanged(index, index);
        emit countsChanged();
        return true;
    }
    return false;
}

} // namespace tamisko
