#include "analysis/SigrisisFrm.h"

#include "analysis/charts/ChartExport.h"
#include "analysis/charts/PieChart3D.h"
#include "analysis/core/Comparison.h"
#include "analysis/PeriodFrm.h"
#include "data/DataMdl.h"
#include "data/TableUtils.h"
#include "platform/db/DateEdit.h"
#include "platform/db/DBGrid.h"
#include "platform/db/DbMessages.h"
#include "platform/db/FieldText.h"
#include "platform/DialogService.h"
#include "platform/Text.h"
#include "reports/SigrisisRpt.h"
#include "widgets/SideTabWidget.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace tamisko {
namespace {

// Walking the results for a copy, an export or the report moves their cursor; the grid
// stays where the user left it.
class KeepCursor final
{
public:
    explicit KeepCursor(MemTable& table) : table_(table), recNo_(table.recNo())
    {
        table_.disableControls();
    }
    ~KeepCursor()
    {
        if (recNo_ > 0)
            table_.setRecNo(recNo_);
        table_.enableControls();
    }
    KeepCursor(const KeepCursor&) = delete;
    KeepCursor& operator=(const KeepCursor&) = delete;

private:
    MemTable& table_;
    int recNo_;
};

QStringList linesOf(const std::vector<std::string>& cp1253Lines)
{
    QStringList lines;
    for (const std::string& line : cp1253Lines)
        lines.append(toQString(line));
    return lines;
}

} // namespace

ResultsCellDelegate::ResultsCellDelegate(const TableModel& model, const RegionalSettings& settings,
                                         QObject* parent)
    : QStyledItemDelegate(parent), model_(model), settings_(settings)
{}

QString ResultsCellDelegate::cellText(const QModelIndex& index) const
{
    const Field* const field = model_.fieldAt(index.column());
    const MemTable* const table = model_.table();
    if (!field || !table)
        return {};
    return toQString(
        comparison::DisplayText(*field, table->valueAt(index.row(), field->index()), settings_));
}

void ResultsCellDelegate::initStyleOption(QStyleOptionViewItem* option,
                                          const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->text = cellText(index);
}

SigrisisForm::SigrisisForm(DataMod& data, SigrisisReport& report, QWidget* parent)
    : ChildForm(parent), data_(data), report_(report), settings_(db::formatSettings())
{
    setUp();
}

SigrisisForm::SigrisisForm(DataMod& data, SigrisisReport& report, QWidget* parent,
                           QWidget* clientArea)
    : ChildForm(parent, clientArea), data_(data), report_(report), settings_(db::formatSettings())
{
    setUp();
}

void SigrisisForm::setUp()
{
    setObjectName(QStringLiteral("SigrisisForm"));
    setWindowTitle(QStringLiteral("Συγκρίσεις"));
    comparison::defineResultsTable(ResultsTable);
    createControls();
    createPopupMenu();
    Timer.setInterval(50);
    connect(&Timer, &QTimer::timeout, this, &SigrisisForm::TimerTimer);
    FormCreate();
}

SigrisisForm::~SigrisisForm()
{
    // The grid outlives the members: let go of the results before they go.
    ResultsGrid->setDataSource(nullptr);
}

