#pragma once

#include <QDate>
#include <QFrame>

class QCalendarWidget;

namespace tamisko {

// The drop-down calendar of a date edit: a click or Enter picks a day, Esc closes it.
class CalendarPopup final : public QFrame
{
    Q_OBJECT

public:
    explicit CalendarPopup(QWidget* parent = nullptr);

    void setSelectedDate(const QDate& date);
    QCalendarWidget* calendar() const { return calendar_; }

signals:
    void datePicked(const QDate& date);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QCalendarWidget* calendar_;
};

} // namespace tamisko
