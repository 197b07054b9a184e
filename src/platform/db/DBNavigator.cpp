#include "platform/db/DBNavigator.h"

#include "platform/db/DbMessages.h"
#include "platform/db/Glyphs.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>

namespace tamisko {
namespace {

using Button = DBNavigator::Button;
using glyphs::Glyph;

constexpr std::array<Glyph, DBNavigator::kButtonCount> kGlyphs = {
    Glyph::First,  Glyph::Prior, Glyph::Next, Glyph::Last,   Glyph::Insert,
    Glyph::Delete, Glyph::Edit,  Glyph::Post, Glyph::Cancel, Glyph::Refresh,
};

int indexOf(Button button)
{
    return static_cast<int>(button);
}

// A navigator button; the navigator holds the focus for all of them, and the one that
// Space presses draws the style's focus frame while it does.
class NavigatorButton final : public QToolButton
{
public:
    NavigatorButton(DBNavigator& navigator, Button which)
        : QToolButton(&navigator), navigator_(navigator), which_(which)
    {}

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QToolButton::paintEvent(event);
        if (!navigator_.hasFocus() || navigator_.keyboardButton() != which_)
            return;
        QStylePainter painter(this);
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        frame.rect = rect().adjusted(2, 2, -2, -2);
        frame.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
        frame.backgroundColor = palette().color(QPalette::Button);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
    }

private:
    const DBNavigator& navigator_;
    const Button which_;
};

} // namespace

QString DBNavigator::hint(Button which)
{
    static const std::array<QString, kButtonCount> hints = {
        QStringLiteral("Πρώτη εγγραφή"),
        QStringLiteral("Προηγούμενη εγγραφή"),
        QStringLiteral("Επόμενη εγγραφή"),
        QStringLiteral("Τελευταία εγγραφή"),
        QStringLiteral("Εισαγωγή εγγραφής"),
        QStringLiteral("Διαγραφή εγγραφής"),
        QStringLiteral("Επεξεργασία εγγραφής"),
        QStringLiteral("Επικύρωση "),
        QStringLiteral("Ακύρωση"),
        QStringLiteral("Ανανέωση"),
    };
    return hints[static_cast<size_t>(indexOf(which))];
}

DBNavigator::DBNavigator(QWidget* parent)
    : QWidget(parent), link_([this](DataEvent event, const Field*) {
          if (event != DataEvent::UpdateRecord)
              updateButtons();
      })
{
    setFocusPolicy(Qt::StrongFocus);
    auto* const layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < kButtonCount; ++i) {
        const auto which = static_cast<Button>(i);
        auto* const button = new NavigatorButton(*this, which);
        button->setIcon(glyphs::icon(kGlyphs[static_cast<size_t>(i)]));
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setToolTip(hint(which));
        connect(button, &QToolButton::clicked, this, [this, which] { activate(which); });
        layout->addWidget(button);
        buttons_[static_cast<size_t>(i)] = button;
    }
    updateButtons();
}

void DBNavigator::setVisibleButtons(const QList<Button>& buttons)
{
    for (int i = 0; i < kButtonCount; ++i)
        buttons_[static_cast<size_t>(i)]->setVisible(buttons.contains(static_cast<Button>(i)));
}

void DBNavigator::setFlat(bool flat)
{
    for (QToolButton* const button : buttons_)
        button->setAutoRaise(flat);
}

void DBNavigator::setShowHints(bool show)
{
    for (int i = 0; i < kButtonCount; ++i)
        buttons_[static_cast<size_t>(i)]->setToolTip(show ? hint(static_cast<Button>(i))
                                                          : QString());
}

QToolButton* DBNavigator::button(Button which) const
{
    return buttons_[static_cast<size_t>(indexOf(which))];
}

void DBNavigator::activate(Button which)
{
    if (!link_.active())
        return;
    MemTable& table = *link_.table();
    try {
        switch (which) {
        case Button::First:
            table.first();
            break;
        case Button::Prior:
            table.prior();
            break;
        case Button::Next:
            table.next();
            break;
        case Button::Last:
            table.last();
            break;
        case Button::Insert:
            table.insert();
            break;
        case Button::Delete:
            if (!table.isEmpty() && (!confirmDelete_ || db::confirmDelete()))
                table.deleteRecord();
            break;
        case Button::Edit:
            table.edit();
            break;
        case Button::Post:
            table.post();
            break;
        case Button::Cancel:
            table.cancel();
            break;
        case Button::Refresh:
            if (table.state() == DataSetState::Browse && dataSource())
                dataSource()->notify(DataEvent::DataSetChanged);
            break;
        }
    } catch (const std::exception& error) {
        db::reportError(error);
    }
    updateButtons();
    emit clicked(which);
}

bool DBNavigator::usable(int index) const
{
    const QToolButton* const candidate = buttons_[static_cast<size_t>(index)];
    return candidate->isVisibleTo(this) && candidate->isEnabled();
}

void DBNavigator::moveKeyboardButton(int index, int step)
{
    for (; index >= 0 && index < kButtonCount; index += step) {
        if (usable(index)) {
            keyboardButton_ = static_cast<Button>(index);
            break;
        }
    }
    for (QToolButton* const each : buttons_)
        each->update();
}

void DBNavigator::keyPressEvent(QKeyEvent* event)
{
    const int current = indexOf(keyboardButton_);
    switch (event->key()) {
    case Qt::Key_Left:
        moveKeyboardButton(current - 1, -1);
        break;
    case Qt::Key_Right:
        moveKeyboardButton(current + 1, +1);
        break;
    case Qt::Key_Home:
        moveKeyboardButton(0, +1);
        break;
    case Qt::Key_End:
        moveKeyboardButton(kButtonCount - 1, -1);
        break;
    case Qt::Key_Space:
        if (usable(current))
            activate(keyboardButton_);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void DBNavigator::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    const int current = indexOf(keyboardButton_);
    if (usable(current))
        moveKeyboardButton(current, +1); // repaints
    else
        moveKeyboardButton(0, +1);
}

void DBNavigator::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    for (QToolButton* const each : buttons_)
        each->update();
}

void DBNavigator::updateButtons()
{
    const bool active = link_.active();
    const MemTable* const table = link_.table();
    const DataSetState state = active ? table->state() : DataSetState::Inactive;
    const bool editing = state == DataSetState::Edit || state == DataSetState::Insert;
    const bool empty = !active || table->isEmpty();
    const int row = active ? table->currentRow() : -1;
    const int rows = active ? table->rowCount() : 0;
    // An inserted record stands apart from the rows: every move leaves it.
    const bool canBack = active && !empty && (state == DataSetState::Insert || row > 0);
    const bool canForward =
        active && !empty && (state == DataSetState::Insert || (row >= 0 && row < rows - 1));
    const auto enable = [this](Button which, bool on) {
        button(which)->setEnabled(on);
    };
    enable(Button::First, canBack);
    enable(Button::Prior, canBack);
    enable(Button::Next, canForward);
    enable(Button::Last, canForward);
    enable(Button::Insert, active);
    enable(Button::Delete, active && !empty);
    enable(Button::Edit, active && !editing && !empty);
    enable(Button::Post, active && editing);
    enable(Button::Cancel, active && editing);
    enable(Button::Refresh, active);
}

} // namespace tamisko
