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

} // namespace

SeriesGridModel::SeriesGridModel(RegionalSettings settings, QObject* parent)
    : QAbstractTableModel(parent), settings_(std::move(settings))
{}

void SeriesGridModel::setNumbers(series::SeriesNumbers numbers)
{
    beginResetModel();
    numbers_ = std::move(numbers);
    endResetModel();
}

QString SeriesGridModel::gridText(int row, int column) const
{
    if (row < 0 || row > int(numbers_.rowCount()) || column < 0 || column >= gridColumnCount())
        return {};
    if (row == 0)
        return column == 0 ? QString() : toQString(numbers_.titles[size_t(column) - 1]);
    const auto period = size_t(row) - 1;
    return toQString(column == 0 ? numbers_.periodLabel(period, settings_)
                                 : numbers_.cellText(period, size_t(column) - 1, settings_));
}

int SeriesGridModel::gridColumnCount() const
{
    return numbers_.empty() ? 0 : int(numbers_.columnCount()) + 1;
}

int SeriesGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || numbers_.empty() ? 0 : int(numbers_.rowCount());
}

int SeriesGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || numbers_.empty() ? 0 : int(numbers_.columnCount());
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
      model_(new SeriesGridModel(settings_, this))
{
    build();
}

DiaxForm::DiaxForm(DataMod& data, QWidget* parent, QWidget* clientArea)
    : ChildForm(parent, clientArea), data_(data), settings_(db::formatSettings()),
      model_(new SeriesGridModel(settings_, this))
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
    model_->setNumbers({});
    DataChart->clear();
    EdPeriod->interpretText();
    series::SeriesNumbers numbers;
    {
        const ViewsSuspended suspended({&data_.LogSource, &data_.CatSource});
        numbers = series::ComputeSeries(data_.LogTable, EdPeriod->value(), data_.FirstDate,
                                        data_.LastDate, settings_);
    }
    model_->setNumbers(std::move(numbers));
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
    const series::SeriesNumbers& numbers = model_->numbers();
    if (column <= 0 || column >= model_->gridColumnCount())
        return;
    // The bars take the numbers as computed: exact, and no texts to read back.
    ChartPoints bars;
    bars.reserve(static_cast<qsizetype>(numbers.rowCount()));
    for (size_t r = 0; r < numbers.rowCount(); ++r) {
        bars.append({toQString(formatDate(numbers.periods[r].start, settings_)),
                     static_cast<double>(numbers.value(r, size_t(column) - 1))});
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
    if (current.isValid() && currentColumn() <= model_->gridColumnCount() - 2)
        selectCell(current.row() + 1, currentColumn() + 1);
}

void DiaxForm::itemPinakCopyClick()
{
    if (!hasResults())
        return;
    QClipboard* const clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(
        toQString(series::GridCopyText(series::GridOf(model_->numbers(), settings_), settings_)));
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
    const QString column = DataChart->chart()->title();
    ChartPrintPreview::show(*DataChart, this,
                            column.isEmpty() ? QStringLiteral("Γράφημα")
                                             : QStringLiteral("Γράφημα - ") + column);
    DataChart->update();
}

} // namespace tamisko
