#include "views/KinisiFrm.h"

#include "data/DataMdl.h"
#include "platform/Dates.h"
#include "platform/db/AnchorLayout.h"
#include "platform/db/DbMessages.h"
#include "platform/DialogService.h"
#include "platform/Help.h"

#include <QDate>
#include <QKeyEvent>

namespace tamisko {
namespace {

constexpr Qt::Edges kLeftTop = Qt::LeftEdge | Qt::TopEdge;
constexpr Qt::Edges kLeftBottom = Qt::LeftEdge | Qt::BottomEdge;
constexpr Qt::Edges kAll = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge;
constexpr Qt::Edges kLeftRightBottom = Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge;
constexpr Qt::Edges kRightBottom = Qt::RightEdge | Qt::BottomEdge;

QFont arial(int pixelSize)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    return font;
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
    QFont font = arial(13);
    font.setItalic(true);
    label->setFont(font);
    label->setBuddy(field);
    return label;
}

void KinisiForm::setUp()
{
    setObjectName(QStringLiteral("KinisiForm"));
    setWindowTitle(QString());
    setFont(arial(12));
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

    auto* const layout = new AnchorLayout(this, QSize(448, 331));
    layout->addWidget(DBDate, QRect(98, 9, 121, 18), kLeftTop);
    layout->addWidget(DBCategory, QRect(98, 35, 227, 184), kAll);
    layout->addWidget(DBEispraxi, QRect(98, 238, 107, 19), kLeftBottom);
    layout->addWidget(DBPliromi, QRect(303, 238, 106, 19), kLeftBottom);
    layout->addWidget(DBPerigrafi, QRect(98, 266, 311, 25), kLeftRightBottom);
    layout->addWidget(DBNavigator1, QRect(20, 298, 228, 29), kLeftRightBottom);
    layout->addWidget(btnNew, QRect(289, 298, 121, 29), kRightBottom);
    layout->addWidget(lblDate, QPoint(20, 11), kLeftTop);
    layout->addWidget(lblCategory, QPoint(20, 34), kLeftTop);
    layout->addWidget(lblEispraxi, QPoint(20, 240), kLeftBottom);
    layout->addWidget(lblPliromi, QPoint(232, 239), kLeftBottom);
    layout->addWidget(lblPerigrafi, QPoint(20, 269), kLeftBottom);

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
