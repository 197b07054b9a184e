#pragma once

#include "data/MemTable.h"
#include "data/RegionalSettings.h"
#include "platform/Child.h"

#include <QStyledItemDelegate>
#include <QTimer>
#include <string>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace tamisko {

class DataMod;
class DateEdit;
class DBGrid;
class PieChart3D;
class SigrisisReport;
class TableModel;

// Shows every cell of the results in its field's display format ("0.##", "0.#%"),
// which the data-aware grid does not know.
class ResultsCellDelegate final : public QStyledItemDelegate
{
public:
    ResultsCellDelegate(const TableModel& model, const RegionalSettings& settings, QObject* parent);

    QString cellText(const QModelIndex& index) const;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    const TableModel& model_;
    const RegionalSettings& settings_;
};

// "Σύγκριση": over two dates, where the money came from and where it went, by category.
// Computes only when "ΟΚ" is pressed; the results stay until the next press.
class SigrisisForm final : public ChildForm
{
    Q_OBJECT

public:
    static constexpr int kHelpContext = 40;

    // A window of its own.
    SigrisisForm(DataMod& data, SigrisisReport& report, QWidget* parent = nullptr);
    // Embedded in the main window's client area.
    SigrisisForm(DataMod& data, SigrisisReport& report, QWidget* parent, QWidget* clientArea);
    ~SigrisisForm() override;

    // A pie and the field of the results its values come from.
    struct PieSeries final
    {
        PieChart3D* chart = nullptr;
        std::string valueField;
    };

    MemTable ResultsTable{"ResultsTable"};
    DataSource ResultsSource{&ResultsTable};
    bool reportReady() const { return ReportReady; }

    QLabel* Label1;
    DateEdit* StartDate;
    QLabel* Label3;
    DateEdit* EndDate;
    QPushButton* btnDate;
    QPushButton* btnOK;
    QCheckBox* cbKUpol;

    QTabWidget* PageControl;
    QWidget* EispraxisTab;
    PieChart3D* EispraxisChart;
    QWidget* PliromesTab;
    PieChart3D* PliromesChart;
    QWidget* StatistikaTab;
    QPlainTextEdit* Stat;
    QWidget* PinakasTab;
    DBGrid* ResultsGrid;

    QMenu* PopupMenu;
    QAction* itemRotate;
    QAction* N1;
    QAction* itemCopy;
    QAction* itemPreview;
    QAction* itemExport;

    QTimer Timer;
    PieSeries PieSeries1;
    PieSeries PieSeries2;

public slots:
    void btnDateClick();
    void btnOKClick();
    void PageControlChange(int index);
    void itemCopyClick();
    void itemPreviewClick();
    void itemExportClick();
    void itemRotateClick();
    void TimerTimer();
    void cbKUpolClick();
    void ResultsGridTitleBtnClick(int column, tamisko::Field* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void setUp();
    void createControls();
    void createPopupMenu();
    void compute();
    void UpdatePieSources();
    void loadPoints(const PieSeries& series);
    PieChart3D* activeChart() const;
    double dateOf(const DateEdit& edit) const;
    void setDate(DateEdit& edit, double day);

    DataMod& data_;
    SigrisisReport& report_;
    RegionalSettings settings_;
    bool ReportReady = false;
};

} // namespace tamisko
