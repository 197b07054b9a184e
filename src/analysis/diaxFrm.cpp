#include "analysis/diaxFrm.h"

#include "analysis/charts/ChartExport.h"
#include "analysis/charts/SeriesBarChart.h"
#include "data/DataMdl.h"
#include "data/Format.h"
#include "data/TableUtils.h"
#include "platform/db/DbMessages.h"
#include "platform/db/FieldText.h"
#include "platform/Text.h"

#include <algorithm>
#include <charconv>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTableView>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace tamisko {
namespace {

// The hourglass for as long as the computation runs, however it ends.
class WaitCursor final
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// An amount as the grid writes it (regional decimal separator, no grouping); 0 for an
// empty cell.
double amountOf(std::string text, char decimalSeparator)
{
    std::replace(text.begin(), text.end(), decimalSeparator, '.');
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

} // namespace

void SeriesGridModel::setGrid(series::SeriesGrid grid)
{
    beginResetModel();
    grid_ = std::move(grid);
    texts_.clear();
    texts_.reserve(grid_.cells.size());
    for (const auto& row : grid_.cells) {
        QStringList texts;
        texts.reserve(static_cast<qsizetype>(row.size()));
        for (const std::string& cell : row)
            texts.append(toQString(cell));
        texts_.push_back(std::move(texts));
    }
    endResetModel();
}

QString SeriesGridModel::gridText(int row, int column) const
{
    if (row < 0 || row >= grid_.rowCount() || column < 0 || column >= grid_.columnCount())
        return {};
    return texts_[static_cast<size_t>(row)][column];
}

int SeriesGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || grid_.empty() ? 0 : grid_.rowCount() - 1;
}

int SeriesGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || grid_.empty() ? 0 : grid_.columnCount() - 1;
}

QVariant SeriesGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return gridText(index.row() + 1, index.column() + 1);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant SeriesGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    // Titles are often wider than their columns; the tip shows them whole.
    return orientation == Qt::Horizontal ? gridText(0, section + 1) : gridText(section + 1, 0);
}

Qt::ItemFlags SeriesGridModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

DiaxForm::DiaxForm(DataMod& data, QWidget* parent)
    : ChildForm(parent), data_(data), settings_(db::formatSettings()),
      model_(new SeriesGridModel(this))
{
    build();
}

DiaxForm::DiaxForm(DataMod& data, QWidget* parent, QWidget* clientArea)
    : ChildForm(parent, clientArea), data_(data), settings_(db::formatSettings()),
      model_(new SeriesGridModel(this))
{
    build();
}

void DiaxForm::build()
{
    setObjectName(QStringLiteral("DiaxForm"));
    setWindowTitle(QStringLiteral("Διαχρονικά"));
    createControls();
    createPopupMenu();
    FormCreate();
}

void DiaxForm::createControls()
{
    Label1 = new QLabel(QStringLiteral("Χρονική περίοδος ημερών:"), this);
    EdPeriod = new QSpinBox(this);
    EdPeriod->setRange(1, 999); // which also keeps the text to 3 digits
    EdPeriod->setValue(30);
    // 0 becomes 1 when the field is left, instead of going back to the last length.
    EdPeriod->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    Label1->setBuddy(EdPeriod);
    btnOK = new QPushButton(QStringLiteral("Εκκίνηση"), this);

    const auto arrowButton = [this](Qt::ArrowType arrow) {
        auto* button = new QToolButton(this);
        button->setArrowType(arrow);
        button->setAutoRaise(true);
        return button;
    };
    btnLeft = arrowButton(Qt::LeftArrow);
    btnRight = arrowButton(Qt::RightArrow);

    auto* topRow = new QHBoxLayout;
    for (QWidget* control :
         std::initializer_list<QWidget*>{Label1, EdPeriod, btnOK, btnLeft, btnRight})
        topRow->addWidget(control);
    topRow->addStretch();

    PageControl = new QTabWidget(this);
    PageControl->setTabPosition(QTabWidget::West);
    PageControl->setDocumentMode(true);

    PinakasTab = new QWidget;
    createGrid();
    auto* gridLayout = new QVBoxLayout(PinakasTab);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->addWidget(DataGrid);

    GraphTab = new QWidget;
    DataChart = new SeriesBarChart(GraphTab);
    DataChart->setRegionalSettings(settings_);
    auto* chartLayout = new QVBoxLayout(GraphTab);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(DataChart);

    PageControl->addTab(PinakasTab, QStringLiteral("Πινακας"));
    PageControl->addTab(GraphTab, QStringLiteral("Γράφημα"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(topRow);
    layout->addWidget(PageControl, 1);

    connect(btnOK, &QPushButton::clicked, this, &DiaxForm::btnOKClick);
    connect(btnLeft, &QToolButton::clicked, this, &DiaxForm::btnLeftClick);
    connect(btnRight, &QToolButton::clicked, this, &DiaxForm::btnRightClick);
}

void DiaxForm::createGrid()
{
    DataGrid = new QTableView(PinakasTab);
    DataGrid->setModel(model_);
    DataGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DataGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    DataGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    DataGrid->setWordWrap(false);

    QHeaderView* const titles = DataGrid->horizontalHeader();
    titles->setDefaultSectionSize(kColumnWidth);
    titles->setMinimumSectionSize(8);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setSectionsClickable(false);
    titles->setHighlightSections(false);
    // A title wider than its column shows its beginning, the name of the category.
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    QHeaderView* const periods = DataGrid->verticalHeader();
    periods->setSectionResizeMode(QHeaderView::Fixed);
    periods->setMinimumSectionSize(kRowHeight);
    periods->setDefaultSectionSize(kRowHeight);
    periods->setFixedWidth(kFirstColumnWidth);
    periods->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    periods->setSectionsClickable(false);
    periods->setHighlightSections(false);

    connect(DataGrid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { DataGridSelectCell(current); });
}

void DiaxForm::createPopupMenu()
{
    PopupMenu = new QMenu(this);
    itemPinakCopy = PopupMenu->addAction(QStringLiteral("Επικόλληση πίνακα στο πρόχειρο"), this,
                                         &DiaxForm::itemPinakCopyClick);
    itemPinakCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert));
    itemGraphCopy = PopupMenu->addAction(QStringLiteral("Επικόλληση γραφήματος στο πρόχειρο"), this,
                                         &DiaxForm::itemGraphCopyClick);
    itemGraphCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    itemPreview = PopupMenu->addAction(QStringLiteral("Προεσκόπιση εκτύπωσης γραφήματος"), this,
                                       &DiaxForm::itemPreviewClick);
    itemPreview->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    // The shortcuts work wherever the focus is in the window, as the menu's would.
    for (QAction* item : {itemPinakCopy, itemGraphCopy, itemPreview}) {
        item->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(item);
    }

    DataGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DataGrid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu->popup(DataGrid->viewport()->mapToGlobal(at)); });
}

