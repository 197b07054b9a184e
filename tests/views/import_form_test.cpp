// The import window: the mapping step reads the file again when a setting changes, the
// preview model shows every row as it would go in, and OK imports in one step that the
// callback can take back.
#include "data/DayNumber.h"
#include "data/import/ImportPlan.h"
#include "kinisi_fixture.h"
#include "platform/ProfileFile.h"
#include "views/ImportFrm.h"
#include "views/ImportMappingMemory.h"
#include "views/ImportPreviewModel.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace tamisko;
using namespace tamisko::viewtest;
using namespace tamisko::import;
using Kind = ScriptedDialogService::Kind;
using Role = ImportForm::ColumnRole;
using Column = ImportPreviewModel::Column;

namespace {

double day(int year, int month, int dayOfMonth)
{
    return days::fromCivil({year, month, dayOfMonth});
}

// A bank statement: two lines before the header, a footer of totals.
const char* const kStatement = "Αριθμός λογαριασμού;GR12 3456\n"
                               "Περίοδος;01/03/2024 - 31/03/2024\n"
                               "Ημερομηνία;Περιγραφή;Χρέωση;Πίστωση\n"
                               "02/03/2024;ΣΟΥΠΕΡ ΜΑΡΚΕΤ ΑΒ;45,20;\n"
                               "05/03/2024;ΜΙΣΘΟΔΟΣΙΑ;;1.250,00\n"
                               "31/02/2024;ΛΑΘΟΣ ΗΜΕΡΟΜΗΝΙΑ;10,00;\n"
                               "12/03/2024;ΔΕΗ ΛΟΓΑΡΙΑΣΜΟΣ;80,00;\n"
                               "Σύνολα;;135,20;1.250,00\n";

class ImportWindow : public DocumentTest
{
protected:
    ImportWindow()
    {
        form.setProfileFileName(dir.filePath(QStringLiteral("Tamisko.ini")));
        form.setImportedCallback([this](std::function<void()> undo) {
            undoImport = std::move(undo);
            ++imports;
        });
    }

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    bool open(const QByteArray& bytes, const QString& name = QStringLiteral("statement.csv"))
    {
        return form.openFile(write(name, bytes));
    }

    ImportPreviewModel& model() { return *form.previewModel(); }
    QVariant cell(int row, Column column, int role = Qt::DisplayRole)
    {
        return model().data(model().index(row, column), role);
    }
    QStringList descriptions()
    {
        QStringList texts;
        for (const ImportRow& row : form.importFile().rows)
            texts << toQString(row.description);
        return texts;
    }
    static QString chosen(QComboBox* chooser) { return chooser->currentText(); }

