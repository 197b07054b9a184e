#include "platform/db/DBGrid.h"

#include "platform/db/DbMessages.h"
#include "platform/db/FieldDelegate.h"

#include <algorithm>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

namespace tamisko {
namespace {

// The record indicator: a triangle on the current record, an I-beam while it is
// edited, an asterisk for a new one.
class RecordIndicatorHeader final : public QHeaderView
{
public:
    explicit RecordIndicatorHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent)
    {
        setSectionResizeMode(QHeaderView::Fixed);
        setSectionsClickable(false);
        setHighlightSections(false);
    }

    QSize sizeHint() const override { return {12, QHeaderView::sizeHint().height()}; }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override
    {
        QStyleOptionHeader option;
        initStyleOption(&option);
        option.rect = rect;
        option.section = logicalIndex;
        style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
        const auto indicator = static_cast<TableModel::Indicator>(
            model()->headerData(logicalIndex, Qt::Vertical, Qt::UserRole).toInt());
        if (indicator == TableModel::Indicator::None)
            return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QColor ink = palette().color(QPalette::ButtonText);
        const QPointF centre = QRectF(rect).center();
        switch (indicator) {
        case TableModel::Indicator::Current: {
            QPainterPath path;
            path.moveTo(centre.x() - 2, centre.y() - 4);
            path.lineTo(centre.x() + 2.5, centre.y());
            path.lineTo(centre.x() - 2, centre.y() + 4);
            path.closeSubpath();
            painter->fillPath(path, ink);
            break;
        }
        case TableModel::Indicator::Editing:
            painter->setPen(QPen(ink, 1.2));
            painter->drawLine(QPointF(centre.x(), centre.y() - 4),
                              QPointF(centre.x(), centre.y() + 4));
            painter->drawLine(QPointF(centre.x() - 2, centre.y() - 4),
                              QPointF(centre.x() + 2, centre.y() - 4));
            painter->drawLine(QPointF(centre.x() - 2, centre.y() + 4),
                              QPointF(centre.x() + 2, centre.y() + 4));
            break;
        case TableModel::Indicator::Inserting:
            painter->setPen(ink);
            painter->drawText(rect, Qt::AlignCenter, QStringLiteral("*"));
            break;
        case TableModel::Indicator::None:
            break;
        }
        painter->restore();
    }
};

int defaultWidthInCharacters(const Field& field)
{
    if (field.def().displayWidth > 0)
        return field.def().displayWidth;
    switch (field.dataType()) {
    case FieldType::String:
        return qBound(4, field.def().size, 40);
    case FieldType::Date:
    case FieldType::DateTime:
        return 10;
    default:
        return 10;
    }
}

} // namespace

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), model_(new TableModel(this))
{
    setVerticalHeader(new RecordIndicatorHeader(this));
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setModel(model_);
    setItemDelegate(new FieldDelegate(*model_, this));
    setTabKeyNavigation(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    setShowGrid(true);
    setWordWrap(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { emit titleClicked(column, model_->fieldAt(column)); });
    connect(model_, &TableModel::cursorMoved, this, &DBGrid::followCursor);
    connect(model_, &QAbstractItemModel::modelReset, this, &DBGrid::sizeColumns);
}

void DBGrid::setReadOnly(bool readOnly)
{
    model_->setReadOnly(readOnly);
    setEditTriggers(
        readOnly ? QAbstractItemView::NoEditTriggers
                 : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                       QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
}

void DBGrid::setRecordIndicator(bool shown)
{
    verticalHeader()->setVisible(shown);
}

void DBGrid::setTitleButtons(bool on)
{
    horizontalHeader()->setSectionsClickable(on);
}

void DBGrid::setTitleFont(const QFont& font)
{
    horizontalHeader()->setFont(font);
    sizeColumns();      // wider letters need wider columns
    updateGeometries(); // the titles' height sets where the rows begin
}

void DBGrid::sizeColumns()
{
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (int column = 0; column < model_->columnCount(); ++column) {
        // A column is as wide as its field's display width, and never narrower than its
        // title.
        if (const Field* const field = model_->fieldAt(column))
            setColumnWidth(column, std::max(defaultWidthInCharacters(*field) * digit + 8,
                                            horizontalHeader()->sectionSizeHint(column)));
    }
}

void DBGrid::followCursor(int row)
{
    if (row < 0 || row >= model_->rowCount())
        return;
    const int column = qMax(0, currentIndex().column());
    const QModelIndex target = model_->index(row, qMin(column, model_->columnCount() - 1));
    if (!target.isValid())
        return;
    following_ = true;
    if (currentIndex() != target)
        setCurrentIndex(target);
    following_ = false;
    scrollTo(target);
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (following_ || !current.isValid() || current.row() == model_->cursorRow())
        return;
    // Moving to another row moves the table, which posts or drops a pending record.
    if (!model_->moveTo(current.row()))
        followCursor(model_->cursorRow());
}

void DBGrid::run(const std::function<void(MemTable&)>& operation)
{
    MemTable* const table = model_->table();
    if (!table)
        return;
    try {
        operation(*table);
    } catch (const std::exception& error) {
        db::reportError(error);
    }
}

void DBGrid::deleteCurrent()
{
    MemTable* const table = model_->table();
    if (!table || table->isEmpty())
        return;
    if (deleteGuard_ && !deleteGuard_(*table))
        return;
    if (!db::confirmDelete())
        return;
    try {
        table->deleteRecord();
    } catch (const std::exception& error) {
        db::reportError(error);
        return;
    }
    emit recordDeleted();
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    const bool plain =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    MemTable* const table = model_->table();
    if (event->key() == Qt::Key_Delete && event->modifiers() & Qt::ControlModifier) {
        deleteCurrent();
        return;
    }
    if (table && state() != QAbstractItemView::EditingState && plain) {
        const bool editable = !model_->readOnly();
        switch (event->key()) {
        case Qt::Key_Insert:
            if (editable)
                run([](MemTable& data) { data.insert(); });
            return;
        case Qt::Key_Down:
            if (editable && currentIndex().row() == model_->rowCount() - 1 &&
                !(table->state() == DataSetState::Insert && !table->modified())) {
                run([](MemTable& data) { data.append(); });
                return;
            }
            break;
        case Qt::Key_Escape:
            if (table->state() != DataSetState::Browse) {
                run([](MemTable& data) { data.cancel(); });
                return;
            }
            break;
        default:
            break;
        }
    }
    QTableView::keyPressEvent(event);
}

} // namespace tamisko