void SigrisisForm::createControls()
{
    Label1 = new QLabel(QStringLiteral("από"), this);
    StartDate = new DateEdit(this);
    StartDate->setToolTip(QStringLiteral("αρχική ημερομηνία"));
    Label3 = new QLabel(QStringLiteral("εώς"), this);
    EndDate = new DateEdit(this);
    EndDate->setToolTip(QStringLiteral("Τελική ημερομηνία"));
    btnDate = new QPushButton(QStringLiteral("Ορισμός"), this);
    btnDate->setToolTip(QStringLiteral("Επιλογή από καθορισμένες περιόδους"));
    btnOK = new QPushButton(QStringLiteral("ΟΚ"), this);
    btnOK->setToolTip(QStringLiteral("Εκκίνηση"));
    cbKUpol = new QCheckBox(QStringLiteral("Καθ. υπολ. γρ."), this);
    cbKUpol->setChecked(true);
    cbKUpol->setToolTip(
        QStringLiteral("Αν στο γράφημα θα εμφανίζονται οι καθαρές εισπράξεις/πληρωμές"));
    Label1->setBuddy(StartDate);
    Label3->setBuddy(EndDate);

    const int dateWidth = StartDate->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000")) +
                          StartDate->dropDownButton()->sizeHint().width() + 16;
    StartDate->setFixedWidth(dateWidth);
    EndDate->setFixedWidth(dateWidth);

    auto* topRow = new QHBoxLayout;
    for (QWidget* control : std::initializer_list<QWidget*>{Label1, StartDate, Label3, EndDate,
                                                            btnDate, btnOK, cbKUpol})
        topRow->addWidget(control);
    topRow->addStretch();

    PageControl = new SideTabWidget(this);
    PageControl->setDocumentMode(true);

    const auto chartPage = [this](PieChart3D*& chart) {
        auto* page = new QWidget;
        chart = new PieChart3D(page);
        chart->setRegionalSettings(settings_);
        chart->installEventFilter(this);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(chart);
        return page;
    };
    EispraxisTab = chartPage(EispraxisChart);
    PliromesTab = chartPage(PliromesChart);

    StatistikaTab = new QWidget;
    Stat = new QPlainTextEdit(StatistikaTab);
    Stat->setReadOnly(true);
    Stat->setFrameShape(QFrame::NoFrame);
    Stat->setLineWrapMode(QPlainTextEdit::NoWrap);
    Stat->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Stat->setBackgroundRole(QPalette::Button);
    QPalette statPalette = Stat->palette();
    statPalette.setColor(QPalette::Base, statPalette.color(QPalette::Button));
    Stat->setPalette(statPalette);
    QFont statFont(QStringLiteral("Arial"));
    statFont.setPointSize(8);
    Stat->setFont(statFont);
    // A right click reaches the page control, whose menu every page shares.
    Stat->setContextMenuPolicy(Qt::NoContextMenu);
    auto* statLayout = new QVBoxLayout(StatistikaTab);
    statLayout->setContentsMargins(0, 0, 0, 0);
    statLayout->addWidget(Stat);

    PinakasTab = new QWidget;
    ResultsGrid = new DBGrid(PinakasTab);
    ResultsGrid->setDataSource(&ResultsSource);
    ResultsGrid->setReadOnly(true);
    ResultsGrid->setTitleButtons(true);
    QFont titleFont = ResultsGrid->horizontalHeader()->font();
    titleFont.setBold(true);
    ResultsGrid->setTitleFont(titleFont);
    ResultsGrid->setItemDelegate(
        new ResultsCellDelegate(*ResultsGrid->tableModel(), settings_, ResultsGrid));
    connect(ResultsGrid, &DBGrid::titleClicked, this, &SigrisisForm::ResultsGridTitleBtnClick);
    auto* gridLayout = new QVBoxLayout(PinakasTab);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->addWidget(ResultsGrid);

    PageControl->addTab(EispraxisTab, QStringLiteral("Εισπράξεις"));
    PageControl->addTab(PliromesTab, QStringLiteral("Πληρωμές"));
    PageControl->addTab(StatistikaTab, QStringLiteral("Στατιστικά"));
    PageControl->addTab(PinakasTab, QStringLiteral("Πίνακας"));

    auto* layout = new QVBoxLayout(this);
    // Narrow margins leave the tabs on the left the height of four captions.
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addLayout(topRow);
    layout->addWidget(PageControl, 1);

    PieSeries1 = {EispraxisChart, "KEispraxi"};
    PieSeries2 = {PliromesChart, "KPliromi"};

    connect(btnDate, &QPushButton::clicked, this, &SigrisisForm::btnDateClick);
    connect(btnOK, &QPushButton::clicked, this, &SigrisisForm::btnOKClick);
    connect(cbKUpol, &QCheckBox::toggled, this, &SigrisisForm::cbKUpolClick);
}