    QTemporaryDir dir;
    ImportForm form{data, RegionalSettings::greek()};
    std::function<void()> undoImport;
    int imports = 0;
};

TEST_F(ImportWindow, DelimitedTextOpensAtTheMappingStepWithWhatWasDetected)
{
    ASSERT_TRUE(open(kStatement));
    EXPECT_TRUE(form.isMappingStep());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(chosen(form.cmbEncoding), "UTF-8");
    EXPECT_EQ(form.cmbSeparator->currentData().toInt(), ';');
    EXPECT_EQ(form.cmbDateOrder->currentText(), "ημέρα/μήνας/έτος");
    EXPECT_EQ(form.cmbDecimal->currentData().toInt(), ',');
    EXPECT_TRUE(form.lblLayout->text().contains("γραμμή 3"));

    const QStringList roles = {chosen(form.columnChooser(0)), chosen(form.columnChooser(1)),
                               chosen(form.columnChooser(2)), chosen(form.columnChooser(3))};
    EXPECT_EQ(roles, QStringList({"Ημερομηνία", "Περιγραφή", "Χρέωση", "Πίστωση"}));
    EXPECT_EQ(form.columnChooser(4), nullptr);
    EXPECT_EQ(form.SampleGrid->horizontalHeaderItem(1)->text(), "Περιγραφή");
    EXPECT_EQ(form.SampleGrid->item(1, 1)->text(), "ΣΟΥΠΕΡ ΜΑΡΚΕΤ ΑΒ");
    EXPECT_TRUE(form.btnNext->isVisible());
    EXPECT_FALSE(form.btnOK->isVisible());
}

// Each change of the mapping step reads the file again with it.
struct MappingCase
{
    const char* name;
    QByteArray content;
    std::function<void(ImportForm&)> change;
    std::function<void(const ImportFile&)> expectBefore;
    std::function<void(const ImportFile&)> expectAfter;
};

class MappingChange : public ImportWindow, public ::testing::WithParamInterface<MappingCase>
{};

void choose(QComboBox* chooser, int data)
{
    chooser->setCurrentIndex(chooser->findData(data));
    emit chooser->activated(chooser->currentIndex());
}

TEST_P(MappingChange, ReadsTheRowsAgain)
{
    const MappingCase& test = GetParam();
    ASSERT_TRUE(open(test.content));
    test.expectBefore(form.importFile());
    test.change(form);
    EXPECT_FALSE(form.lblProblem->isVisible()) << form.lblProblem->text().toStdString();
    test.expectAfter(form.importFile());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, MappingChange,
    ::testing::Values(
        MappingCase{"date_order", "Date;Amount\n03/04/2024;-1,00\n05/06/2024;-2,00\n",
                    [](ImportForm& form) {
                        choose(form.cmbDateOrder, static_cast<int>(DateOrder::MonthDayYear));
                    },
                    [](const ImportFile& file) { EXPECT_EQ(file.rows[0].date, day(2024, 4, 3)); },
                    [](const ImportFile& file) {
                        EXPECT_EQ(file.rows[0].date, day(2024, 3, 4));
                        EXPECT_EQ(file.settings.dateOrder, DateOrder::MonthDayYear);
                    }},
        MappingCase{"decimal_sign", "Date;Amount\n03/04/2024;-1.250\n05/04/2024;-2.500\n",
                    [](ImportForm& form) { choose(form.cmbDecimal, '.'); },
                    [](const ImportFile& file) { EXPECT_EQ(file.rows[0].payment, 1250); },
                    [](const ImportFile& file) {
                        EXPECT_EQ(file.rows[0].payment, 1.25);
                    }},
        MappingCase{"encoding",
                    // "Άρτος" in cp1253: 0xA2 is "Ά" there and something else in ISO-8859-7.
                    QByteArray("Date;Description;Amount\n03/04/2024;\xA2\xF1\xF4\xEF\xF2;-1,00\n"),
                    [](ImportForm& form) {
                        choose(form.cmbEncoding, static_cast<int>(Encoding::Iso8859_7));
                    },
                    [](const ImportFile& file) {
                        EXPECT_EQ(file.settings.encoding, Encoding::Cp1253);
                        EXPECT_EQ(toQString(file.rows[0].description), "Άρτος");
                    },
                    [](const ImportFile& file) {
                        EXPECT_EQ(file.settings.encoding, Encoding::Iso8859_7);
                        EXPECT_NE(toQString(file.rows[0].description), "Άρτος");
                    }},
        MappingCase{"column_role", "Date;Description;Note;Amount\n03/04/2024;Φούρνος;ψωμί;-1,00\n",
                    [](ImportForm& form) { form.chooseColumn(2, Role::Category); },
                    [](const ImportFile& file) { EXPECT_EQ(file.rows[0].category, ""); },
                    [](const ImportFile& file) {
                        EXPECT_EQ(toQString(file.rows[0].category), "ψωμί");
                        EXPECT_EQ(file.settings.columns->category, 2);
                    }},
        MappingCase{"role_moves_to_another_column",
                    "Date;Description;Note;Amount\n03/04/2024;Φούρνος;ψωμί;-1,00\n",
                    [](ImportForm& form) { form.chooseColumn(2, Role::Description); },
                    [](const ImportFile& file) {
                        EXPECT_EQ(toQString(file.rows[0].description), "Φούρνος");
                    },
                    [](const ImportFile& file) {
                        EXPECT_EQ(toQString(file.rows[0].description), "ψωμί");
                        EXPECT_EQ(file.settings.columns->description, 2);
                    }},
        MappingCase{"separate_sides_replace_the_amount",
                    "Date;Description;Out;In\n03/04/2024;Φούρνος;5,00;\n04/04/2024;Μισθός;;9,00\n",
                    [](ImportForm& form) {
                        form.chooseColumn(2, Role::Debit);
                        form.chooseColumn(3, Role::Credit);
                    },
                    [](const ImportFile&) {},
                    [](const ImportFile& file) {
                        EXPECT_EQ(file.rows[0].payment, 5);
                        EXPECT_EQ(file.rows[1].receipt, 9);
                        EXPECT_EQ(file.settings.columns->amount, -1);
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImportWindow, AMappingThatCannotBeReadSaysWhyAndKeepsTheStepUntilMended)
{
    ASSERT_TRUE(open(kStatement));
    form.chooseColumn(0, Role::None);
    EXPECT_FALSE(form.lblProblem->isHidden());
    EXPECT_TRUE(form.lblProblem->text().contains("ημερομηνίας"));
    EXPECT_FALSE(form.btnNext->isEnabled());
    form.btnNextClick();
    EXPECT_TRUE(form.isMappingStep());

    form.chooseColumn(0, Role::Date);
    EXPECT_TRUE(form.lblProblem->isHidden());
    EXPECT_TRUE(form.btnNext->isEnabled());
    form.btnNextClick();
    EXPECT_TRUE(form.isPreviewStep());
}

TEST_F(ImportWindow, PreviewShowsEveryRowWithItsMarks)
{
    addMovement(day(2024, 3, 12), "ΔΕΗ", 0, 80); // the same date and amount...
    data.LogTable.last();
    data.LogTable.edit();
    data.LogTable.setFieldValue("Perigrafi", Variant::fromString(cp("Δεη  λογαριασμος")));
    data.LogTable.post(); // ...and the description but for case and blanks: a duplicate
    ASSERT_TRUE(open(kStatement));
    form.btnNextClick();
    ASSERT_TRUE(form.isPreviewStep());
    ASSERT_EQ(model().rowCount(), 4);
    EXPECT_EQ(model().columnCount(), 7);
    EXPECT_EQ(model().headerData(Column::Receipt, Qt::Horizontal).toString(), "Είσπραξη");

    // A payment, a receipt, an invalid row, a duplicate.
    const QStringList first = {
        cell(0, Column::Line).toString(),     cell(0, Column::Date).toString(),
        cell(0, Column::Category).toString(), cell(0, Column::Receipt).toString(),
        cell(0, Column::Payment).toString(),  cell(0, Column::Description).toString()};
    EXPECT_EQ(first, QStringList({"4", "2/3/2024", "άλλα έξοδα", "", "45,20", "ΣΟΥΠΕΡ ΜΑΡΚΕΤ ΑΒ"}));
    EXPECT_EQ(cell(1, Column::Category).toString(), "άλλα έσοδα");
    EXPECT_EQ(cell(1, Column::Receipt).toString(), "1250,00");

    struct Expected
    {
        int row;
        QVariant check;
        QString mark;
        bool tooltip;
        Qt::ItemFlags categoryFlags;
    };
    const Qt::ItemFlags plain = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const Expected expected[] = {
        {0, Qt::Checked, "", false, plain | Qt::ItemIsEditable},
        {2, {}, "άκυρη", true, plain},
        {3, Qt::Unchecked, "διπλή", true, plain | Qt::ItemIsEditable},
    };
    for (const Expected& row : expected) {
        SCOPED_TRACE(row.row);
        EXPECT_EQ(cell(row.row, Column::Include, Qt::CheckStateRole), row.check);
        EXPECT_EQ(cell(row.row, Column::Include).toString(), row.mark);
        EXPECT_EQ(cell(row.row, Column::Description, Qt::ToolTipRole).isValid(), row.tooltip);
        EXPECT_EQ(model().flags(model().index(row.row, Column::Category)), row.categoryFlags);
        EXPECT_EQ(model()
                      .flags(model().index(row.row, Column::Include))
                      .testFlag(Qt::ItemIsUserCheckable),
                  row.check.isValid());
    }
    EXPECT_EQ(cell(2, Column::Date, Qt::ToolTipRole).toString(),
              "Μη έγκυρη ημερομηνία «31/02/2024».");
    EXPECT_TRUE(cell(2, Column::Line, Qt::BackgroundRole).isValid());
    EXPECT_TRUE(cell(3, Column::Date, Qt::ToolTipRole).toString().contains("υπάρχει ήδη"));
    EXPECT_EQ(cell(0, Column::Category, Qt::ToolTipRole).toString(), "Προεπιλεγμένη κατηγορία");

    EXPECT_EQ(form.lblCounts->text(),
              "Κινήσεις: 4 · για εισαγωγή: 2 · ήδη στο βιβλίο: 1 · άκυρες: 1 · παραλείπονται: 3");
    EXPECT_TRUE(form.btnOK->isEnabled());
}

TEST_F(ImportWindow, TicksAndCategoriesChangePerRow)
{
    ASSERT_TRUE(open(kStatement));
    form.btnNextClick();
    const QModelIndex tick = model().index(0, Column::Include);
    ASSERT_TRUE(model().setData(tick, Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_FALSE(model().preview().rows[0].include);
    EXPECT_TRUE(form.lblCounts->text().contains("για εισαγωγή: 2"));
    ASSERT_TRUE(model().setData(tick, Qt::Checked, Qt::CheckStateRole));

    const QModelIndex category = model().index(0, Column::Category);
    EXPECT_TRUE(model().setData(category, "Βιβλία")); // the book's spelling is kept
    EXPECT_EQ(cell(0, Column::Category).toString(), "βιβλία");
    EXPECT_EQ(cell(3, Column::Category).toString(), "άλλα έξοδα");
    EXPECT_TRUE(model().setData(category, "  κηπουρική  "));
    EXPECT_EQ(cell(0, Column::Category).toString(), "κηπουρική");

    // Refused: nothing, a name cp1253 cannot hold, an invalid row.
    EXPECT_FALSE(model().setData(category, " "));
    EXPECT_FALSE(model().setData(category, "日本"));
    EXPECT_FALSE(model().setData(model().index(2, Column::Category), "βιβλία"));
    EXPECT_FALSE(
        model().setData(model().index(2, Column::Include), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(cell(0, Column::Category).toString(), "κηπουρική");
}

TEST_F(ImportWindow, NewCategoriesAreCreatedOnlyAfterTheQuestion)
{
    ASSERT_TRUE(open("Ημερομηνία;Περιγραφή;Ποσό;Κατηγορία\n"
                     "02/03/2024;Φυτώριο;-12,00;Κηπουρική\n"
                     "03/03/2024;Βιβλιοπωλείο;-8,00;βιβλια\n"
                     "04/03/2024;Κτηνίατρος;-30,00;Κατοικίδια\n"));
    form.btnNextClick();

    dialogs.answerButton(QMessageBox::No);
    form.btnOKClick();
    const auto& question = dialogs.lastQuestion().message();
    EXPECT_EQ(question.icon, QMessageBox::Question);
    EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(question.text.contains("    Κηπουρική\n    Κατοικίδια\n"));
    EXPECT_FALSE(question.text.contains("    βιβλ")); // the book has it
    EXPECT_EQ(data.LogTable.recordCount(), 0);
    EXPECT_EQ(data.CatTable.recordCount(), 28);
    EXPECT_TRUE(form.isPreviewStep());
    EXPECT_EQ(imports, 0);

    dialogs.answerButton(QMessageBox::Yes);
    form.btnOKClick();
    EXPECT_EQ(data.LogTable.recordCount(), 3);
    EXPECT_EQ(data.CatTable.recordCount(), 30);
    EXPECT_EQ(imports, 1);
    EXPECT_FALSE(form.isVisible());
    const auto& summary = dialogs.lastQuestion().message();
    EXPECT_EQ(summary.icon, QMessageBox::Information);
    EXPECT_TRUE(summary.text.startsWith("Εισήχθησαν 3 κινήσεις.\nΝέες κατηγορίες: 2."));
}

TEST_F(ImportWindow, ImportThenUndoRestoresTheBookAndTheBalance)
{
    addMovement(day(2024, 1, 5), "άλλα έσοδα", 100);
    const long double before = data.Balance;
    ASSERT_TRUE(open(kStatement));
    form.btnNextClick();
    notifier = {};
    form.btnOKClick();

    EXPECT_EQ(data.LogTable.recordCount(), 4);
    EXPECT_DOUBLE_EQ(static_cast<double>(data.Balance), 100 + 1250 - 45.20 - 80);
    EXPECT_EQ(notifier.modified, 1);
    EXPECT_EQ(notifier.balanceChanged, 1);
    ASSERT_TRUE(undoImport);

    undoImport();
    EXPECT_EQ(data.LogTable.recordCount(), 1);
    EXPECT_EQ(data.Balance, before);
    EXPECT_EQ(data.CatTable.recordCount(), 28);
    EXPECT_EQ(notifier.balanceChanged, 2);
}

TEST_F(ImportWindow, TheSameStatementTwiceImportsNothingTheSecondTime)
{
    ASSERT_TRUE(open(kStatement));
    form.btnNextClick();
    form.btnOKClick();
    ASSERT_EQ(data.LogTable.recordCount(), 3);

    ASSERT_TRUE(open(kStatement));
    form.btnNextClick();
    EXPECT_EQ(model().counts().included, 0);
    EXPECT_EQ(model().counts().duplicates, 3);
    EXPECT_FALSE(form.btnOK->isEnabled());
    form.btnOKClick();
    EXPECT_EQ(data.LogTable.recordCount(), 3);
    EXPECT_EQ(imports, 1);
}

TEST_F(ImportWindow, TheConfirmedMappingIsRememberedForTheSameHeader)
{
    const QByteArray ambiguous = "Ημ/νία;Αιτιολογία;Ποσό;Σχόλιο\n03/04/2024;Φούρνος;-1,00;ψωμί\n";
    ASSERT_TRUE(open(ambiguous));
    choose(form.cmbDateOrder, static_cast<int>(DateOrder::MonthDayYear));
    form.chooseColumn(3, Role::Category);
    form.btnNextClick();
    form.btnCancelClick();
    EXPECT_FALSE(form.isVisible());

    // Another statement of the same bank: read at once as confirmed.
    ASSERT_TRUE(open("ημ/νία ; Αιτιολογία;Ποσό;Σχόλιο\n05/06/2024;Ταβέρνα;-20,00;φαγητό\n",
                     QStringLiteral("next.csv")));
    EXPECT_EQ(form.importFile().settings.dateOrder, DateOrder::MonthDayYear);
    EXPECT_EQ(form.importFile().rows[0].date, day(2024, 5, 6));
    EXPECT_EQ(toQString(form.importFile().rows[0].category), "φαγητό");
    EXPECT_EQ(chosen(form.columnChooser(3)), "Κατηγορία");

    // A statement with another header is detected as usual.
    ASSERT_TRUE(
        open("Ημ/νία;Αιτιολογία;Ποσό\n05/06/2024;Ταβέρνα;-20,00\n", QStringLiteral("other.csv")));
    EXPECT_EQ(form.importFile().settings.dateOrder, DateOrder::DayMonthYear);

    // A window of a later run reads the same profile entry.
    ImportForm later{data, RegionalSettings::greek()};
    later.setProfileFileName(dir.filePath(QStringLiteral("Tamisko.ini")));
    ASSERT_TRUE(later.openFile(write("again.csv", ambiguous)));
    EXPECT_EQ(later.importFile().settings.dateOrder, DateOrder::MonthDayYear);
}

TEST(ImportMappingMemory, EntriesReadBackAndBrokenOnesAreIgnored)
{
    ReadSettings settings;
    settings.encoding = Encoding::Cp1253;
    settings.separator = '\t';
    settings.dateOrder = DateOrder::YearMonthDay;
    settings.decimalSign = '.';
    settings.columns = ColumnMapping{0, 1, -1, 2, 3, -1, 4};
    const auto decoded = ImportMappingMemory::decode(ImportMappingMemory::encode(settings));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->encoding, settings.encoding);
    EXPECT_EQ(decoded->separator, '\t');
    EXPECT_EQ(decoded->dateOrder, settings.dateOrder);
    EXPECT_EQ(decoded->decimalSign, '.');
    EXPECT_EQ(decoded->columns, settings.columns);

    for (const char* broken :
         {"", "encoding:utf-8", "columns:0,1", "columns:-1,1,2,-1,-1,-1,-1",
          "separator:65 columns:0,1,2,-1,-1,-1,-1", "columns:0,1,x,-1,-1,-1,-1", "nonsense"})
        EXPECT_FALSE(ImportMappingMemory::decode(QString::fromUtf8(broken))) << broken;

    EXPECT_EQ(ImportMappingMemory::keyFor({"Ημερομηνία", " Ποσό"}),
              ImportMappingMemory::keyFor({"ΗΜΕΡΟΜΗΝΊΑ", "ποσό "}));
    EXPECT_NE(ImportMappingMemory::keyFor({"Ημερομηνία", "Ποσό"}),
              ImportMappingMemory::keyFor({"Ποσό", "Ημερομηνία"}));
}

struct BadFileCase
{
    const char* name;
    QByteArray content; // null: the file does not exist
    const char* says;
};

class BadFile : public ImportWindow, public ::testing::WithParamInterface<BadFileCase>
{};

TEST_P(BadFile, GetsAGreekMessageAndLeavesTheWindowAsItWas)
{
    const BadFileCase& test = GetParam();
    const QString path = test.content.isNull() ? dir.filePath(QStringLiteral("missing.csv"))
                                               : write(QStringLiteral("bad.csv"), test.content);
    EXPECT_FALSE(form.openFile(path));
    ASSERT_EQ(dialogs.questions().size(), 1u);
    const auto& message = dialogs.lastQuestion().message();
    EXPECT_EQ(message.caption, "Πρόβλημα");
    EXPECT_EQ(message.icon, QMessageBox::Critical);
    EXPECT_TRUE(message.text.contains(QString::fromUtf8(test.says))) << message.text.toStdString();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(data.LogTable.recordCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadFile,
    ::testing::Values(
        BadFileCase{"missing", QByteArray(), "δεν ανοίγει"},
        BadFileCase{"empty", QByteArray(""), "«bad.csv» δεν εισάγεται.\nΤο αρχείο είναι κενό."},
        BadFileCase{"binary", QByteArray("PK\x03\x04\x14\0\0\0\x08\0\n\x01\x02", 13),
                    "δεν είναι κείμενο (γραμμή 1)"},
        BadFileCase{"header_without_data", "Λογαριασμός;123\nΗμερομηνία;Περιγραφή;Ποσό\n",
                    "δεν ακολουθείται από γραμμές κινήσεων (γραμμή 2)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImportWindow, ChoosingTheFileGoesThroughTheDialogService)
{
    dialogs.answerCancel();
    EXPECT_FALSE(form.start());
    EXPECT_EQ(dialogs.lastQuestion().kind, Kind::OpenFile);
    EXPECT_EQ(dialogs.lastQuestion().caption, "Εισαγωγή κινήσεων");
    EXPECT_TRUE(dialogs.lastQuestion().file().filter.contains("*.csv"));
    EXPECT_FALSE(form.isVisible());

    dialogs.answerFile(write(QStringLiteral("statement.csv"), kStatement));
    EXPECT_TRUE(form.start());
    EXPECT_TRUE(form.isMappingStep());
}

TEST_F(ImportWindow, OtherFormatsGoStraightToThePreview)
{
    ASSERT_TRUE(open("!Type:Bank\nD03/15/2024\nT-12.50\nPΦούρνος\n^\n", "bank.qif"));
    EXPECT_TRUE(form.isPreviewStep());
    EXPECT_FALSE(form.btnBack->isVisible());
    EXPECT_EQ(cell(0, Column::Payment).toString(), "12,50");
}

TEST_F(ImportWindow, BackReturnsToTheMappingAndCancelLeavesTheBookAlone)
{
    ASSERT_TRUE(open(kStatement));
    form.btnNextClick();
    EXPECT_TRUE(form.btnBack->isVisible());
    form.btnBackClick();
    EXPECT_TRUE(form.isMappingStep());
    form.btnNextClick();
    form.btnCancelClick();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(data.LogTable.recordCount(), 0);
    EXPECT_EQ(notifier.modified, 0);
}

TEST_F(ImportWindow, ALongStatementShowsItsProgress)
{
    QByteArray csv = "Ημερομηνία;Περιγραφή;Ποσό\n";
    for (int i = 0; i < 12000; ++i)
        csv += "02/03/2024;Κίνηση " + QByteArray::number(i) + ";-1,00\n";
    form.setProgressDelay(0);
    QList<int> values;
    QObject::connect(form.ProgressBar, &QProgressBar::valueChanged,
                     [&values](int value) { values << value; });
    ASSERT_TRUE(open(csv));
    ASSERT_FALSE(values.isEmpty());
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_GT(values.front(), 0);
    EXPECT_LE(values.back(), form.ProgressBar->maximum());
    EXPECT_TRUE(form.ProgressBar->isHidden()); // gone once the step is over
    EXPECT_EQ(form.importFile().rows.size(), 12000u);
}

} // namespace
