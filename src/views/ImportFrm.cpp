#include "views/ImportFrm.h"

#include "data/DataMdl.h"
#include "data/import/ImportPlan.h"
#include "platform/DialogService.h"
#include "platform/ProfileFile.h"
#include "platform/Text.h"
#include "views/ImportPreviewModel.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tamisko {
namespace {

using namespace tamisko::import;
using ColumnRole = ImportForm::ColumnRole;

const QString kProblem = QStringLiteral("Πρόβλημα");
constexpr int kMaxListedCategories = 15;

const std::pair<ColumnRole, const char16_t*> kRoleNames[] = {
    {ColumnRole::None, u"—"},
    {ColumnRole::Date, u"Ημερομηνία"},
    {ColumnRole::Description, u"Περιγραφή"},
    {ColumnRole::Amount, u"Ποσό"},
    {ColumnRole::Debit, u"Χρέωση"},
    {ColumnRole::Credit, u"Πίστωση"},
    {ColumnRole::Sign, u"Χρέωση/Πίστωση"},
    {ColumnRole::Category, u"Κατηγορία"},
};

int* columnOf(ColumnMapping& mapping, ColumnRole role)
{
    switch (role) {
    case ColumnRole::Date:
        return &mapping.date;
    case ColumnRole::Description:
        return &mapping.description;
    case ColumnRole::Amount:
        return &mapping.amount;
    case ColumnRole::Debit:
        return &mapping.debit;
    case ColumnRole::Credit:
        return &mapping.credit;
    case ColumnRole::Sign:
        return &mapping.sign;
    case ColumnRole::Category:
        return &mapping.category;
    case ColumnRole::None:
        break;
    }
    return nullptr;
}

ColumnRole roleOf(ColumnMapping mapping, int column)
{
    for (const auto& [role, name] : kRoleNames) {
        if (const int* at = columnOf(mapping, role); at && *at == column)
            return role;
    }
    return ColumnRole::None;
}

// The mapping with `column` holding `role`: a role sits in one column only, and one
// signed amount excludes separate debit and credit.
ColumnMapping withRole(ColumnMapping mapping, int column, ColumnRole role)
{
    for (const auto& [other, name] : kRoleNames) {
        if (int* at = columnOf(mapping, other); at && *at == column)
            *at = -1;
    }
    if (int* at = columnOf(mapping, role))
        *at = column;
    if (role == ColumnRole::Amount)
        mapping.debit = mapping.credit = -1;
    if (role == ColumnRole::Debit || role == ColumnRole::Credit)
        mapping.amount = -1;
    return mapping;
}

DateOrder regionalDateOrder(const RegionalSettings& settings)
{
    for (const char c : settings.shortDateFormat) {
        if (c == 'd')
            return DateOrder::DayMonthYear;
        if (c == 'M')
            return DateOrder::MonthDayYear;
        if (c == 'y')
            return DateOrder::YearMonthDay;
    }
    return DateOrder::DayMonthYear;
}

void selectData(QComboBox* chooser, int value)
{
    const QSignalBlocker quiet(chooser);
    chooser->setCurrentIndex(chooser->findData(value));
}

QString lineList(const std::vector<std::string>& names)
{
    QString text;
    const int shown = std::min<int>(static_cast<int>(names.size()), kMaxListedCategories);
    for (int i = 0; i < shown; ++i)
        text += QStringLiteral("    ") + toQString(names[static_cast<size_t>(i)]) + u'\n';
    if (static_cast<int>(names.size()) > shown)
        text += QStringLiteral("    και %1 ακόμη\n").arg(static_cast<int>(names.size()) - shown);
    return text;
}

// The category cell's editor: the book's categories to pick from, or a new name.
class CategoryDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setNames(QStringList names) { names_ = std::move(names); }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override
    {
        auto* editor = new QComboBox(parent);
        editor->setEditable(true);
        editor->setInsertPolicy(QComboBox::NoInsert);
        editor->addItems(names_);
        editor->lineEdit()->setMaxLength(30);
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        static_cast<QComboBox*>(editor)->setCurrentText(index.data(Qt::EditRole).toString());
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override
    {
        model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
    }

private:
    QStringList names_;
};

// A busy cursor while a step runs.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

// The progress bar of one step: it shows only once the step has taken longer than a
// moment, and the window is repainted now and then (without user input) meanwhile.
class ImportForm::StepProgress
{
public:
    StepProgress(QProgressBar& bar, int delay) : bar_(bar), delay_(delay) { clock_.start(); }
    ~StepProgress() { bar_.hide(); }
    StepProgress(const StepProgress&) = delete;
    StepProgress& operator=(const StepProgress&) = delete;

