#pragma once

#include "data/FileCipher.h"
#include "data/MemTable.h"

#include <functional>
#include <string>
#include <vector>

namespace tamisko {

class ByteStream;

// How the data module reaches the main window: the two window messages.
class DocumentNotifier
{
public:
    virtual ~DocumentNotifier() = default;
    // MSG_DATA_MODIFIED (1285): handled before the call returns.
    virtual void sendDataModified() = 0;
    // MSG_BALANCE_CHANGED (1280): queued, handled later by the event loop.
    virtual void postBalanceChanged() = 0;
};

inline constexpr int MSG_BALANCE_CHANGED = 1280;
inline constexpr int MSG_DATA_MODIFIED = 1285;

// The 28 categories of every new document (cp1253 bytes; note the Latin 'o' of "δάνειo").
const std::vector<std::string>& DefaultCategories();

// The fields of the two tables; texts, display labels included, are cp1253 bytes.
// DefineCatTable opens the category table with AutoSort on "Category".
void DefineCatTable(MemTable& table);
// The movements' lookup field Category is looked up in the given category table.
void DefineLogTable(MemTable& table, MemTable& categories);

// The document payload: the category block, then the movement block.
const std::vector<std::string>& CatFieldNames(); // CatNum, Category
const std::vector<std::string>& LogFieldNames(); // Date, CatNum, Eispraxi, Pliromi, Perigrafi
void WriteDocumentPayload(ByteStream& stream, MemTable& categories, MemTable& movements);
// Reads a whole payload from its start into the tables; bytes left over after the
// movement block are an Error like every other flaw of the record stream.
void ReadDocumentPayload(ByteStream& stream, MemTable& categories, MemTable& movements);

// The one place where a cash book lives in memory.
class DataMod final
{
public:
    DataMod();
    ~DataMod();
    DataMod(const DataMod&) = delete;
    DataMod& operator=(const DataMod&) = delete;

    MemTable CatTable{"CatTable"};
    MemTable LogTable{"LogTable"};
    DataSource CatSource{&CatTable};
    DataSource LogSource{&LogTable};
    FileCipher Cipher;

    long double Balance = 0;
    double FirstDate = 0;
    double LastDate = 0;
    std::string DocumentPassword; // cp1253; empty: saved unprotected

    void setNotifier(DocumentNotifier* notifier);
    // The password prompt of GetOpenPassword: fills the password (cp1253), returns
    // false when the user cancelled, which ends the open with SilentAbort. Without a
    // prompt the empty password is used.
    void setPasswordPrompt(std::function<bool(std::string& password)> prompt);

    // An empty cash book with the default categories and no password, numbered on from
    // the largest category number ever posted. Built aside: on a failure (no numbers
    // left) the open document stays exactly as it was and the Error goes on.
    void NewDocument();
    // Reads the whole document into fresh tables and takes it over only when it read
    // cleanly; on any failure the open document, its password and its summary stay
    // exactly as they were and the Error goes on to the caller.
    void OpenDocument(const std::string& fileName);
    // Writes both tables, encrypted when DocumentPassword is set; the previous file
    // survives any failure.
    void SaveDocument(const std::string& fileName);
    // Balance, FirstDate and LastDate from the whole movement table; nothing while
    // LogSource is disabled.
    void RecomputeSummary();
    void GetOpenPassword(std::string& password);
    // Bulk work on the tables (an import, taking one back, a category renamed): the views
    // suspended and the handlers of each post and delete quiet meanwhile; afterwards the
    // document is marked modified once, when the work returns, and the summary recomputed
    // once, unless the work leaves every movement's date and amounts as they were.
    enum class Amounts
    {
        Change,
        Stay,
    };
    void BulkChange(const std::function<void()>& work, Amounts amounts = Amounts::Change);

    void CatTableAfterPost(MemTable& dataSet);
    void LogTableAfterPost(MemTable& dataSet);

private:
    DocumentNotifier* notifier_ = nullptr;
    bool bulkChange_ = false;
    std::function<bool(std::string&)> passwordPrompt_;
};

} // namespace tamisko