void SigrisisForm::createPopupMenu()
{
    PopupMenu = new QMenu(this);
    itemRotate =
        PopupMenu->addAction(QStringLiteral("Περιστροφή"), this, &SigrisisForm::itemRotateClick);
    N1 = PopupMenu->addSeparator();
    itemCopy = PopupMenu->addAction(QStringLiteral("Επικόλληση στο πρόχειρο"), this,
                                    &SigrisisForm::itemCopyClick);
    itemCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert));
    itemPreview = PopupMenu->addAction(QStringLiteral("Προεσκόπιση εκτύπωσης"), this,
                                       &SigrisisForm::itemPreviewClick);
    itemPreview->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    itemExport = PopupMenu->addAction(QStringLiteral("Εξαγωγή σε αρχείο"), this,
                                      &SigrisisForm::itemExportClick);
    itemExport->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    // The shortcuts work wherever the focus is in the window, as the menu's would.
    for (QAction* item : {itemCopy, itemPreview, itemExport}) {
        item->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(item);
    }
    // The initial states are those of the table page.
    itemRotate->setEnabled(false);

    PageControl->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(PageControl, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu->popup(PageControl->mapToGlobal(at)); });
    connect(PageControl, &QTabWidget::currentChanged, this, &SigrisisForm::PageControlChange);
}

void SigrisisForm::FormCreate()
{
    setDate(*StartDate, data_.FirstDate);
    setDate(*EndDate, data_.LastDate);
    ReportReady = false;
    const QSignalBlocker quiet(PageControl);
    PageControl->setCurrentWidget(PinakasTab);
}

double SigrisisForm::dateOf(const DateEdit& edit) const
{
    return edit.dayNumber().value_or(0);
}

void SigrisisForm::setDate(DateEdit& edit, double day)
{
    edit.setDayNumber(day == 0 ? std::nullopt : std::optional<double>(day));
}

void SigrisisForm::btnDateClick()
{
    double start = 0;
    double end = 0;
    if (!AskPeriod(PeriodForm::instance(), start, end, data_))
        return;
    setDate(*StartDate, start);
    setDate(*EndDate, end);
}

void SigrisisForm::btnOKClick()
{
    try {
        compute();
    } catch (const std::exception& error) {
        db::reportError(error);
    }
}

void SigrisisForm::compute()
{
    Timer.stop();
    // From here on, whatever happens, the views come back and the results are shown again.
    const ViewsSuspended suspended({&data_.LogSource, &data_.CatSource});
    if (data_.CatTable.isEmpty() || data_.LogTable.isEmpty())
        return;
    const SourceDisabled resultsDetached(ResultsSource);
    const comparison::Request request{dateOf(*StartDate), dateOf(*EndDate), data_.FirstDate,
                                      data_.LastDate};
    const auto outcome = comparison::ComputeResults(data_.LogTable, data_.CatTable, request,
                                                    settings_, ResultsTable);
    if (!outcome)
        return;
    if (outcome->periodLabel)
        report_.setPeriodText(toQString(*outcome->periodLabel));
    const QStringList statistics = linesOf(outcome->statistics);
    Stat->setPlainText(statistics.join(QLatin1Char('\n')));
    report_.setStatistics(statistics);
    UpdatePieSources();
    ReportReady = true;
}

void SigrisisForm::PageControlChange(int)
{
    QWidget* const page = PageControl->currentWidget();
    const bool chartPage = page == EispraxisTab || page == PliromesTab;
    itemRotate->setEnabled(chartPage);
    itemCopy->setEnabled(true);
    itemPreview->setEnabled(chartPage || page == PinakasTab);
    itemExport->setEnabled(page == PinakasTab);
}