    Progress callback()
    {
        return [this](size_t done, size_t total) {
            report(done, total);
        };
    }

private:
    static constexpr int kSteps = 1000;
    static constexpr int kRepaintMilliseconds = 50;

    void report(size_t done, size_t total)
    {
        if (clock_.elapsed() < delay_)
            return;
        if (bar_.isHidden()) {
            bar_.setRange(0, kSteps);
            bar_.show();
        }
        bar_.setValue(total == 0 ? 0 : static_cast<int>(std::min(done, total) * kSteps / total));
        if (!painted_.isValid() || painted_.elapsed() >= kRepaintMilliseconds) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            painted_.start();
        }
    }

    QProgressBar& bar_;
    int delay_;
    QElapsedTimer clock_;
    QElapsedTimer painted_;
};

ImportForm::ImportForm(DataMod& data, const RegionalSettings& settings, QWidget* parent)
    : ImportForm(data, settings, parent, nullptr)
{
    resize(792, 355);
}

ImportForm::ImportForm(DataMod& data, const RegionalSettings& settings, QWidget* parent,
                       QWidget* clientArea)
    : ChildForm(parent, clientArea), lblTitle(new QLabel(this)), Pages(new QStackedWidget(this)),
      MappingPage(new QWidget(Pages)), cmbEncoding(new QComboBox(MappingPage)),
      cmbSeparator(new QComboBox(MappingPage)), cmbDateOrder(new QComboBox(MappingPage)),
      cmbDecimal(new QComboBox(MappingPage)), lblLayout(new QLabel(MappingPage)),
      SampleGrid(new QTableWidget(MappingPage)), lblProblem(new QLabel(MappingPage)),
      PreviewPage(new QWidget(Pages)), PreviewGrid(new QTableView(PreviewPage)),
      PreviewModel(new ImportPreviewModel(settings, this)), lblCounts(new QLabel(this)),
      ProgressBar(new QProgressBar(this)), btnBack(new QPushButton(QStringLiteral("< Πίσω"), this)),
      btnNext(new QPushButton(QStringLiteral("Επόμενο >"), this)),
      btnOK(new QPushButton(QStringLiteral("Εισαγωγή"), this)),
      btnCancel(new QPushButton(QStringLiteral("Άκυρο"), this)), data_(data), settings_(settings),
      memory_(GetIniFileName())
{
    setUp();
}

ImportForm::~ImportForm() = default;

