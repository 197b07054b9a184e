#pragma once

#include "platform/Child.h"
#include "platform/db/DBGrid.h"
#include "platform/db/DBNavigator.h"

#include <array>
#include <functional>
#include <optional>
#include <QAction>
#include <QMenu>

namespace tamisko {

class DataMod;
class Field;
class FilterForm;
class LogReport;
class MemTable;

// "Πίνακας": every movement in a grid, edited, added and deleted in place and sorted by
// a click on a column title. Its context menu prints, copies or exports the movements of
// a date range asked for by the filter dialog.
class PinakasForm final : public ChildForm
{
    Q_OBJECT

public:
    static constexpr int kHelpContext = 30;

    // A window of its own.
    PinakasForm(DataMod& data, LogReport& report, QWidget* parent = nullptr);
    // Embedded in the main window's client area.
    PinakasForm(DataMod& data, LogReport& report, QWidget* parent, QWidget* clientArea);

    DBNavigator* const DBNavigator1 = newChild<DBNavigator>();
    DBGrid* const LogGrid = newChild<DBGrid>();
    QMenu* const PopupMenu = newChild<QMenu>();
    QAction* const itemPreview = PopupMenu->addAction(QStringLiteral("Προεσκόπιση εκτύπωσης"));
    QAction* const itemCopy = PopupMenu->addAction(QStringLiteral("Αντιγραφή στο πρόχειρο"));
    QAction* const itemExport = PopupMenu->addAction(QStringLiteral("Εξαγωγή σε αρχείο"));

    // One flag per column position; set when the last sort on that column was ascending.
    std::array<bool, 7> SortToggles{};

    void FormCreate();
    // The first click on a title sorts ascending, the next descending, and so on.
    void LogGridTitleBtnClick(int column, Field* field);

    // Shows the dialog over the range of all movements; when it is accepted with a range
    // inside them, leaves the movements sorted by date and filtered to that range, and
    // returns true. The caller switches the filter off again.
    bool RunDateFilter(FilterForm& dialog);
    // The record filter while a range is in force.
    bool DateFilterRecord(MemTable& dataSet) const;

    void itemPreviewClick();
    void itemCopyClick();
    void itemExportClick();

    // The filter dialog, created on first use and kept.
    FilterForm& filterDialog();

    // How the filter dialog is answered: modally by default. Tests answer it without a
    // modal loop. Returns the dialog's result.
    using DialogRunner = std::function<int(FilterForm&)>;
    void setFilterDialogRunner(DialogRunner runner) { runFilterDialog_ = std::move(runner); }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    template<typename Widget> Widget* newChild() { return new Widget(this); }
    void createControls();
    std::optional<QString> askExportFileName() const;

    DataMod& data_;
    LogReport& report_;
    FilterForm* filter_ = nullptr;
    DialogRunner runFilterDialog_;
};

} // namespace tamisko