PieChart3D* SigrisisForm::activeChart() const
{
    QWidget* const page = PageControl->currentWidget();
    if (page == EispraxisTab)
        return EispraxisChart;
    if (page == PliromesTab)
        return PliromesChart;
    return nullptr;
}

void SigrisisForm::itemCopyClick()
{
    QWidget* const page = PageControl->currentWidget();
    if (PieChart3D* const chart = activeChart()) {
        copyChartToClipboard(*chart);
    } else if (page == StatistikaTab) {
        QClipboard* const clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        QString text;
        for (const QString& line : Stat->toPlainText().split(QLatin1Char('\n')))
            text += line + QStringLiteral("\r\n");
        clipboard->setText(text);
    } else if (page == PinakasTab) {
        const KeepCursor keep(ResultsTable);
        if (const auto text = TableText(ResultsTable, settings_, TableTextForm::Clipboard))
            QGuiApplication::clipboard()->setText(toQString(*text));
    }
}

void SigrisisForm::itemPreviewClick()
{
    if (PieChart3D* const chart = activeChart()) {
        ChartPrintPreview::show(*chart, this,
                                QStringLiteral("Γράφημα - ") +
                                    PageControl->tabText(PageControl->currentIndex()));
        chart->update();
    } else if (PageControl->currentWidget() == PinakasTab && ReportReady) {
        const KeepCursor keep(ResultsTable);
        report_.Preview(ResultsTable, settings_);
    }
}

void SigrisisForm::itemExportClick()
{
    if (PageControl->currentWidget() != PinakasTab)
        return;
    FileDialogRequest request;
    request.title = QStringLiteral("Εξαγωγή σε αρχείο");
    request.filter = QStringLiteral("Αρχεία κειμένου (*.txt)");
    request.defaultSuffix = QStringLiteral("txt");
    const std::optional<QString> fileName = DialogService::instance().saveFileName(request);
    if (!fileName)
        return;
    try {
        const KeepCursor keep(ResultsTable);
        ExportTableToTextFile(ResultsTable, QFile::encodeName(*fileName).toStdString(), settings_);
    } catch (const std::exception& error) {
        db::reportError(error);
    }
}

void SigrisisForm::itemRotateClick()
{
    if (Timer.isActive())
        Timer.stop();
    else
        Timer.start();
}

void SigrisisForm::TimerTimer()
{
    for (PieChart3D* chart : {EispraxisChart, PliromesChart})
        chart->setRotation((chart->rotation() + 1) % 360);
}

void SigrisisForm::cbKUpolClick()
{
    UpdatePieSources();
}

void SigrisisForm::ResultsGridTitleBtnClick(int, Field* field)
{
    if (field)
        ResultsTable.sortByFields(field->fieldName());
}

void SigrisisForm::UpdatePieSources()
{
    const bool net = cbKUpol->isChecked();
    PieSeries1.valueField = net ? "KEispraxi" : "SEispraxeon";
    PieSeries2.valueField = net ? "KPliromi" : "SPliromon";
    loadPoints(PieSeries2);
    loadPoints(PieSeries1);
}

void SigrisisForm::loadPoints(const PieSeries& series)
{
    const Field* const value = ResultsTable.findField(series.valueField);
    const int label = ResultsTable.fieldByName("Category").index();
    ChartPoints points;
    for (int row = 0; value && row < ResultsTable.rowCount(); ++row) {
        // An empty value adds no visible slice.
        const Variant amount = ResultsTable.valueAt(row, value->index());
        points.append({toQString(ResultsTable.valueAt(row, label).toString()),
                       amount.isNull() ? 0.0 : amount.toDouble()});
    }
    series.chart->setPoints(std::move(points));
}

bool SigrisisForm::eventFilter(QObject* watched, QEvent* event)
{
    // A double click on either pie turns both, or stops them.
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == EispraxisChart || watched == PliromesChart) &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        itemRotateClick();
        return true;
    }
    return ChildForm::eventFilter(watched, event);
}

} // namespace tamisko
