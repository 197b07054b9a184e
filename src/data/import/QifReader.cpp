// Quicken interchange files: records of one-letter fields ended by "^".
#include "data/import/ImportFile.h"
#include "data/import/RowCollector.h"

#include <algorithm>

namespace tamisko::import {
namespace {

struct Split
{
    std::string category;
    std::string memo;
    std::string amount;
};

struct QifRecord
{
    int line = 0;
    std::string date;
    std::string amount;
    std::string payee;
    std::string memo;
    std::string category;
    std::vector<Split> splits;
};

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// "Food:Groceries/Class" names the category "Groceries"; "[Savings]" is a transfer and
// names none.
std::string categoryName(std::string_view field)
{
    field = trimmed(field);
    if (field.starts_with("["))
        return {};
    if (const size_t slash = field.find('/'); slash != std::string_view::npos)
        field = field.substr(0, slash);
    if (const size_t colon = field.rfind(':'); colon != std::string_view::npos)
        field = field.substr(colon + 1);
    return std::string(trimmed(field));
}

bool isTransactionType(std::string_view type)
{
    const std::string lower = lowerAscii(trimmed(type));
    return lower == "bank" || lower == "cash" || lower == "ccard" || lower == "oth a" ||
           lower == "oth l";
}

class QifParser
{
public:
    explicit QifParser(ImportFile& file) : file_(file) {}

    void parse(std::string_view text)
    {
        size_t pos = 0;
        int line = 0;
        while (pos < text.size()) {
            size_t end = text.find('\n', pos);
            if (end == std::string_view::npos)
                end = text.size();
            ++line;
            handleLine(trimmed(text.substr(pos, end - pos)), line);
            pos = end + 1;
        }
        finishRecord();
    }

    std::vector<QifRecord> records;

private:
    void handleLine(std::string_view line, int number)
    {
        if (line.empty())
            return;
        if (line.front() == '!') {
            finishRecord();
            const std::string header = lowerAscii(line);
            if (header.starts_with("!type:")) {
                inAccount_ = false;
                inTransactions_ = isTransactionType(line.substr(6));
                if (!inTransactions_)
                    file_.skipped.push_back({number, "Ενότητα χωρίς κινήσεις λογαριασμού."});
            } else if (header.starts_with("!account")) {
                inAccount_ = true;
            }
            return;
        }
        if (inAccount_) {
            if (line.front() == '^')
                inAccount_ = false;
            return;
        }
        if (!inTransactions_) {
            if (sawType_ || line.front() == '^')
                return;
            inTransactions_ = true; // a file without "!Type:" holds bank records
        }
        sawType_ = true;
        if (line.front() == '^') {
            finishRecord();
            return;
        }
        if (!open_) {
            current_ = {};
            current_.line = number;
            open_ = true;
        }
        const char code = line.front();
        const std::string value(line.substr(1));
        switch (code) {
        case 'D':
            current_.date = value;
            break;
        case 'T':
            current_.amount = value;
            break;
        case 'U':
            if (current_.amount.empty())
                current_.amount = value;
            break;
        case 'P':
            current_.payee = value;
            break;
        case 'M':
            current_.memo = value;
            break;
        case 'L':
            current_.category = value;
            break;
        case 'S':
            current_.splits.push_back({value, {}, {}});
            break;
        case 'E':
            if (current_.splits.empty())
                current_.splits.emplace_back();
            current_.splits.back().memo = value;
            break;
        case '$':
            if (current_.splits.empty() || !current_.splits.back().amount.empty())
                current_.splits.emplace_back();
            current_.splits.back().amount = value;
            break;
        default:
            break; // number, cleared flag, address, class...
        }
    }

    void finishRecord()
    {
        if (open_)
            records.push_back(std::move(current_));
        open_ = false;
    }

    ImportFile& file_;
    QifRecord current_;
    bool open_ = false;
    bool inAccount_ = false;
    bool inTransactions_ = false;
    bool sawType_ = false;
};

} // namespace

ImportFile readQif(std::string_view content, const ReadSettings& settings)
{
    ImportFile file = fileOfRecords(settings, Format::Qif);
    ReadSettings& used = file.settings;
    if (used.encoding == Encoding::Auto)
        used.encoding = detectEncoding(content);
    std::string decoded;
    const std::string_view text = decodedText(content, used.encoding, decoded);
    if (text.find('\0') != std::string::npos)
        throw ImportError(atLine(
            "Το αρχείο δεν είναι κείμενο",
            1 + static_cast<int>(std::count(text.begin(), text.begin() + text.find('\0'), '\n'))));

    QifParser parser(file);
    parser.parse(text);

    std::vector<std::string_view> dates;
    std::vector<std::string_view> amounts;
    for (const QifRecord& record : parser.records) {
        dates.push_back(record.date);
        amounts.push_back(record.amount);
        for (const Split& split : record.splits)
            amounts.push_back(split.amount);
    }
    if (used.dateOrder == DateOrder::Auto)
        used.dateOrder = decideDateOrder(dates, DateOrder::MonthDayYear);
    if (used.decimalSign == 0)
        used.decimalSign = decideDecimalSign(amounts, '.');

    RowCollector rows(file);
    for (const QifRecord& record : parser.records) {
        const std::string description = joinDescription(record.payee, record.memo);
        if (trimmed(record.date).empty()) {
            rows.addInvalid(record.line, "Λείπει η ημερομηνία.", description);
            continue;
        }
        const auto date = parseDateCell(record.date, used.dateOrder);
        if (!date) {
            rows.addInvalid(record.line,
                            "Μη έγκυρη ημερομηνία «" + std::string(trimmed(record.date)) + "».",
                            description);
            continue;
        }
        const auto amountOf = [&](const std::string& cell) -> std::optional<double> {
            const auto value = parseAmountCell(cell, used.decimalSign);
            if (!value)
                rows.addInvalid(record.line,
                                trimmed(cell).empty()
                                    ? std::string("Λείπει το ποσό.")
                                    : "Μη έγκυρο ποσό «" + std::string(trimmed(cell)) + "».",
                                description);
            return value;
        };
        const bool splitAmounts =
            !record.splits.empty() &&
            std::all_of(record.splits.begin(), record.splits.end(),
                        [](const Split& split) { return !trimmed(split.amount).empty(); });
        if (!splitAmounts) {
            if (const auto amount = amountOf(record.amount))
                rows.addSigned(record.line, *date, *amount, description,
                               categoryName(record.category));
            continue;
        }
        for (const Split& split : record.splits) {
            const std::string splitDescription = joinDescription(
                record.payee, trimmed(split.memo).empty() ? record.memo : split.memo);
            if (const auto amount = amountOf(split.amount))
                rows.addSigned(record.line, *date, *amount, splitDescription,
                               categoryName(split.category));
        }
    }
    if (file.dataRows == 0)
        throw ImportError("Το αρχείο QIF δεν έχει καμία κίνηση.");
    return file;
}

} // namespace tamisko::import
