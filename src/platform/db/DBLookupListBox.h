#pragma once

#include "data/RegionalSettings.h"
#include "platform/db/CallbackDataLink.h"
#include "platform/db/FieldDataLink.h"
#include "platform/db/LookupListModel.h"

#include <memory>
#include <QElapsedTimer>
#include <QListView>

namespace tamisko {

// Lists the rows of a lookup table in that table's order and stores the key of the
// chosen row in the current record. Bound to a lookup field (such as a movement's
// category name, looked up by its number), it lists the field's lookup table and
// writes the field's key field. Typing letters selects the first row that begins
// with them, letter case aside.
class DBLookupListBox final : public QListView
{
    Q_OBJECT

public:
    explicit DBLookupListBox(QWidget* parent = nullptr);
    ~DBLookupListBox() override;

    void setDataSource(DataSource* source) { link_.setDataSource(source); }
    DataSource* dataSource() const { return link_.dataSource(); }
    void setDataField(const std::string& name) { link_.setFieldName(name); }
    Field* field() const { return link_.field(); }
    FieldDataLink& dataLink() { return link_; }

    // The source whose table the list shows; it must be a source of the field's lookup
    // table. Without one the list follows that table through a source of its own.
    void setListSource(DataSource* source);
    void setCollation(std::shared_ptr<const Collation> collation);

    LookupListModel* listModel() const { return model_; }
    // The list row holding the current record's key; -1 when none.
    int selectedRow() const;

signals:
    void entered();
    void exited();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyboardSearch(const QString& search) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    struct Lookup final
    {
        MemTable* table = nullptr;
        int keyField = -1;        // in the lookup table
        int resultField = -1;     // in the lookup table
        std::string dataKeyField; // in the bound table
    };
    Lookup resolveLookup() const;
    void listChanged(DataEvent event);
    void refresh();
    void choose(int row);

    FieldDataLink link_;
    CallbackDataLink listLink_;
    std::unique_ptr<DataSource> ownListSource_;
    DataSource* listSource_ = nullptr;
    LookupListModel* model_;
    Lookup lookup_;
    std::shared_ptr<const Collation> collation_ = greekCollation();
    QString searchText_;
    QElapsedTimer searchTimer_;
    bool syncing_ = false;
    bool choosing_ = false;
    bool inside_ = false;
};

} // namespace tamisko