void ImportForm::setUp()
{
    setObjectName(QStringLiteral("ImportForm"));
    setWindowTitle(QStringLiteral("Εισαγωγή κινήσεων"));
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblTitle->setTextFormat(Qt::PlainText);

    for (const Encoding encoding : {Encoding::Utf8, Encoding::Cp1253, Encoding::Iso8859_7}) {
        const QString name = encoding == Encoding::Utf8     ? QStringLiteral("UTF-8")
                             : encoding == Encoding::Cp1253 ? QStringLiteral("Windows-1253")
                                                            : QStringLiteral("ISO-8859-7");
        cmbEncoding->addItem(name, static_cast<int>(encoding));
    }
    cmbSeparator->addItem(QStringLiteral("; (ερωτηματικό)"), int(';'));
    cmbSeparator->addItem(QStringLiteral(", (κόμμα)"), int(','));
    cmbSeparator->addItem(QStringLiteral("Tab (στηλοθέτης)"), int('\t'));
    cmbSeparator->addItem(QStringLiteral("| (κάθετος)"), int('|'));
    cmbDateOrder->addItem(QStringLiteral("ημέρα/μήνας/έτος"),
                          static_cast<int>(DateOrder::DayMonthYear));
    cmbDateOrder->addItem(QStringLiteral("μήνας/ημέρα/έτος"),
                          static_cast<int>(DateOrder::MonthDayYear));
    cmbDateOrder->addItem(QStringLiteral("έτος-μήνας-ημέρα"),
                          static_cast<int>(DateOrder::YearMonthDay));
    cmbDecimal->addItem(QStringLiteral("κόμμα (1.234,56)"), int(','));
    cmbDecimal->addItem(QStringLiteral("τελεία (1,234.56)"), int('.'));
    for (QComboBox* chooser : {cmbEncoding, cmbSeparator, cmbDateOrder, cmbDecimal}) {
        connect(chooser, &QComboBox::activated, this, [this, chooser] { settingChosen(chooser); });
    }

    auto* settingsGrid = new QGridLayout;
    const auto addSetting = [&](int row, int column, const QString& caption, QComboBox* chooser) {
        auto* label = new QLabel(caption, MappingPage);
        label->setBuddy(chooser);
        settingsGrid->addWidget(label, row, column * 2);
        settingsGrid->addWidget(chooser, row, column * 2 + 1);
    };
    addSetting(0, 0, QStringLiteral("&Κωδικοποίηση:"), cmbEncoding);
    addSetting(0, 1, QStringLiteral("&Διαχωριστικό:"), cmbSeparator);
    addSetting(1, 0, QStringLiteral("&Σειρά ημερομηνίας:"), cmbDateOrder);
    addSetting(1, 1, QStringLiteral("&Υποδιαστολή:"), cmbDecimal);
    settingsGrid->setColumnStretch(4, 1);

    SampleGrid->setObjectName(QStringLiteral("SampleGrid"));
    SampleGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SampleGrid->verticalHeader()->hide();
    SampleGrid->verticalHeader()->setDefaultSectionSize(SampleGrid->fontMetrics().height() + 6);
    SampleGrid->setSelectionMode(QAbstractItemView::NoSelection);
    lblProblem->setStyleSheet(QStringLiteral("color: #a00000"));
    lblProblem->setWordWrap(true);
    lblProblem->hide();

    auto* mappingLayout = new QVBoxLayout(MappingPage);
    mappingLayout->setContentsMargins(0, 0, 0, 0);
    mappingLayout->addLayout(settingsGrid);
    mappingLayout->addWidget(lblLayout);
    mappingLayout->addWidget(SampleGrid, 1);
    mappingLayout->addWidget(lblProblem);

    PreviewGrid->setObjectName(QStringLiteral("PreviewGrid"));
    PreviewGrid->setModel(PreviewModel);
    PreviewGrid->setItemDelegateForColumn(ImportPreviewModel::Category,
                                          new CategoryDelegate(PreviewGrid));
    PreviewGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    PreviewGrid->setEditTriggers(QAbstractItemView::DoubleClicked |
                                 QAbstractItemView::SelectedClicked |
                                 QAbstractItemView::EditKeyPressed);
    // Rows of one height, so that a long statement scrolls without measuring each row.
    PreviewGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    PreviewGrid->verticalHeader()->setDefaultSectionSize(PreviewGrid->fontMetrics().height() + 6);
    PreviewGrid->verticalHeader()->hide();
    PreviewGrid->horizontalHeader()->setStretchLastSection(true);
    const std::pair<int, int> widths[] = {
        {ImportPreviewModel::Include, 80}, {ImportPreviewModel::Line, 55},
        {ImportPreviewModel::Date, 85},    {ImportPreviewModel::Category, 150},
        {ImportPreviewModel::Receipt, 85}, {ImportPreviewModel::Payment, 85}};
    for (const auto& [column, width] : widths)
        PreviewGrid->setColumnWidth(column, width);
    auto* previewLayout = new QVBoxLayout(PreviewPage);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    previewLayout->addWidget(PreviewGrid);
    connect(PreviewModel, &ImportPreviewModel::countsChanged, this, &ImportForm::updateCounts);

    Pages->addWidget(MappingPage);
    Pages->addWidget(PreviewPage);

    ProgressBar->setTextVisible(false);
    ProgressBar->setMaximumWidth(160);
    ProgressBar->hide();
    btnOK->setDefault(true);
    connect(btnBack, &QPushButton::clicked, this, &ImportForm::btnBackClick);
    connect(btnNext, &QPushButton::clicked, this, &ImportForm::btnNextClick);
    connect(btnOK, &QPushButton::clicked, this, &ImportForm::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &ImportForm::btnCancelClick);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblCounts, 1);
    bottom->addWidget(ProgressBar);
    for (QPushButton* button : {btnBack, btnNext, btnOK, btnCancel})
        bottom->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addWidget(Pages, 1);
    layout->addLayout(bottom);
    setActiveControl(PreviewGrid);
}

ReadSettings ImportForm::automaticSettings() const
{
    ReadSettings settings;
    settings.regionalDateOrder = regionalDateOrder(settings_);
    settings.regionalDecimalSign = settings_.decimalSeparator == '.' ? '.' : ',';
    return settings;
}

