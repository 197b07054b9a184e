#pragma once

#include "data/FileCipher.h"
#include "data/MemTable.h"

#include <functional>
#include <string>
#include <vector>

namespace tamisko {

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

// The one place where a cash book lives in memory.
class DataMod
{
public:
    DataMod();
    ~DataMod();
    DataMod(const DataMod&) = delete;
    DataMod& operator=(const DataMod&) = delete;

    MemTable CatTable{"CatTable"};
    MemTable LogTable{"LogTable"};
    DataSource CatSource;
    DataSource LogSource;
    FileCipher Cipher;

    long double Balance = 0;
    double FirstDate = 0;
    double LastDate = 0;
    std::string DocumentPassword; // cp1253; empty: saved unprotected

    void setNotifier(DocumentNotifier* notifier);
    // The password prompt of GetOpenPassword: fills the password (cp1253), returns
    // false when the user cancelled. Without a prompt the empty password is used.
    void setPasswordPrompt(std::function<bool(std::string& password)> prompt);

    void NewDocument();
    void OpenDocument(const std::string& fileName);
    void SaveDocument(const std::string& fileName);
    void RecomputeSummary();
    void GetOpenPassword(std::string& password);

private:
    void CatTableAfterPost(MemTable& dataSet);
    void LogTableAfterPost(MemTable& dataSet);
    void defineTables();

    DocumentNotifier* notifier_ = nullptr;
    std::function<bool(std::string&)> passwordPrompt_;
};

} // namespace tamisko
