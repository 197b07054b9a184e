#include "data/DataMdl.h"

#include "data/ByteStream.h"
#include "data/Cp1253.h"
#include "data/DocumentFile.h"
#include "data/Errors.h"
#include "data/RecordStream.h"
#include "data/TableUtils.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace tamisko {
namespace {

std::string greek(std::string_view utf8)
{
    return cp1253::fromUtf8OrThrow(utf8);
}

} // namespace

const std::vector<std::string>& DefaultCategories()
{
    static const std::vector<std::string> names = [] {
        const char* const utf8[] = {
            "αναψυκτικά",
            "βιβλία",
            "γραφική ύλη",
            "εφημερίδες",
            "θέρμανση",
            "καπνός",
            "κινηματογράφος",
            "διασκέδαση",
            "προσωπικά είδη",
            "τρόφιμα",
            "φαγητό έτοιμο",
            "φάρμακα",
            "γιατρός",
            "ύδρευση",
            "ΔΕΗ",
            "ΟΤΕ",
            "κοινόχρηστα",
            "ενοίκιο",
            "υπολογιστής",
            "μεταφορικά έξοδα",
            "ρούχα",
            "διαρκή αγαθά",
            "άλλα έξοδα",
            "άλλα έσοδα",
            "λογ. τράπεζας",
            "δάνειo" /* Latin o */,
            "δόσεις δανείων",
            "μισθός",
        };
        std::vector<std::string> result;
        std::transform(std::begin(utf8), std::end(utf8), std::back_inserter(result), greek);
        return result;
    }();
    return names;
}

void DefineCatTable(MemTable& table)
{
    const std::string label = greek("Κατηγορία");
    table.addField({.name = "CatNum",
                    .type = FieldType::AutoInc,
                    .displayLabel = label,
                    .displayWidth = 6,
                    .required = true,
                    .visible = false});
    table.addField({.name = "Category",
                    .type = FieldType::String,
                    .size = 30,
                    .displayLabel = label,
                    .displayWidth = 17,
                    .required = true});
    table.setSortFields("Category");
    table.setSortOptions(0);
    table.setAutoSort(true);
    table.setDoBinaryLocate(true);
    table.open();
}

void DefineLogTable(MemTable& table, MemTable& categories)
{
    table.addField({.name = "Date",
                    .type = FieldType::Date,
                    .displayLabel = greek("Ημέρα"),
                    .required = true});
    table.addField({.name = "CatNum",
                    .type = FieldType::Integer,
                    .displayLabel = greek("Κατηγορία"),
                    .required = true,
                    .visible = false});
    table.addField({.name = "Category",
                    .type = FieldType::String,
                    .kind = FieldKind::Lookup,
                    .size = 30,
                    .displayLabel = greek("Κατηγορία"),
                    .displayWidth = 30,
                    .keyFields = "CatNum",
                    .lookupDataSet = &categories,
                    .lookupKeyFields = "CatNum",
                    .lookupResultField = "Category"});
    table.addField({.name = "Eispraxi",
                    .type = FieldType::Currency,
                    .displayLabel = greek("Είσπραξη"),
                    .displayWidth = 13});
    table.addField({.name = "Pliromi",
                    .type = FieldType::Currency,
                    .displayLabel = greek("Πληρωμή"),
                    .displayWidth = 13});
    table.addField({.name = "Perigrafi",
                    .type = FieldType::String,
                    .size = 200,
                    .displayLabel = greek("Περιγραφή"),
                    .displayWidth = 50});
    table.setAutoSort(false);
    table.setDoBinaryLocate(true);
    table.open();
}

const std::vector<std::string>& CatFieldNames()
{
    static const std::vector<std::string> names{"CatNum", "Category"};
    return names;
}

const std::vector<std::string>& LogFieldNames()
{
    static const std::vector<std::string> names{"Date", "CatNum", "Eispraxi", "Pliromi",
                                                "Perigrafi"};
    return names;
}

void WriteDocumentPayload(ByteStream& stream, MemTable& categories, MemTable& movements)
{
    WriteTableRecords(stream, categories, CatFieldNames());
    WriteTableRecords(stream, movements, LogFieldNames());
}

void ReadDocumentPayload(ByteStream& stream, MemTable& categories, MemTable& movements)
{
    stream.setPosition(0);
    ReadTableRecords(stream, categories, CatFieldNames());
    ReadTableRecords(stream, movements, LogFieldNames());
    if (const int64_t rest = stream.size() - stream.position(); rest > 0)
        throw Error("The document holds " + std::to_string(rest) +
                    (rest == 1 ? " byte" : " bytes") + " after its movements");
}

DataMod::DataMod()
{
    DefineCatTable(CatTable);
    DefineLogTable(LogTable, CatTable);
    CatTable.setAfterPost([this](MemTable& table) { CatTableAfterPost(table); });
    LogTable.setAfterPost([this](MemTable& table) { LogTableAfterPost(table); });
    LogTable.setAfterDelete([this](MemTable& table) { LogTableAfterPost(table); });
}

DataMod::~DataMod()
{
    // The handlers refer to this module; the tables must not call them while going.
    CatTable.setAfterPost({});
    LogTable.setAfterPost({});
    LogTable.setAfterDelete({});
}

void DataMod::setNotifier(DocumentNotifier* notifier)
{
    notifier_ = notifier;
}

void DataMod::setPasswordPrompt(std::function<bool(std::string&)> prompt)
{
    passwordPrompt_ = std::move(prompt);
}

