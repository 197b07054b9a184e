#include "platform/db/DateEdit.h"

#include "data/Format.h"
#include "platform/Dates.h"
#include "platform/db/CalendarPopup.h"
#include "platform/db/FieldText.h"

namespace tamisko {

DateEdit::DateEdit(QWidget* parent) : DropDownEdit(glyphs::Glyph::Calendar, parent) {}

std::optional<double> DateEdit::dayNumber() const
{
    return parseDate(text().trimmed().toStdString(), db::formatSettings().shortDateFormat);
}

void DateEdit::setDayNumber(std::optional<double> dayNumber)
{
    setText(dayNumber ? QString::fromLatin1(formatDate(*dayNumber, db::formatSettings()))
                      : QString());
}

void DateEdit::openDropDown()
{
    auto* const popup = new CalendarPopup(this);
    const auto day = dayNumber();
    popup->setSelectedDate(day ? toQDate(*day) : QDate::currentDate());
    connect(popup, &CalendarPopup::datePicked, this, [this](const QDate& date) {
        typeText(QString::fromLatin1(formatDate(toDayNumber(date), db::formatSettings())));
    });
    showPopup(popup);
}

} // namespace tamisko
