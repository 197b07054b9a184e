#pragma once

#include "data/DataMdl.h"
#include "data/DayNumber.h"
#include "platform/db/DateEdit.h"
#include "platform/db/DBGrid.h"
#include "platform/db/FieldText.h"
#include "platform/ScriptedDialogService.h"
#include "platform/Text.h"
#include "reports/LogRpt.h"
#include "reports/ReportPreview.h"
#include "views/FilterFrm.h"
#include "views/PinakasFrm.h"

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QTest>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace tamisko::pinakastest {

inline double day(int year, int month, int dayOfMonth)
{
    return days::fromCivil({year, month, dayOfMonth});
}

// Counts what the data module tells the main window.
struct CountingNotifier final : DocumentNotifier
{
    int modified = 0;
    int balanceChanged = 0;
    void sendDataModified() override { ++modified; }
    void postBalanceChanged() override { ++balanceChanged; }
};

// Keeps the layouts it is shown instead of opening a preview.
struct RecordingViewer final : report::ReportViewer
{
    std::vector<report::ReportLayout> shown;
    void show(const report::ReportLayout& layout, const QString&) override
    {
        shown.push_back(layout);
    }
};

// The table window over a document of its own, with every question answered from a
// script: the dialog service's, and the filter dialog's answers as what the user does
// in the shown dialog.
class PinakasTest : public ::testing::Test
{
protected:
    using DialogAnswer = std::function<void(FilterForm&)>;

    PinakasTest()
    {
        db::setFormatSettings(RegionalSettings::greek());
        data.setNotifier(&notifier);
        data.NewDocument();
        form.setFilterDialogRunner([this](FilterForm& dialog) { return runDialog(dialog); });
    }

    void showForm()
    {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    int catNum(const QString& name)
    {
        return data.CatTable
            .lookup("Category", {Variant::fromString(fromQString(name).value())}, "CatNum")
            .toInt32();
    }

    void addMovement(double date, const QString& category, std::optional<double> receipt,
                     std::optional<double> payment, const QString& description = {})
    {
        MemTable& log = data.LogTable;
        log.append();
        log.setFieldValue("Date", Variant::fromDate(date));
        log.setFieldValue("CatNum", Variant::fromInt(catNum(category)));
        if (receipt)
            log.setFieldValue("Eispraxi", Variant::fromDouble(*receipt));
        if (payment)
            log.setFieldValue("Pliromi", Variant::fromDouble(*payment));
        if (!description.isEmpty())
            log.setFieldValue("Perigrafi", Variant::fromString(fromQString(description).value()));
        log.post();
    }

    // Five movements, neither in date order nor with category numbers in name order
    // (αναψυκτικά 0, βιβλία 1, τρόφιμα 9, ΔΕΗ 14, μισθός 27).
    void addMixedMovements()
    {
        addMovement(day(2024, 3, 5), QStringLiteral("τρόφιμα"), std::nullopt, 12.5,
                    QStringLiteral("ψωμί"));
        addMovement(day(2024, 1, 31), QStringLiteral("μισθός"), 1200, std::nullopt,
                    QStringLiteral("Ιανουάριος"));
        addMovement(day(2024, 2, 14), QStringLiteral("ΔΕΗ"), std::nullopt, 87.3);
        addMovement(day(2024, 1, 2), QStringLiteral("αναψυκτικά"), std::nullopt, 3);
        addMovement(day(2024, 2, 15), QStringLiteral("βιβλία"), 0, 25.1, QStringLiteral("δώρο"));
        notifier = {};
    }

    // A column of the movements in the table's order; null reads as 0.
    std::vector<double> numbers(const char* fieldName) const
    {
        std::vector<double> values;
        const int field = data.LogTable.fieldByName(fieldName).index();
        for (int row = 0; row < data.LogTable.rowCount(); ++row)
            values.push_back(data.LogTable.isNullAt(row, field)
                                 ? 0
                                 : data.LogTable.valueAt(row, field).toDouble());
        return values;
    }

    // What the grid shows in a column, top to bottom.
    QStringList columnTexts(int column) const
    {
        QStringList texts;
        const QAbstractItemModel* model = form.LogGrid->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, column).data(Qt::DisplayRole).toString();
        return texts;
    }

    int columnTitled(const QString& title) const
    {
        const QAbstractItemModel* model = form.LogGrid->model();
        for (int column = 0; column < model->columnCount(); ++column) {
            if (model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString() == title)
                return column;
        }
        return -1;
    }

    void clickTitle(const QString& title)
    {
        QHeaderView* header = form.LogGrid->horizontalHeader();
        const int column = columnTitled(title);
        ASSERT_GE(column, 0) << title.toStdString();
        const QPoint centre(header->sectionViewportPosition(column) +
                                header->sectionSize(column) / 2,
                            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    }

    // Presses a key where the focus is in the window, as the user would.
    void pressInForm(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target ? target : &form, key, modifiers);
    }

    // The next filter dialog is answered this way.
    void answerDialog(DialogAnswer answer) { dialogAnswers.push_back(std::move(answer)); }
    static DialogAnswer pressKey(Qt::Key key)
    {
        return [key](FilterForm& dialog) {
            QWidget* target = QApplication::focusWidget();
            QTest::keyClick(target ? target : &dialog, key);
        };
    }
    static DialogAnswer enterRange(const QString& start, const QString& end)
    {
        return [start, end](FilterForm& dialog) {
            dialog.StartDate->setText(start);
            dialog.EndDate->setText(end);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        };
    }

    int runDialog(FilterForm& dialog)
    {
        ++dialogsShown;
        dialog.setResult(QDialog::Rejected);
        dialog.show();
        dialog.activateWindow();
        if (!QTest::qWaitFor([&dialog] { return QApplication::activeWindow() == &dialog; })) {
            ADD_FAILURE() << "the filter dialog did not come up";
            dialog.reject();
            return dialog.result();
        }
        startDateShown = dialog.StartDate->text();
        endDateShown = dialog.EndDate->text();
        focusShown = QApplication::focusWidget();
        if (!dialogAnswers.empty()) {
            const DialogAnswer answer = std::move(dialogAnswers.front());
            dialogAnswers.pop_front();
            answer(dialog);
        }
        if (dialog.isVisible())
            dialog.reject(); // an unanswered dialog is closed by its close box
        // The window manager gives the window its activation back.
        if (form.isVisible()) {
            form.activateWindow();
            EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == &form; }));
        }
        return dialog.result();
    }

    static QString clipboardText() { return QGuiApplication::clipboard()->text(); }

    CountingNotifier notifier;
    DataMod data;
    ScriptedDialogService dialogs;
    ScopedDialogService installed{dialogs};
    RecordingViewer viewer;
    LogReport report{viewer};
    PinakasForm form{data, report};

    std::deque<DialogAnswer> dialogAnswers;
    int dialogsShown = 0;
    QString startDateShown;
    QString endDateShown;
    QWidget* focusShown = nullptr;
};

} // namespace tamisko::pinakastest
