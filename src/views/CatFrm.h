#pragma once

#include "platform/Child.h"
#include "platform/db/DBGrid.h"
#include "platform/db/DBNavigator.h"

#include <QPushButton>

namespace tamisko {

class DataMod;
class DocumentNotifier;

// The categories window: lists the categories by name and is the one place where they
// are added, renamed or merged. Renaming to the name of another category merges the
// two: the movements move to the other category and the renamed one goes.
class CatForm final : public ChildForm
{
    Q_OBJECT

public:
    static constexpr int kHelpContext = 60;
    static constexpr int kNameLength = 30; // the size of a category's name

    // A window of its own.
    explicit CatForm(DataMod& data, QWidget* parent = nullptr);
    // Embedded in a host's client area.
    CatForm(DataMod& data, QWidget* parent, QWidget* clientArea);

    // Told when a category is deleted, which the table does not report as a change.
    void setDocumentNotifier(DocumentNotifier* notifier) { notifier_ = notifier; }

    // The controls, owned by the window.
    DBGrid* const DBGrid1 = new DBGrid(this);
    // Shares its class's name, hence the qualified type.
    tamisko::DBNavigator* const DBNavigator = new tamisko::DBNavigator(this);
    QPushButton* const btnNew = new QPushButton(QStringLiteral("Νέα"), this);
    QPushButton* const btnChange = new QPushButton(QStringLiteral("Αλλαγή"), this);

    // Asks for a name and adds a category with it, unless one has it already.
    void btnNewClick();
    // Asks for a new name of the current category: renames it, or merges it into the
    // category that already has that name.
    void btnChangeClick();

private:
    void setUp();
    void rename(const std::string& oldName, const std::string& newName);
    void merge(int32_t target);
    // The grid may delete only a category that no movement uses.
    bool mayDelete(MemTable& categories);
    void categoryDeleted();

    DataMod& data_;
    DocumentNotifier* notifier_ = nullptr;
};

} // namespace tamisko
