#pragma once

#include "analysis/core/TimeSeries.h"
#include "data/RegionalSettings.h"
#include "platform/Child.h"

#include <QAbstractTableModel>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;
class QToolButton;

namespace tamisko {

class DataMod;
class SeriesBarChart;

// The time-series grid for a table view, over the computed numbers: a cell's text is made
// when the view asks for it. The grid's row 0 (the column titles) and column 0 (the period
// labels) are the headers, so they stay in place while the amounts scroll: model row r and
// column c show grid row r + 1 and column c + 1.
class SeriesGridModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SeriesGridModel(RegionalSettings settings, QObject* parent = nullptr);

    const series::SeriesNumbers& numbers() const { return numbers_; }
    void setNumbers(series::SeriesNumbers numbers);

    // The text of a grid cell, headers included; empty outside the grid.
    QString gridText(int row, int column) const;
    // The number of grid columns, column 0 included; 0 before a computation.
    int gridColumnCount() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    series::SeriesNumbers numbers_;
    RegionalSettings settings_;
};

// "Διαχρονικά": the net of every category over consecutive periods of the log, as a grid
// and as a bar chart of one column. Computes only when "Εκκίνηση" is pressed; the results
// stay until the next press.
class DiaxForm final : public ChildForm
{
    Q_OBJECT

public:
    static constexpr int kHelpContext = 50;
    static constexpr int kFirstColumnWidth = 115;
    static constexpr int kRowHeight = 18;
    static constexpr int kColumnWidth = 64;

    explicit DiaxForm(DataMod& data, QWidget* parent = nullptr);
    // Embedded in the host's client area.
    DiaxForm(DataMod& data, QWidget* parent, QWidget* clientArea);

    QLabel* Label1;
    QSpinBox* EdPeriod;
    QPushButton* btnOK;
    QToolButton* btnLeft;
    QToolButton* btnRight;

    QTabWidget* PageControl;
    QWidget* PinakasTab;
    QTableView* DataGrid;
    QWidget* GraphTab;
    SeriesBarChart* DataChart;

    QMenu* PopupMenu;
    QAction* itemPinakCopy;
    QAction* itemGraphCopy;
    QAction* itemPreview;

    const SeriesGridModel& gridModel() const { return *model_; }
    bool hasResults() const { return !model_->numbers().empty(); }

    // The grid column of the selected cell (1 for the first category); 0 when no cell is
    // selected.
    int currentColumn() const;
    // Selects a cell by grid row and column (both from 1), which redraws the chart.
    void selectCell(int row, int column);

    // Draws the grid column as bars over the periods; nothing for column 0.
    void ShowColumnChart(int column);

public slots:
    void btnOKClick();
    void btnLeftClick();
    void btnRightClick();
    void itemPinakCopyClick();
    void itemGraphCopyClick();
    void itemPreviewClick();

private:
    void FormCreate();
    void build();
    void createControls();
    void createGrid();
    void createPopupMenu();
    void FillSeriesGrid();
    void DataGridSelectCell(const QModelIndex& current);
    void fitChartToPage();
    void fitPeriodLabels();

    DataMod& data_;
    RegionalSettings settings_;
    SeriesGridModel* model_;
};

} // namespace tamisko
