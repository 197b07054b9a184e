#include "platform/db/DBNavigator.h"

#include "platform/db/DbMessages.h"
#include "platform/db/Glyphs.h"

#include <QHBoxLayout>
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
        auto* const button = new QToolButton(this);
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