bool ImportForm::start()
{
    const auto chosen = DialogService::instance().openFileName(
        {QStringLiteral("Εισαγωγή κινήσεων"),
         QStringLiteral("Αντίγραφα κίνησης λογαριασμού (*.csv *.CSV *.txt *.TXT *.tsv *.qif "
                        "*.QIF *.ofx *.OFX *.qfx *.QFX *.xhb);;Όλα τα αρχεία (*)"),
         QString(), QString(), false});
    return chosen && openFile(*chosen);
}

bool ImportForm::openFile(const QString& fileName)
{
    QFile input(fileName);
    if (!input.open(QIODevice::ReadOnly)) {
        DialogService::instance().showError(
            kProblem, QStringLiteral("Το αρχείο «%1» δεν ανοίγει.").arg(fileName));
        return false;
    }
    std::string content = input.readAll().toStdString();
    input.close();

    const std::string name = QFile::encodeName(fileName).toStdString();
    ReadSettings requested = automaticSettings();
    ImportFile file;
    try {
        const BusyCursor busy;
        StepProgress progress(*ProgressBar, progressDelay_);
        file = readImport(content, requested, name, progress.callback());
        // A statement of a known header is read as the user confirmed it last time.
        if (file.settings.format == Format::Delimited) {
            if (auto remembered = memory_.recall(file.header)) {
                remembered->regionalDateOrder = requested.regionalDateOrder;
                remembered->regionalDecimalSign = requested.regionalDecimalSign;
                try {
                    file = readImport(content, *remembered, name, progress.callback());
                    requested = *remembered;
                } catch (const ImportError&) {
                    // The statement changed its layout: what was detected stands.
                }
            }
        }
    } catch (const std::exception& error) {
        DialogService::instance().showError(
            kProblem, QStringLiteral("Το αρχείο «%1» δεν εισάγεται.\n%2")
                          .arg(QFileInfo(fileName).fileName(), errorText(error)));
        return false;
    }

    fileName_ = fileName;
    content_ = std::move(content);
    requested_ = requested;
    file_ = std::move(file);
    if (file_.settings.format == Format::Delimited)
        showMappingStep();
    else
        showPreviewStep();
    if (isEmbedded())
        showChild();
    else
        show();
    return true;
}

bool ImportForm::isMappingStep() const
{
    return Pages->currentWidget() == MappingPage;
}

bool ImportForm::isPreviewStep() const
{
    return Pages->currentWidget() == PreviewPage;
}

bool ImportForm::reread()
{
    try {
        const BusyCursor busy;
        StepProgress progress(*ProgressBar, progressDelay_);
        file_ = readImport(content_, requested_, QFile::encodeName(fileName_).toStdString(),
                           progress.callback());
    } catch (const std::exception& error) {
        lblProblem->setText(errorText(error));
        lblProblem->show();
        btnNext->setEnabled(false);
        return false;
    }
    lblProblem->hide();
    btnNext->setEnabled(true);
    refreshMapping();
    return true;
}

void ImportForm::showMappingStep()
{
    lblTitle->setText(QStringLiteral("Εισαγωγή από «%1» — βήμα 1 από 2: οι στήλες του αρχείου")
                          .arg(QFileInfo(fileName_).fileName()));
    Pages->setCurrentWidget(MappingPage);
    lblProblem->hide();
    btnBack->hide();
    btnNext->show();
    btnNext->setEnabled(true);
    btnOK->hide();
    refreshMapping();
    setActiveControl(SampleGrid);
}

void ImportForm::refreshMapping()
{
    const ReadSettings& used = file_.settings;
    selectData(cmbEncoding, static_cast<int>(used.encoding));
    selectData(cmbSeparator, used.separator);
    selectData(cmbDateOrder, static_cast<int>(used.dateOrder));
    selectData(cmbDecimal, used.decimalSign);
    QString layout = used.headerLine > 0
                         ? QStringLiteral("Επικεφαλίδα στη γραμμή %1.").arg(used.headerLine)
                         : QStringLiteral("Το αρχείο δεν έχει επικεφαλίδα.");
    if (!file_.skipped.empty())
        layout += QStringLiteral(" Παραλείπονται %1 γραμμές πριν ή μετά τις κινήσεις.")
                      .arg(file_.skipped.size());
    layout += QStringLiteral(" Διαλέξτε τι περιέχει κάθε στήλη:");
    lblLayout->setText(layout);
    fillSampleGrid();
    updateCounts();
}