void DiaxForm::FormCreate()
{
    PageControl->setCurrentWidget(PinakasTab);
}

int DiaxForm::currentColumn() const
{
    const QModelIndex current = DataGrid->currentIndex();
    return current.isValid() ? current.column() + 1 : 0;
}

void DiaxForm::selectCell(int row, int column)
{
    DataGrid->setCurrentIndex(model_->index(row - 1, column - 1));
}

void DiaxForm::DataGridSelectCell(const QModelIndex& current)
{
    if (current.isValid())
        ShowColumnChart(current.column() + 1);
}

void DiaxForm::btnOKClick()
{
    try {
        const WaitCursor wait;
        FillSeriesGrid();
        selectCell(1, 1); // which draws the chart of the first column
    } catch (const std::exception& error) {
        db::reportError(error);
    }
}

void DiaxForm::FillSeriesGrid()
{
    // Nothing of an earlier computation may stay, whatever happens below.
    model_->setGrid({});
    DataChart->clear();
    EdPeriod->interpretText();
    series::SeriesGrid grid;
    {
        const ViewsSuspended suspended({&data_.LogSource, &data_.CatSource});
        grid = series::FillSeriesGrid(data_.LogTable, EdPeriod->value(), data_.FirstDate,
                                      data_.LastDate, settings_);
    }
    model_->setGrid(std::move(grid));
    fitPeriodLabels();
}

// Column 0 is 115 pixels wide, or as wide as the labels need: dates with four-digit years
// are wider than 115 pixels in many fonts.
void DiaxForm::fitPeriodLabels()
{
    QHeaderView* const periods = DataGrid->verticalHeader();
    const QFontMetrics metrics(periods->font());
    int widest = 0;
    for (int row = 0; row < model_->rowCount(); ++row)
        widest = std::max(
            widest, metrics.horizontalAdvance(model_->headerData(row, Qt::Vertical).toString()));
    const int margins =
        2 * periods->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, periods) + 4;
    periods->setFixedWidth(std::max(kFirstColumnWidth, widest + margins));
}

void DiaxForm::ShowColumnChart(int column)
{
    const series::SeriesGrid& grid = model_->grid();
    if (column <= 0 || column >= grid.columnCount())
        return;
    ChartPoints bars;
    bars.reserve(static_cast<qsizetype>(grid.periods.size()));
    for (size_t r = 0; r < grid.periods.size(); ++r) {
        bars.append(
            {toQString(formatDate(grid.periods[r].start, settings_)),
             amountOf(grid.cells[r + 1][static_cast<size_t>(column)], settings_.decimalSeparator)});
    }
    DataChart->showColumn(model_->gridText(0, column), bars);
}

// A page is laid out only once it is seen. Until then the chart takes the size of the page
// in view, so that a copy or a print from the table page is the chart the user would see.
void DiaxForm::fitChartToPage()
{
    if (!GraphTab->isVisible())
        DataChart->resize(PageControl->currentWidget()->size());
}

void DiaxForm::btnLeftClick()
{
    const QModelIndex current = DataGrid->currentIndex();
    if (currentColumn() > 1)
        selectCell(current.row() + 1, currentColumn() - 1);
}

void DiaxForm::btnRightClick()
{
    const QModelIndex current = DataGrid->currentIndex();
    if (current.isValid() && currentColumn() <= model_->grid().columnCount() - 2)
        selectCell(current.row() + 1, currentColumn() + 1);
}

void DiaxForm::itemPinakCopyClick()
{
    if (!hasResults())
        return;
    QClipboard* const clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(toQString(series::GridCopyText(model_->grid(), settings_)));
}

void DiaxForm::itemGraphCopyClick()
{
    // An empty picture would only wipe out what the clipboard held.
    if (!hasResults())
        return;
    fitChartToPage();
    copyChartToClipboard(*DataChart);
}

void DiaxForm::itemPreviewClick()
{
    fitChartToPage();
    ChartPrintPreview::show(*DataChart, this);
    DataChart->update();
}

} // namespace tamisko
