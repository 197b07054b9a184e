#pragma once

#include "data/import/ImportFile.h"
#include "data/RegionalSettings.h"
#include "platform/Child.h"
#include "views/ImportMappingMemory.h"

#include <functional>
#include <QString>
#include <string>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableView;
class QTableWidget;

namespace tamisko {

class DataMod;
class ImportPreviewModel;

// The import of a bank statement or another program's book, in steps: the file is
// chosen; delimited text gets a mapping step that shows its first rows with a chooser
// per column and the detected encoding, separator, date order and decimal sign, each
// of which reads the file again when changed; then every row is previewed as it would
// go into the book, and OK puts the ticked ones in, in one step that can be taken back.
class ImportForm final : public ChildForm
{
    Q_OBJECT

public:
    // What a column of delimited text holds, as its chooser offers it.
    enum class ColumnRole
    {
        None,
        Date,
        Description,
        Amount,
        Debit,
        Credit,
        Sign,
        Category
    };

    // Told after every import, with what takes the whole import back.
    using ImportedCallback = std::function<void(std::function<void()> undo)>;

    // A window of its own.
    ImportForm(DataMod& data, const RegionalSettings& settings, QWidget* parent = nullptr);
    // Embedded in a host's client area.
    ImportForm(DataMod& data, const RegionalSettings& settings, QWidget* parent,
               QWidget* clientArea);
    ~ImportForm() override;

    void setImportedCallback(ImportedCallback callback) { imported_ = std::move(callback); }
    // Where confirmed mappings are remembered; the program's own profile file by default.
    void setProfileFileName(const QString& fileName) { memory_ = ImportMappingMemory(fileName); }
    // How long a step runs before the progress bar shows (milliseconds).
    void setProgressDelay(int milliseconds) { progressDelay_ = milliseconds; }

    // Asks for a file through the dialog service and opens it; false when the user
    // cancelled or the file cannot be imported (the window is then left as it was).
    bool start();
    // Reads the file and shows its first step; a file that cannot be imported gets a
    // message naming the line, and false.
    bool openFile(const QString& fileName);

    bool isMappingStep() const;
    bool isPreviewStep() const;
    const import::ImportFile& importFile() const { return file_; }
    ImportPreviewModel* previewModel() const { return PreviewModel; }
    // The chooser of a column of the mapping step; null past the last column.
    QComboBox* columnChooser(int column) const;
    // Sets what a column holds and reads the file again.
    void chooseColumn(int column, ColumnRole role);

    void btnNextClick();
    void btnBackClick();
    void btnOKClick();
    void btnCancelClick();

    // The controls, owned by the window.
    QLabel* const lblTitle;
    QStackedWidget* const Pages;
    QWidget* const MappingPage;
    QComboBox* const cmbEncoding;
    QComboBox* const cmbSeparator;
    QComboBox* const cmbDateOrder;
    QComboBox* const cmbDecimal;
    QLabel* const lblLayout;
    QTableWidget* const SampleGrid;
    QLabel* const lblProblem;
    QWidget* const PreviewPage;
    QTableView* const PreviewGrid;
    ImportPreviewModel* const PreviewModel;
    QLabel* const lblCounts;
    QProgressBar* const ProgressBar;
    QPushButton* const btnBack;
    QPushButton* const btnNext;
    QPushButton* const btnOK;
    QPushButton* const btnCancel;

private:
    class StepProgress;

    void setUp();
    import::ReadSettings automaticSettings() const;
    // Reads the content by requested_; false (and the problem shown) when it does not.
    bool reread();
    void showMappingStep();
    void refreshMapping();
    void fillSampleGrid();
    void showPreviewStep();
    void updateCounts();
    void settingChosen(QComboBox* chooser);
    void finish();

    DataMod& data_;
    RegionalSettings settings_;
    ImportMappingMemory memory_;
    ImportedCallback imported_;
    int progressDelay_ = 400;

    QString fileName_;
    std::string content_;
    import::ReadSettings requested_; // what the user chose; the rest is detected
    import::ImportFile file_;
};

} // namespace tamisko