void ImportForm::fillSampleGrid()
{
    size_t columns = file_.header.size();
    for (const auto& cells : file_.firstRows)
        columns = std::max(columns, cells.size());
    const auto columnCount = static_cast<int>(columns);
    const ColumnMapping mapping = file_.settings.columns.value_or(ColumnMapping{});

    // The choosers stay while the columns do: one of them may be the sender of this change.
    if (SampleGrid->columnCount() != columnCount) {
        SampleGrid->clear();
        SampleGrid->setColumnCount(columnCount);
        SampleGrid->setRowCount(1);
        for (int column = 0; column < columnCount; ++column) {
            auto* chooser = new QComboBox(SampleGrid);
            for (const auto& [role, name] : kRoleNames)
                chooser->addItem(QString::fromUtf16(name), static_cast<int>(role));
            connect(chooser, &QComboBox::activated, this, [this, chooser, column] {
                chooseColumn(column, static_cast<ColumnRole>(chooser->currentData().toInt()));
            });
            SampleGrid->setCellWidget(0, column, chooser);
        }
    }
    QStringList titles;
    for (int column = 0; column < columnCount; ++column) {
        const auto at = static_cast<size_t>(column);
        titles << (at < file_.header.size() && !file_.header[at].empty()
                       ? QString::fromStdString(file_.header[at])
                       : QStringLiteral("Στήλη %1").arg(column + 1));
        selectData(columnChooser(column), static_cast<int>(roleOf(mapping, column)));
    }
    SampleGrid->setHorizontalHeaderLabels(titles);

    SampleGrid->setRowCount(1 + static_cast<int>(file_.firstRows.size()));
    for (size_t row = 0; row < file_.firstRows.size(); ++row) {
        const auto& cells = file_.firstRows[row];
        for (int column = 0; column < columnCount; ++column) {
            const auto at = static_cast<size_t>(column);
            auto* item = new QTableWidgetItem(at < cells.size() ? QString::fromStdString(cells[at])
                                                                : QString());
            item->setFlags(Qt::ItemIsEnabled);
            SampleGrid->setItem(static_cast<int>(row) + 1, column, item);
        }
    }
    SampleGrid->resizeColumnsToContents();
    for (int column = 0; column < columnCount; ++column) {
        SampleGrid->setColumnWidth(column,
                                   std::clamp(SampleGrid->columnWidth(column),
                                              columnChooser(column)->sizeHint().width(), 260));
    }
    SampleGrid->setRowHeight(0, columnCount > 0 ? columnChooser(0)->sizeHint().height() + 2
                                                : SampleGrid->rowHeight(0));
}

QComboBox* ImportForm::columnChooser(int column) const
{
    if (column < 0 || column >= SampleGrid->columnCount())
        return nullptr;
    return qobject_cast<QComboBox*>(SampleGrid->cellWidget(0, column));
}

void ImportForm::chooseColumn(int column, ColumnRole role)
{
    requested_.columns = withRole(file_.settings.columns.value_or(ColumnMapping{}), column, role);
    // The header line stays where it was found.
    requested_.headerLine = file_.settings.headerLine;
    reread();
}

void ImportForm::settingChosen(QComboBox* chooser)
{
    const int value = chooser->currentData().toInt();
    if (chooser == cmbEncoding || chooser == cmbSeparator) {
        // Other cells, perhaps another header: columns and header are found again.
        if (chooser == cmbEncoding)
            requested_.encoding = static_cast<Encoding>(value);
        else
            requested_.separator = static_cast<char>(value);
        requested_.columns.reset();
        requested_.headerLine = kDetectHeader;
    } else if (chooser == cmbDateOrder) {
        requested_.dateOrder = static_cast<DateOrder>(value);
    } else if (chooser == cmbDecimal) {
        requested_.decimalSign = static_cast<char>(value);
    }
    reread();
}

