#include "platform/db/DBLookupListBox.h"

#include "platform/db/DbMessages.h"
#include "platform/db/FocusChange.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

namespace tamisko {

DBLookupListBox::DBLookupListBox(QWidget* parent)
    : QListView(parent), listLink_([this](DataEvent event, const Field*) { listChanged(event); }),
      model_(new LookupListModel(this))
{
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    link_.setFollowAllFields(true);
    link_.onDataChange = [this] {
        refresh();
    };
    link_.onActiveChange = [this] {
        refresh();
    };
}

DBLookupListBox::~DBLookupListBox()
{
    // The list link must let go of the source before a source of our own goes away.
    listLink_.setDataSource(nullptr);
}

void DBLookupListBox::setListSource(DataSource* source)
{
    listSource_ = source;
    lookup_ = {};
    refresh();
}

void DBLookupListBox::setCollation(std::shared_ptr<const Collation> collation)
{
    collation_ = collation ? std::move(collation) : greekCollation();
}

DBLookupListBox::Lookup DBLookupListBox::resolveLookup() const
{
    Lookup lookup;
    const Field* const bound = link_.field();
    if (!bound || bound->kind() != FieldKind::Lookup || !bound->def().lookupDataSet)
        return lookup;
    MemTable* const table = bound->def().lookupDataSet;
    const Field* const key = table->findField(bound->def().lookupKeyFields);
    const Field* const result = table->findField(bound->def().lookupResultField);
    if (!key || !result || !link_.table()->findField(bound->def().keyFields))
        return lookup;
    lookup.table = table;
    lookup.keyField = key->index();
    lookup.resultField = result->index();
    lookup.dataKeyField = bound->def().keyFields;
    return lookup;
}

void DBLookupListBox::listChanged(DataEvent event)
{
    if (event == DataEvent::Scrolled || event == DataEvent::UpdateRecord)
        return;
    model_->setTable(listLink_.active() ? lookup_.table : nullptr, lookup_.resultField,
                     lookup_.keyField);
    refresh();
}

void DBLookupListBox::refresh()
{
    const Lookup lookup = resolveLookup();
    if (lookup.table && lookup.table != lookup_.table) {
        // Follow the lookup table through the given source, or one of our own.
        lookup_ = lookup;
        DataSource* source = listSource_;
        if (!source || source->dataSet() != lookup.table) {
            ownListSource_ = std::make_unique<DataSource>(lookup.table);
            source = ownListSource_.get();
        }
        // Either way the list reloads and comes back here.
        if (listLink_.dataSource() != source)
            listLink_.setDataSource(source);
        else
            listChanged(DataEvent::DataSetChanged);
        return;
    }
    if (lookup.table)
        lookup_ = lookup;
    if (choosing_)
        return;
    int row = -1;
    if (lookup.table && link_.active()) {
        const Field* const key = link_.table()->findField(lookup.dataKeyField);
        row = key ? model_->rowOfKey(key->value()) : -1;
    }
    syncing_ = true;
    if (row >= 0) {
        setCurrentIndex(model_->index(row));
        scrollTo(model_->index(row));
    } else {
        setCurrentIndex(QModelIndex());
        clearSelection();
    }
    syncing_ = false;
}

int DBLookupListBox::selectedRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void DBLookupListBox::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QListView::currentChanged(current, previous);
    if (!syncing_ && !choosing_ && current.isValid())
        choose(current.row());
}

void DBLookupListBox::choose(int row)
{
    choosing_ = true;
    bool chosen = false;
    if (link_.edit()) {
        try {
            if (Field* const key = link_.table()->findField(lookup_.dataKeyField)) {
                key->setValue(model_->keyAt(row));
                chosen = true;
            }
        } catch (const std::exception& error) {
            db::reportError(error);
        }
    }
    choosing_ = false;
    if (!chosen)
        QApplication::beep();
    refresh();
}

void DBLookupListBox::keyboardSearch(const QString& search)
{
    if (!searchTimer_.isValid() || searchTimer_.elapsed() > QApplication::keyboardInputInterval())
        searchText_.clear();
    searchTimer_.start();
    const QString candidate = searchText_ + search;
    const int row = model_->rowWithPrefix(candidate, *collation_);
    if (row < 0) {
        QApplication::beep();
        return;
    }
    searchText_ = candidate;
    setCurrentIndex(model_->index(row));
}

void DBLookupListBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Backspace && !searchText_.isEmpty()) {
        searchText_.chop(1);
        searchTimer_.start();
        return;
    }
    const QString text = event->text();
    if (text.isEmpty() || !text.front().isPrint())
        searchText_.clear(); // moving by keys starts a new search
    QListView::keyPressEvent(event);
}

void DBLookupListBox::focusInEvent(QFocusEvent* event)
{
    QListView::focusInEvent(event);
    if (!inside_) {
        inside_ = true;
        emit entered();
    }
}

void DBLookupListBox::focusOutEvent(QFocusEvent* event)
{
    QListView::focusOutEvent(event);
    if (!inside_ || !leavesControl(*this, *event))
        return;
    inside_ = false;
    searchText_.clear();
    emit exited();
}

} // namespace tamisko