void DataMod::NewDocument()
{
    // The new book is built aside and taken over only when it is whole: a failure leaves
    // the open document as it was.
    MemTable categories("CatTable");
    MemTable movements("LogTable");
    DefineCatTable(categories);
    DefineLogTable(movements, categories);
    // The new book goes on with the category numbers of the one it replaces, as emptying
    // the tables would; when those have run out it starts afresh, since nothing in it
    // refers to the old numbers.
    const int64_t carried = CatTable.autoIncrementMark();
    const auto defaults = static_cast<int64_t>(DefaultCategories().size());
    if (carried <= int64_t{INT32_MAX} - defaults)
        categories.raiseAutoIncrementMark(carried);
    Field& category = categories.fieldByName("Category");
    for (const std::string& name : DefaultCategories()) {
        categories.append();
        category.setAsString(name);
        categories.post();
    }
    categories.sortByFields("Category", 0);

    CancelPending({&CatTable, &LogTable});
    CatTable.swapContents(categories);
    LogTable.swapContents(movements);
    DocumentPassword.clear();
}

void DataMod::OpenDocument(const std::string& fileName)
{
    const std::string previousPassword = DocumentPassword;
    try {
        DocumentPassword.clear();
        std::optional<ByteStream> payload = LoadProtectedStream(
            fileName, &Cipher, [this](std::string& password) { GetOpenPassword(password); });
        if (!payload)
            throw FileSystemError("Cannot open file \"" + fileName + "\": the file does not exist");

        // Fresh tables, without the module's handlers: nothing is announced until the
        // whole document has been read.
        MemTable categories("CatTable");
        MemTable movements("LogTable");
        DefineCatTable(categories);
        DefineLogTable(movements, categories);
        ReadDocumentPayload(*payload, categories, movements);
        categories.sortByFields("Category", 0);

        CatTable.swapContents(categories);
        LogTable.swapContents(movements);
    } catch (...) {
        DocumentPassword = previousPassword;
        throw;
    }
    RecomputeSummary();
}

void DataMod::SaveDocument(const std::string& fileName)
{
    ByteStream stream;
    const ViewsSuspended suspended({&LogSource, &CatSource});
    WriteDocumentPayload(stream, CatTable, LogTable);
    SaveProtectedStream(stream, DocumentPassword, fileName, &Cipher);
}

void DataMod::RecomputeSummary()
{
    if (!LogSource.enabled())
        return;
    CancelPending({&LogTable, &CatTable});
    Balance = 0;
    if (!LogTable.isEmpty()) {
        const int recNo = LogTable.recNo();
        {
            const SourceDisabled scanning(LogSource);
            const Field& date = LogTable.fieldByName("Date");
            const Field& receipt = LogTable.fieldByName("Eispraxi");
            const Field& payment = LogTable.fieldByName("Pliromi");
            if (recNo >= 1) {
                // The cursor goes back to recNo afterwards: read the records without
                // walking it over every one of them.
                const auto number = [](const RecordView& record, const Field& field) {
                    return record.isNull(field.index()) ? 0.0 : record.doubleAt(field.index());
                };
                bool first = true;
                LogTable.forEachRecord([&](const RecordView& record) {
                    Balance = Balance + static_cast<long double>(number(record, receipt)) -
                              static_cast<long double>(number(record, payment));
                    const double day = number(record, date);
                    if (first)
                        FirstDate = LastDate = day;
                    first = false;
                    FirstDate = std::min(FirstDate, day);
                    LastDate = std::max(LastDate, day);
                });
            } else {
                LogTable.first();
                FirstDate = LastDate = date.asFloat();
                for (; !LogTable.eof(); LogTable.next()) {
                    Balance = Balance + static_cast<long double>(receipt.asFloat()) -
                              static_cast<long double>(payment.asFloat());
                    const double day = date.asFloat();
                    FirstDate = std::min(FirstDate, day);
                    LastDate = std::max(LastDate, day);
                }
            }
        }
        LogTable.setRecNo(recNo);
    }
    if (notifier_)
        notifier_->postBalanceChanged();
}

void DataMod::GetOpenPassword(std::string& password)
{
    password.clear();
    std::string typed = password;
    if (passwordPrompt_) {
        // Cancel is the user's choice not to open the file: reading it under the empty
        // password would only report it as damaged.
        if (!passwordPrompt_(typed))
            throw SilentAbort();
        password = typed;
    }
    DocumentPassword = password;
}

void DataMod::BulkChange(const std::function<void()>& work, Amounts amounts)
{
    if (bulkChange_)
        throw Error("Bulk changes do not nest");
    struct Quiet
    {
        bool& flag;
        explicit Quiet(bool& f) : flag(f) { flag = true; }
        ~Quiet() { flag = false; }
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;
    };
    try {
        {
            const ViewsSuspended suspended({&LogSource, &CatSource});
            const Quiet quiet(bulkChange_);
            work();
        }
    } catch (...) {
        RecomputeSummary();
        throw;
    }
    if (notifier_)
        notifier_->sendDataModified();
    if (amounts == Amounts::Change)
        RecomputeSummary();
}

void DataMod::CatTableAfterPost(MemTable&)
{
    if (bulkChange_)
        return;
    if (notifier_)
        notifier_->sendDataModified();
}

void DataMod::LogTableAfterPost(MemTable&)
{
    if (bulkChange_)
        return;
    if (notifier_)
        notifier_->sendDataModified();
    RecomputeSummary();
}

} // namespace tamisko