void ImportForm::showPreviewStep()
{
    {
        const BusyCursor busy;
        StepProgress progress(*ProgressBar, progressDelay_);
        PreviewOptions options;
        options.progress = progress.callback();
        PreviewModel->setPreview(previewImport(file_, data_.CatTable, data_.LogTable, options));
    }
    QStringList names;
    std::vector<std::string> bookNames;
    const int field = data_.CatTable.fieldByName("Category").index();
    for (int row = 0; row < data_.CatTable.rowCount(); ++row) {
        bookNames.push_back(data_.CatTable.valueAt(row, field).toString());
        names << toQString(bookNames.back());
    }
    PreviewModel->setBookCategories(std::move(bookNames));
    static_cast<CategoryDelegate*>(PreviewGrid->itemDelegateForColumn(ImportPreviewModel::Category))
        ->setNames(names);

    const bool delimited = file_.settings.format == Format::Delimited;
    lblTitle->setText((delimited ? QStringLiteral("Εισαγωγή από «%1» — βήμα 2 από 2: οι κινήσεις")
                                 : QStringLiteral("Εισαγωγή από «%1»: οι κινήσεις"))
                          .arg(QFileInfo(fileName_).fileName()));
    Pages->setCurrentWidget(PreviewPage);
    btnBack->setVisible(delimited);
    btnNext->hide();
    btnOK->show();
    updateCounts();
    setActiveControl(PreviewGrid);
    if (isVisible())
        PreviewGrid->setFocus();
}

void ImportForm::updateCounts()
{
    if (isMappingStep()) {
        lblCounts->setText(QStringLiteral("Γραμμές κινήσεων: %1 · άκυρες: %2")
                               .arg(file_.rows.size())
                               .arg(file_.invalidRows()));
        return;
    }
    const ImportPreviewModel::Counts counts = PreviewModel->counts();
    QString text = QStringLiteral("Κινήσεις: %1 · για εισαγωγή: %2 · ήδη στο βιβλίο: %3 · "
                                  "άκυρες: %4")
                       .arg(counts.rows)
                       .arg(counts.included)
                       .arg(counts.duplicates)
                       .arg(counts.invalid);
    if (!file_.skipped.empty())
        text += QStringLiteral(" · παραλείπονται: %1").arg(file_.skipped.size());
    lblCounts->setText(text);
    btnOK->setEnabled(counts.included > 0);
}

void ImportForm::btnNextClick()
{
    if (!isMappingStep() || !btnNext->isEnabled())
        return;
    memory_.remember(file_.header, file_.settings);
    showPreviewStep();
}

void ImportForm::btnBackClick()
{
    if (isPreviewStep() && file_.settings.format == Format::Delimited)
        showMappingStep();
}

void ImportForm::btnOKClick()
{
    if (!isPreviewStep())
        return;
    const import::ImportPreview& preview = PreviewModel->preview();
    if (preview.includedCount() == 0)
        return;
    const std::vector<std::string> created = newCategories(preview, data_.CatTable);
    if (!created.empty()) {
        const QString text =
            QStringLiteral(
                "Οι κατηγορίες αυτές δεν υπάρχουν στο βιβλίο και θα δημιουργηθούν:\n\n") +
            lineList(created) + QStringLiteral("\nΝα γίνει η εισαγωγή;");
        const auto answer = DialogService::instance().message(
            {QString(), text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
             QMessageBox::Yes});
        if (answer != QMessageBox::Yes)
            return;
    }

    ImportOutcome outcome;
    try {
        const BusyCursor busy;
        outcome = applyImport(data_, preview);
    } catch (const std::exception& error) {
        DialogService::instance().showError(
            kProblem, QStringLiteral("Η εισαγωγή δεν έγινε· το βιβλίο έμεινε όπως ήταν.\n%1")
                          .arg(errorText(error)));
        return;
    }
    if (imported_ && !outcome.undo.empty()) {
        imported_([data = &data_, undo = outcome.undo] { undoImport(*data, undo); });
    }
    QString summary = QStringLiteral("Εισήχθησαν %1 κινήσεις.").arg(outcome.imported);
    if (!outcome.categoriesCreated.empty())
        summary += QStringLiteral("\nΝέες κατηγορίες: %1.").arg(outcome.categoriesCreated.size());
    summary += QStringLiteral("\n\nΗ εισαγωγή αναιρείται από το μενού «Δεδομένα» με "
                              "«Αναίρεση εισαγωγής», ως την επόμενη αλλαγή ή αποθήκευση.");
    finish();
    DialogService::instance().showInformation(QString(), summary);
}

void ImportForm::btnCancelClick()
{
    finish();
}

void ImportForm::finish()
{
    PreviewModel->setPreview({});
    file_ = {};
    content_.clear();
    content_.shrink_to_fit();
    hide();
}

} // namespace tamisko
