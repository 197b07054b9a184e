#include "platform/db/CalendarPopup.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace tamisko {

CalendarPopup::CalendarPopup(QWidget* parent)
    : QFrame(parent, Qt::Popup), calendar_(new QCalendarWidget(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    calendar_->setGridVisible(true);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar_->setLocale(locale());
    auto* const layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(calendar_);
    const auto pick = [this](const QDate& date) {
        emit datePicked(date);
        close();
    };
    connect(calendar_, &QCalendarWidget::clicked, this, pick);
    connect(calendar_, &QCalendarWidget::activated, this, pick);
}

void CalendarPopup::setSelectedDate(const QDate& date)
{
    calendar_->setSelectedDate(date);
    calendar_->setFocus();
}

void CalendarPopup::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QFrame::keyPressEvent(event);
}

} // namespace tamisko
