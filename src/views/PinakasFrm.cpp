#include "views/PinakasFrm.h"

#include "data/DataMdl.h"
#include "data/TableUtils.h"
#include "platform/ClipboardText.h"
#include "platform/db/AnchorLayout.h"
#include "platform/db/DbMessages.h"
#include "platform/db/FieldText.h"
#include "platform/DialogService.h"
#include "platform/Text.h"
#include "reports/LogRpt.h"
#include "views/FilterFrm.h"

#include <optional>
#include <QContextMenuEvent>
#include <QFile>

namespace tamisko {
namespace {

constexpr Qt::Edges kLeftTop = Qt::LeftEdge | Qt::TopEdge;
constexpr Qt::Edges kAll = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge;

QFont sansSerif(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// The movements of a chosen date range, for the length of one operation. However the
// operation ends, the filter goes off before the views come back, so that they show
// every movement again, with the current record back at its position.
class DateRangeOperation final
{
public:
    explicit DateRangeOperation(DataMod& data) : data_(data) {}
    // The filter goes off here; the views come back afterwards, as suspended_ ends.
    ~DateRangeOperation() { data_.LogTable.setFiltered(false); }
    DateRangeOperation(const DateRangeOperation&) = delete;
    DateRangeOperation& operator=(const DateRangeOperation&) = delete;

    void suspendViews() { suspended_.emplace({&data_.LogSource}); }

private:
    DataMod& data_;
    std::optional<ViewsSuspended> suspended_;
};

// Runs the work on the movements of the date range that the dialog asks for, nothing
// when the dialog is cancelled or the range holds no movements; errors are reported.
void onChosenDateRange(PinakasForm& form, DataMod& data,
                       const std::function<void(DateRangeOperation&)>& work)
{
    FilterForm& dialog = form.filterDialog();
    try {
        DateRangeOperation operation(data);
        if (form.RunDateFilter(dialog))
            work(operation);
    } catch (const std::exception& error) {
        db::reportError(error);
    }
}

} // namespace

PinakasForm::PinakasForm(DataMod& data, LogReport& report, QWidget* parent)
    : ChildForm(parent), data_(data), report_(report)
{
    createControls();
}

PinakasForm::PinakasForm(DataMod& data, LogReport& report, QWidget* parent, QWidget* clientArea)
    : ChildForm(parent, clientArea), data_(data), report_(report)
{
    createControls();
}

void PinakasForm::createControls()
{
    setObjectName(QStringLiteral("PinakasForm"));
    setWindowTitle(QString());
    setProperty("helpContext", kHelpContext);
    runFilterDialog_ = [](FilterForm& dialog) {
        return dialog.exec();
    };

    DBNavigator1->setDataSource(&data_.LogSource);
    DBNavigator1->setFlat(true);
    DBNavigator1->setShowHints(true);
    using Button = DBNavigator::Button;
    DBNavigator1->setVisibleButtons({Button::First, Button::Prior, Button::Next, Button::Last,
                                     Button::Insert, Button::Delete, Button::Edit, Button::Post,
                                     Button::Cancel});

    LogGrid->setFont(sansSerif(11));
    LogGrid->setTitleFont(sansSerif(12, true));
    LogGrid->setRecordIndicator(true);
    LogGrid->setTitleButtons(true);
    LogGrid->setDataSource(&data_.LogSource);
    setActiveControl(LogGrid);
    connect(LogGrid, &DBGrid::titleClicked, this, &PinakasForm::LogGridTitleBtnClick);

    auto* const layout = new AnchorLayout(this, QSize(518, 286));
    layout->addWidget(DBNavigator1, QRect(7, 4, 234, 20), kLeftTop);
    layout->addWidget(LogGrid, QRect(6, 30, 507, 251), kAll);
    if (!isEmbedded())
        resize(518, 286);
    setTabOrder(DBNavigator1, LogGrid);

    const auto addItem = [this](QAction* item, QKeyCombination key, void (PinakasForm::*click)()) {
        item->setShortcut(QKeySequence(key));
        // The shortcuts work wherever the focus is in the window, as the menu's would.
        item->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(item, &QAction::triggered, this, click);
        addAction(item);
    };
    addItem(itemPreview, Qt::CTRL | Qt::Key_P, &PinakasForm::itemPreviewClick);
    addItem(itemCopy, Qt::CTRL | Qt::Key_Insert, &PinakasForm::itemCopyClick);
    addItem(itemExport, Qt::CTRL | Qt::Key_F, &PinakasForm::itemExportClick);

    FormCreate();
}

void PinakasForm::FormCreate()
{
    SortToggles.fill(false);
}

void PinakasForm::contextMenuEvent(QContextMenuEvent* event)
{
    PopupMenu->popup(event->globalPos());
}

void PinakasForm::LogGridTitleBtnClick(int column, Field* field)
{
    if (!field || column < 0 || column >= int(SortToggles.size()))
        return;
    // The table cannot sort on the looked-up name: the category column sorts by
    // category number, the order in which the categories were made. It keeps a flag
    // of its own, so that a click on "Ημέρα" never turns the next one on "Κατηγορία"
    // into a descending sort.
    const std::string name = field->fieldName() == "Category" ? "CatNum" : field->fieldName();
    bool& ascending = SortToggles[size_t(column)];
    ascending = !ascending;
    try {
        const MemTableOptions options = ascending ? 0 : MemTableOptions{mtcoDescending};
        data_.LogTable.sortByFields(name, options);
    } catch (const std::exception& error) {
        db::reportError(error);
    }
}

FilterForm& PinakasForm::filterDialog()
{
    if (!filter_)
        filter_ = new FilterForm(this);
    return *filter_;
}

bool PinakasForm::DateFilterRecord(MemTable& dataSet) const
{
    return filter_ && filter_->inRange(dataSet.fieldByName("Date").asFloat());
}

bool PinakasForm::RunDateFilter(FilterForm& dialog)
{
    // Drops a half-typed movement and brings the first and last dates up to date.
    data_.RecomputeSummary();
    MemTable& log = data_.LogTable;
    if (log.isEmpty())
        return false;
    dialog.setRange(data_.FirstDate, data_.LastDate);
    if (runFilterDialog_(dialog) != QDialog::Accepted)
        return false;
    dialog.takeRange();
    // A range beyond the movements, or a reversed one, ends the operation silently.
    if (dialog.FilterStart < data_.FirstDate || dialog.FilterEnd > data_.LastDate ||
        dialog.FilterStart > dialog.FilterEnd)
        return false;
    log.sortByFields("Date");
    log.setOnFilterRecord([this](MemTable& dataSet) { return DateFilterRecord(dataSet); });
    log.setFiltered(true);
    return true;
}

void PinakasForm::itemPreviewClick()
{
    onChosenDateRange(*this, data_, [this](DateRangeOperation& operation) {
        operation.suspendViews();
        report_.Preview(data_.LogTable, db::formatSettings());
    });
}

void PinakasForm::itemCopyClick()
{
    onChosenDateRange(*this, data_, [this](DateRangeOperation& operation) {
        operation.suspendViews();
        std::optional<std::string> text =
            TableText(data_.LogTable, db::formatSettings(), TableTextForm::Clipboard);
        if (text)
            putTextOnClipboard(std::move(*text));
    });
}

void PinakasForm::itemExportClick()
{
    onChosenDateRange(*this, data_, [this](DateRangeOperation& operation) {
        const std::optional<QString> fileName = askExportFileName();
        if (!fileName)
            return;
        operation.suspendViews();
        ExportTableToTextFile(data_.LogTable, QFile::encodeName(*fileName).toStdString(),
                              db::formatSettings());
    });
}

std::optional<QString> PinakasForm::askExportFileName() const
{
    FileDialogRequest request;
    request.filter = QStringLiteral("Αρχεία κειμένου (*.txt)");
    request.defaultSuffix = QStringLiteral("txt");
    return DialogService::instance().saveFileName(request);
}

} // namespace tamisko
