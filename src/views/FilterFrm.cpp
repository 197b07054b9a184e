#include "views/FilterFrm.h"

#include "platform/db/DateEdit.h"
#include "platform/WindowPlacement.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace tamisko {
namespace {

// The dialog was laid out at 120 pixels per inch; like every dialog it keeps its
// proportions on screens of another density.
constexpr qreal kDesignDpi = 120;

} // namespace

FilterForm::FilterForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      Bevel1(new QFrame(this)),
      Label1(new QLabel(QStringLiteral("Εμφάνιση εγγραφών με ημερομηνία:"), this)),
      Label2(new QLabel(QStringLiteral("από"), this)),
      Label3(new QLabel(QStringLiteral("εώς"), this)), StartDate(new DateEdit(this)),
      EndDate(new DateEdit(this)), OKBtn(new QPushButton(QStringLiteral("OK"), this)),
      CancelBtn(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("FilterForm"));
    setWindowTitle(QStringLiteral("Ταμίσκες"));
    setModal(true);
    QFont font(QStringLiteral("MS Sans Serif"), 8); // the program's dialog font
    font.setStyleHint(QFont::SansSerif);
    setFont(font);

    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject); // Esc rejects too

    const qreal scale = logicalDpiX() / kDesignDpi;
    const auto place = [scale](QWidget* widget, int left, int top, int width, int height) {
        widget->setGeometry(qRound(left * scale), qRound(top * scale), qRound(width * scale),
                            qRound(height * scale));
    };
    const auto placeLabel = [scale](QLabel* label, int left, int top) {
        label->move(qRound(left * scale), qRound(top * scale));
        label->adjustSize();
    };
    place(Bevel1, 9, 10, 279, 135);
    placeLabel(Label1, 23, 24);
    placeLabel(Label2, 55, 72);
    placeLabel(Label3, 55, 106);
    place(StartDate, 111, 70, 121, 21);
    place(EndDate, 111, 104, 121, 21);
    place(OKBtn, 53, 158, 93, 30);
    place(CancelBtn, 152, 158, 92, 30);
    setFixedSize(qRound(297 * scale), qRound(198 * scale));

    setTabOrder(OKBtn, CancelBtn);
    setTabOrder(CancelBtn, StartDate);
    setTabOrder(StartDate, EndDate);
}

void FilterForm::setRange(double start, double end)
{
    StartDate->setDayNumber(start);
    EndDate->setDayNumber(end);
}

void FilterForm::takeRange()
{
    FilterStart = StartDate->dayNumber().value_or(0);
    FilterEnd = EndDate->dayNumber().value_or(0);
}

void FilterForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreOnScreen(*this);
    OKBtn->setFocus(Qt::OtherFocusReason);
}

} // namespace tamisko
