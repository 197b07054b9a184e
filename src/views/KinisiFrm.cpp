#include "views/KinisiFrm.h"

#include "data/DataMdl.h"
#include "platform/Dates.h"
#include "platform/db/DbMessages.h"
#include "platform/DesignMetrics.h"
#include "platform/DialogService.h"
#include "platform/Help.h"

#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>

namespace tamisko {
namespace {

// A row of controls that starts with the given ones and ends in the design's room.
QHBoxLayout* row(std::initializer_list<QWidget*> widgets, int roomAfter)
{
    auto* const layout = new QHBoxLayout;
    layout->setSpacing(0);
    for (QWidget* const widget : widgets)
        layout->addWidget(widget);
    layout->addSpacing(roomAfter);
    return layout;
}

bool isEnter(const QKeyEvent& key)
{
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

bool moveOnEnter(const QKeyEvent& key, QWidget* next)
{
    if (!isEnter(key))
        return false;
    next->setFocus(Qt::TabFocusReason);
    return true;
}

} // namespace

KinisiForm::KinisiForm(DataMod& data, QWidget* parent) : ChildForm(parent), data_(data)
{
    setUp();
    resize(448, 331);
}

KinisiForm::KinisiForm(DataMod& data, QWidget* parent, QWidget* clientArea)
    : ChildForm(parent, clientArea), data_(data)
{
    setUp();
}

QLabel* KinisiForm::newFieldLabel(const QString& caption, QWidget* field, QWidget* parent)
{
    auto* const label = new QLabel(caption, parent);
    QFont font = DesignMetrics::font(QStringLiteral("Arial"), 13);
    font.setItalic(true);
    label->setFont(font);
    label->setBuddy(field);
    return label;
}

void KinisiForm::setUp()
{
    setObjectName(QStringLiteral("KinisiForm"));
    setWindowTitle(QString());
    setFont(DesignMetrics::font(QStringLiteral("Arial"), 12));
    help::setHelpContext(this, kHelpContext);

    DataMod& data = data_;
    DBDate->setDataSource(&data.LogSource);
    DBDate->setDataField("Date");
    DBCategory->setDataSource(&data.LogSource);
    DBCategory->setDataField("Category");
    DBCategory->setListSource(&data.CatSource);
    for (DBNumericEdit* const amount : {DBEispraxi, DBPliromi})
        amount->setDecimals(0);
    DBEispraxi->setDataSource(&data.LogSource);
    DBEispraxi->setDataField("Eispraxi");
    DBPliromi->setDataSource(&data.LogSource);
    DBPliromi->setDataField("Pliromi");
    DBPerigrafi->setDataSource(&data.LogSource);
    DBPerigrafi->setDataField("Perigrafi");

    DBNavigator1->setDataSource(&data.LogSource);
    DBNavigator1->setFlat(true);
    DBNavigator1->setShowHints(true);
    using Button = DBNavigator::Button;
    DBNavigator1->setVisibleButtons(
        {Button::First, Button::Prior, Button::Next, Button::Last, Button::Post, Button::Cancel});

    btnNew->setFocusPolicy(Qt::ClickFocus);
    btnNew->setStatusTip(QStringLiteral("Δημιουργία νέας εγγραφής"));
    connect(btnNew, &QPushButton::clicked, this, &KinisiForm::btnNewClick);

    layOut();

    setTabOrder(DBDate, DBCategory);
    setTabOrder(DBCategory, DBEispraxi);
    setTabOrder(DBEispraxi, DBPliromi);
    setTabOrder(DBPliromi, DBPerigrafi);
    setTabOrder(DBPerigrafi, DBNavigator1);

    connect(&DBDate->binding(), &LineEditBinding::entered, this, &KinisiForm::DBDateEnter);
    connect(DBCategory, &DBLookupListBox::entered, this, &KinisiForm::DBCategoryEnter);
    connect(&DBEispraxi->binding(), &LineEditBinding::entered, this, &KinisiForm::DBEispraxiEnter);
    connect(&DBPliromi->binding(), &LineEditBinding::entered, this, &KinisiForm::DBPliromiEnter);
    connect(&DBPerigrafi->binding(), &LineEditBinding::entered, this,
            &KinisiForm::DBPerigrafiEnter);
    connect(&DBPerigrafi->binding(), &LineEditBinding::exited, this, &KinisiForm::DBPerigrafiExit);
    for (QWidget* const field :
         std::initializer_list<QWidget*>{DBDate, DBCategory, DBEispraxi, DBPliromi, DBPerigrafi})
        field->installEventFilter(this);
    ResetFieldLabels();
}

// The design's 448 x 331: captions in a column, the fields beside them, the category list
// taking what the window grows by, the navigator and the new button at the bottom.
void KinisiForm::layOut()
{
    const DesignMetrics d;
    DBDate->setFixedSize(d.size(121, 18));
    DBCategory->setMinimumWidth(d(227));
    DBCategory->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    for (DBNumericEdit* const amount : {DBEispraxi, DBPliromi})
        amount->setFixedSize(d.size(amount == DBEispraxi ? 107 : 106, 19));
    DBPerigrafi->setMinimumWidth(d(311));
    DBPerigrafi->setFixedHeight(d(25));
    DBNavigator1->setMinimumWidth(d(228));
    DBNavigator1->setFixedHeight(d(29));
    btnNew->setFixedSize(d.size(121, 29));
    lblPliromi->setMinimumWidth(d(71));
    for (QLabel* const caption : {lblDate, lblCategory, lblEispraxi, lblPliromi, lblPerigrafi})
        caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblCategory->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* const grid = new QGridLayout(this);
    grid->setContentsMargins(d.margins(20, 9, 38, 4));
    grid->setSpacing(0);
    grid->setColumnMinimumWidth(0, d(78));
    grid->setColumnStretch(1, 1);
    grid->addWidget(lblDate, 0, 0);
    grid->addLayout(row({DBDate}, 0), 0, 1, Qt::AlignLeft);
    grid->setRowMinimumHeight(1, d(8));
    grid->addWidget(lblCategory, 2, 0);
    grid->addLayout(row({DBCategory}, d(85)), 2, 1);
    grid->setRowStretch(2, 1);
    grid->setRowMinimumHeight(3, d(19));
    grid->addWidget(lblEispraxi, 4, 0);
    auto* const amounts = row({DBEispraxi}, d(27));
    amounts->addWidget(lblPliromi);
    amounts->addWidget(DBPliromi);
    amounts->addStretch();
    grid->addLayout(amounts, 4, 1);
    grid->setRowMinimumHeight(5, d(9));
    grid->addWidget(lblPerigrafi, 6, 0);
    grid->addLayout(row({DBPerigrafi}, d(1)), 6, 1);
    grid->setRowMinimumHeight(7, d(7));
    auto* const bottom = row({DBNavigator1}, d(41));
    bottom->addWidget(btnNew);
    grid->addLayout(bottom, 8, 0, 1, 2);
}

void KinisiForm::btnNewClick()
{
    MemTable& log = data_.LogTable;
    try {
        // A pending movement is posted first when it has changes; if that is refused,
        // no new movement starts.
        log.append();
        log.setFieldValue("Date", Variant::fromDate(toDayNumber(QDate::currentDate())));
    } catch (const std::exception& error) {
        db::reportError(error);
        return;
    }
    DBCategory->setFocus(Qt::OtherFocusReason);
}

void KinisiForm::ResetFieldLabels()
{
    for (QLabel* const label : {lblDate, lblCategory, lblEispraxi, lblPliromi, lblPerigrafi}) {
        QFont font = label->font();
        font.setBold(false);
        font.setUnderline(false);
        font.setItalic(true);
        label->setFont(font);
    }
}

void KinisiForm::markFocused(QLabel* label)
{
    ResetFieldLabels();
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    if (QLayout* const anchors = layout())
        anchors->invalidate(); // a bold caption is wider
}

void KinisiForm::DBDateEnter()
{
    markFocused(lblDate);
}
void KinisiForm::DBCategoryEnter()
{
    markFocused(lblCategory);
}
void KinisiForm::DBEispraxiEnter()
{
    markFocused(lblEispraxi);
}
void KinisiForm::DBPliromiEnter()
{
    markFocused(lblPliromi);
}
void KinisiForm::DBPerigrafiEnter()
{
    markFocused(lblPerigrafi);
}

bool KinisiForm::DBDateKeyPress(const QKeyEvent& key)
{
    return moveOnEnter(key, DBCategory);
}
bool KinisiForm::DBCategoryKeyPress(const QKeyEvent& key)
{
    return moveOnEnter(key, DBEispraxi);
}
bool KinisiForm::DBEispraxiKeyPress(const QKeyEvent& key)
{
    return moveOnEnter(key, DBPliromi);
}
bool KinisiForm::DBPliromiKeyPress(const QKeyEvent& key)
{
    return moveOnEnter(key, DBPerigrafi);
}
bool KinisiForm::DBPerigrafiKeyPress(const QKeyEvent& key)
{
    return moveOnEnter(key, DBDate);
}

bool KinisiForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (watched == DBDate)
        return DBDateKeyPress(key);
    if (watched == DBCategory)
        return DBCategoryKeyPress(key);
    if (watched == DBEispraxi)
        return DBEispraxiKeyPress(key);
    if (watched == DBPliromi)
        return DBPliromiKeyPress(key);
    if (watched == DBPerigrafi)
        return DBPerigrafiKeyPress(key);
    return QWidget::eventFilter(watched, event);
}

void KinisiForm::DBPerigrafiExit()
{
    MemTable& log = data_.LogTable;
    if (log.state() != DataSetState::Edit && log.state() != DataSetState::Insert)
        return;
    if (log.fieldByName("Category").isNull() || log.fieldByName("Date").isNull())
        return;
    if (log.fieldByName("Eispraxi").isNull() && log.fieldByName("Pliromi").isNull())
        return;
    const MessageRequest question{
        QStringLiteral("Ταμίσκες"), QStringLiteral("Να καταχωρηθεί η εγγραφή;"),
        QMessageBox::Question, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok};
    if (DialogService::instance().message(question) != QMessageBox::Ok)
        return;
    try {
        log.post();
    } catch (const std::exception& error) {
        db::reportError(error);
    }
}

} // namespace tamisko
