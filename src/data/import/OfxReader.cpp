// OFX and QFX statements, versions 1 (SGML) and 2 (XML), through libofx.
#include "data/DayNumber.h"
#include "data/import/ImportFile.h"
#include "data/import/RowCollector.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <libofx/libofx.h>
#include <unistd.h>

namespace tamisko::import {
namespace {

// libofx reads files only: the content goes into a temporary file for the parse.
class TemporaryFile
{
public:
    explicit TemporaryFile(std::string_view content)
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tamisko-import-XXXXXX").string();
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            throw ImportError("Δεν δημιουργείται προσωρινό αρχείο για την ανάγνωση του OFX.");
        path_ = pattern;
        size_t written = 0;
        while (written < content.size()) {
            const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
            if (n <= 0) {
                ::close(fd);
                std::filesystem::remove(path_);
                throw ImportError("Δεν γράφεται προσωρινό αρχείο για την ανάγνωση του OFX.");
            }
            written += static_cast<size_t>(n);
        }
        ::close(fd);
    }
    ~TemporaryFile()
    {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

class OfxContext
{
public:
    OfxContext() : context_(libofx_get_new_context()) {}
    ~OfxContext() { libofx_free_context(context_); }
    OfxContext(const OfxContext&) = delete;
    OfxContext& operator=(const OfxContext&) = delete;
    LibofxContextPtr get() const { return context_; }

private:
    LibofxContextPtr context_;
};

struct Transaction
{
    std::optional<double> date;
    std::optional<double> amount;
    std::string name;
    std::string memo;
};

int collectTransaction(const OfxTransactionData data, void* userData)
{
    auto& transactions = *static_cast<std::vector<Transaction>*>(userData);
    Transaction transaction;
    if (data.date_posted_valid) {
        const std::time_t posted = data.date_posted;
        std::tm local{};
        if (::localtime_r(&posted, &local)) {
            const days::CivilDate date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
            if (days::isValid(date))
                transaction.date = static_cast<double>(days::fromCivil(date));
        }
    }
    if (data.amount_valid)
        transaction.amount = data.amount;
    if (data.name_valid)
        transaction.name = data.name;
    if (data.memo_valid)
        transaction.memo = data.memo;
    transactions.push_back(std::move(transaction));
    return 0;
}

// Texts come from libofx as UTF-8 when it could convert them, else as the file's bytes.
std::string textOf(const std::string& bytes, Encoding fileEncoding)
{
    if (detectEncoding(bytes) == Encoding::Utf8)
        return bytes;
    return decodeToUtf8(bytes, fileEncoding == Encoding::Utf8 ? Encoding::Cp1253 : fileEncoding);
}

// The lines on which the transactions start, in order.
std::vector<int> transactionLines(std::string_view content)
{
    std::vector<int> lines;
    int line = 1;
    for (size_t i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\n') {
            ++line;
        } else if (c == '<' && i + 9 <= content.size()) {
            std::string tag(content.substr(i, 9));
            std::transform(tag.begin(), tag.end(), tag.begin(),
                           [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
            if (tag == "<STMTTRN>")
                lines.push_back(line);
        }
    }
    return lines;
}

void silenceLibofx()
{
    ofx_PARSER_msg = ofx_DEBUG_msg = ofx_DEBUG1_msg = ofx_DEBUG2_msg = ofx_DEBUG3_msg =
        ofx_DEBUG4_msg = ofx_DEBUG5_msg = ofx_STATUS_msg = ofx_INFO_msg = ofx_WARNING_msg =
            ofx_ERROR_msg = 0;
}

} // namespace

ImportFile readOfx(std::string_view content, const ReadSettings& settings)
{
    ImportFile file = fileOfRecords(settings, Format::Ofx);
    ReadSettings& used = file.settings;
    if (used.encoding == Encoding::Auto)
        used.encoding = detectEncoding(content);
    if (content.find('\0') != std::string_view::npos)
        throw ImportError(atLine(
            "Το αρχείο δεν είναι κείμενο",
            1 + static_cast<int>(std::count(
                    content.begin(),
                    content.begin() + static_cast<std::ptrdiff_t>(content.find('\0')), '\n'))));

    std::vector<Transaction> transactions;
    {
        silenceLibofx();
        const TemporaryFile temporary(content);
        const OfxContext context;
        ofx_set_transaction_cb(context.get(), collectTransaction, &transactions);
        libofx_proc_file(context.get(), temporary.path().c_str(), OFX);
    }
    if (transactions.empty())
        throw ImportError("Το αρχείο OFX δεν έχει καμία κίνηση.");

    const std::vector<int> lines = transactionLines(content);
    RowCollector rows(file);
    for (size_t i = 0; i < transactions.size(); ++i) {
        const Transaction& transaction = transactions[i];
        const int line = i < lines.size() ? lines[i] : 0;
        const std::string description = joinDescription(textOf(transaction.name, used.encoding),
                                                        textOf(transaction.memo, used.encoding));
        if (!transaction.date) {
            rows.addInvalid(line, "Λείπει ή δεν είναι έγκυρη η ημερομηνία (DTPOSTED).",
                            description);
        } else if (!transaction.amount) {
            rows.addInvalid(line, "Λείπει ή δεν είναι έγκυρο το ποσό (TRNAMT).", description);
        } else {
            rows.addSigned(line, *transaction.date, *transaction.amount, description, {});
        }
    }
    return file;
}

} // namespace tamisko::import
