#include "views/CatFrm.h"

#include "data/DataMdl.h"
#include "data/TableUtils.h"
#include "platform/db/AnchorLayout.h"
#include "platform/db/DbMessages.h"
#include "platform/DialogService.h"
#include "platform/Help.h"
#include "platform/Text.h"

#include <optional>
#include <QHeaderView>

namespace tamisko {
namespace {

const QString kProblem = QStringLiteral("Πρόβλημα");

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

// The name the user typed as the table stores it: at most 30 characters of cp1253.
// Nothing when the prompt was cancelled or left empty.
std::optional<std::string> askName(const QString& caption, const QString& prompt,
                                   const QString& initial)
{
    const auto typed =
        DialogService::instance().promptText({caption, prompt, initial, CatForm::kNameLength});
    if (!typed || typed->isEmpty())
        return std::nullopt;
    const QString name = typed->left(CatForm::kNameLength);
    auto bytes = fromQString(name);
    if (!bytes) {
        DialogService::instance().showError(
            kProblem, QStringLiteral("Το όνομα ") + quoted(name) +
                          QStringLiteral(" έχει χαρακτήρες που δεν αποθηκεύονται"));
        return std::nullopt;
    }
    return bytes;
}

} // namespace

CatForm::CatForm(DataMod& data, QWidget* parent) : ChildForm(parent), data_(data)
{
    setUp();
    resize(538, 274);
}

CatForm::CatForm(DataMod& data, QWidget* parent, QWidget* clientArea)
    : ChildForm(parent, clientArea), data_(data)
{
    setUp();
}

void CatForm::setUp()
{
    DataMod& data = data_;
    setObjectName(QStringLiteral("CatForm"));
    setWindowTitle(QString());
    help::setHelpContext(this, kHelpContext);

    DBGrid1->setDataSource(&data.CatSource);
    DBGrid1->setReadOnly(true);
    DBGrid1->setRecordIndicator(false);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    QFont titleFont(QStringLiteral("MS Sans Serif"));
    titleFont.setPixelSize(13);
    DBGrid1->setTitleFont(titleFont);
    DBGrid1->setDeleteGuard([this](MemTable& categories) { return mayDelete(categories); });
    connect(DBGrid1, &DBGrid::recordDeleted, this, &CatForm::categoryDeleted);

    using Button = tamisko::DBNavigator::Button;
    DBNavigator->setDataSource(&data.CatSource);
    DBNavigator->setFlat(true);
    DBNavigator->setShowHints(true);
    DBNavigator->setVisibleButtons({Button::First, Button::Prior, Button::Next, Button::Last});

    connect(btnNew, &QPushButton::clicked, this, &CatForm::btnNewClick);
    connect(btnChange, &QPushButton::clicked, this, &CatForm::btnChangeClick);

    // Laid out for 120 pixels per inch.
    auto* const layout = new AnchorLayout(this, QSize(538, 274));
    const Qt::Edges leftTop = Qt::LeftEdge | Qt::TopEdge;
    layout->addWidget(DBGrid1, QRect(8, 48, 337, 225), leftTop | Qt::BottomEdge);
    layout->addWidget(DBNavigator, QRect(8, 10, 268, 25), leftTop);
    layout->addWidget(btnNew, QRect(320, 8, 75, 25), leftTop);
    layout->addWidget(btnChange, QRect(424, 8, 75, 25), leftTop);

    setTabOrder(DBGrid1, DBNavigator);
    setTabOrder(DBNavigator, btnNew);
    setTabOrder(btnNew, btnChange);
}

void CatForm::btnNewClick()
{
    MemTable& categories = data_.CatTable;
    // Whatever is being typed anywhere, a half-typed movement included, goes.
    CancelPending({&categories, &data_.LogTable});
    const auto name = askName(QStringLiteral("Νέα κατηγορία"),
                              QStringLiteral("Γράψε το όνομα της κατηγορίας"), QString());
    if (!name)
        return;
    try {
        if (categories.locate("Category", {Variant::fromString(*name)})) {
            DialogService::instance().showError(kProblem, QStringLiteral("Η κατηγορία ") +
                                                              quoted(toQString(*name)) +
                                                              QStringLiteral(" ήδη υπάρχει"));
            return;
        }
        categories.append();
        categories.setFieldValue("Category", Variant::fromString(*name));
        categories.post();
        categories.sortByFields("Category");
    } catch (const std::exception& error) {
        CancelPending({&categories});
        db::reportError(error);
    }
}

void CatForm::btnChangeClick()
{
    MemTable& categories = data_.CatTable;
    CancelPending({&categories, &data_.LogTable});
    if (categories.isEmpty())
        return;
    const std::string oldName = categories.fieldByName("Category").asString();
    const auto newName =
        askName(QStringLiteral("Αλλαγή κατηγορίας"),
                QStringLiteral("Γράψε το νέο όνομα της κατηγορίας"), toQString(oldName));
    if (!newName || *newName == oldName)
        return;
    try {
        const Variant target =
            categories.lookup("Category", {Variant::fromString(*newName)}, "CatNum");
        const int32_t source = categories.fieldByName("CatNum").asInteger();
        // A name the collation holds equal to the category's own is a rename, never a
        // merge into itself.
        if (target.isNullOrEmpty() || target.toInt32() == source) {
            rename(oldName, *newName);
            return;
        }
        const MessageRequest question{kProblem,
                                      QStringLiteral("Η κατηγορία ") + quoted(toQString(*newName)) +
                                          QStringLiteral(" ήδη υπάρχει. Να συγχωνευτεί;"),
                                      QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No,
                                      QMessageBox::Yes};
        if (DialogService::instance().message(question) == QMessageBox::Yes)
            merge(target.toInt32());
    } catch (const std::exception& error) {
        CancelPending({&categories, &data_.LogTable});
        db::reportError(error);
    }
}

void CatForm::rename(const std::string& oldName, const std::string& newName)
{
    MemTable& categories = data_.CatTable;
    categories.edit();
    categories.setFieldValue("Category", Variant::fromString(newName));
    categories.post();
    categories.sortByFields("Category");
    // The movements keep a copy of their category's name: rewrite it, telling the views
    // and the document once for all of them.
    data_.BulkChange(
        [&] {
            ReplaceFieldValues(data_.LogTable, "Category", Variant::fromString(oldName),
                               Variant::fromString(newName));
        },
        DataMod::Amounts::Stay);
}

void CatForm::merge(int32_t target)
{
    data_.BulkChange(
        [&] {
            MemTable& categories = data_.CatTable;
            const int32_t source = categories.fieldByName("CatNum").asInteger();
            ReplaceFieldValues(data_.LogTable, "CatNum", Variant::fromInt(source),
                               Variant::fromInt(target));
            categories.deleteRecord();
        },
        DataMod::Amounts::Stay);
    categoryDeleted();
}

bool CatForm::mayDelete(MemTable& categories)
{
    const Variant number = categories.fieldByName("CatNum").value();
    MemTable& log = data_.LogTable;
    const Field& catNum = log.fieldByName("CatNum");
    // A movement being typed counts as well: it would be posted without a category.
    bool used = log.state() != DataSetState::Browse && catNum.value().equals(number);
    for (int row = 0; row < log.rowCount() && !used; ++row)
        used = log.valueAt(row, catNum.index()).equals(number);
    if (!used)
        return true;
    const QString name = toQString(categories.fieldByName("Category").asString());
    DialogService::instance().showError(kProblem,
                                        QStringLiteral("Η κατηγορία ") + quoted(name) +
                                            QStringLiteral(" έχει κινήσεις και δεν διαγράφεται"));
    return false;
}

void CatForm::categoryDeleted()
{
    if (notifier_)
        notifier_->sendDataModified();
}

} // namespace tamisko
