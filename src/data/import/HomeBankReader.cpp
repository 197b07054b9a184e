// HomeBank books (.xhb): XML with accounts, categories, payees and operations.
#include "data/DayNumber.h"
#include "data/import/ImportFile.h"
#include "data/import/RowCollector.h"

#include <algorithm>
#include <map>
#include <pugixml.hpp>

namespace tamisko::import {
namespace {

// HomeBank writes GLib's Julian days: 1 is 1 January of the year 1.
constexpr int64_t kJulianDayOfFirstValidDay = 1;

std::optional<double> dayOfJulian(long long julian)
{
    const long long day = julian - kJulianDayOfFirstValidDay + days::kFirstValidDay;
    if (julian < 1 || day > days::kLastValidDay)
        return std::nullopt;
    return static_cast<double>(day);
}

// The line of a byte offset, for messages.
class LineIndex
{
public:
    explicit LineIndex(std::string_view text)
    {
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n')
                starts_.push_back(static_cast<ptrdiff_t>(i + 1));
        }
    }
    int lineOf(ptrdiff_t offset) const
    {
        return static_cast<int>(std::upper_bound(starts_.begin(), starts_.end(), offset) -
                                starts_.begin()) +
               1;
    }

private:
    std::vector<ptrdiff_t> starts_;
};

std::vector<std::string> splitOn(std::string_view text, std::string_view separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        parts.emplace_back(text.substr(start, at - start));
        if (at == std::string_view::npos)
            return parts;
        start = at + separator.size();
    }
}

std::optional<double> number(std::string_view text)
{
    return parseAmountCell(text, '.');
}

} // namespace

ImportFile readHomeBank(std::string_view content, const ReadSettings& settings)
{
    ImportFile file = fileOfRecords(settings, Format::HomeBank);
    ReadSettings& used = file.settings;
    used.encoding = Encoding::Utf8;

    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(
        content.data(), content.size(), pugi::parse_default, pugi::encoding_auto);
    const LineIndex lines(content);
    if (!parsed) {
        const int line = lines.lineOf(parsed.offset);
        throw ImportError(atLine("Το αρχείο HomeBank δεν είναι έγκυρο XML", line), line);
    }
    const pugi::xml_node root = document.child("homebank");
    if (!root)
        throw ImportError(atLine("Το αρχείο δεν είναι βιβλίο του HomeBank", 1), 1);

    std::map<long long, std::string> accounts;
    for (const pugi::xml_node account : root.children("account")) {
        accounts[account.attribute("key").as_llong()] = account.attribute("name").as_string();
        file.accounts.emplace_back(account.attribute("name").as_string());
    }
    std::map<long long, std::string> categories;
    for (const pugi::xml_node category : root.children("cat"))
        categories[category.attribute("key").as_llong()] = category.attribute("name").as_string();
    std::map<long long, std::string> payees;
    for (const pugi::xml_node payee : root.children("pay"))
        payees[payee.attribute("key").as_llong()] = payee.attribute("name").as_string();

    std::optional<long long> onlyAccount;
    if (!used.account.empty()) {
        const auto chosen = std::find_if(accounts.begin(), accounts.end(), [&](const auto& entry) {
            return entry.second == used.account;
        });
        if (chosen == accounts.end())
            throw ImportError("Το βιβλίο του HomeBank δεν έχει λογαριασμό «" + used.account + "».");
        onlyAccount = chosen->first;
    }
    const auto nameOf = [](const std::map<long long, std::string>& names, long long key) {
        const auto found = names.find(key);
        return found == names.end() ? std::string() : found->second;
    };

    RowCollector rows(file);
    for (const pugi::xml_node operation : root.children("ope")) {
        const int line = lines.lineOf(operation.offset_debug());
        const long long account = operation.attribute("account").as_llong();
        if (onlyAccount && account != *onlyAccount)
            continue;
        const bool transfer = operation.attribute("paymode").as_int() == 5 ||
                              operation.attribute("kxfer") || operation.attribute("dst_account");
        if (transfer) {
            rows.skip(line, "Μεταφορά μεταξύ λογαριασμών.");
            continue;
        }
        pugi::xml_attribute wording = operation.attribute("wording");
        if (!wording)
            wording = operation.attribute("memo");
        std::string description = wording.as_string();
        if (description.empty())
            description = nameOf(payees, operation.attribute("payee").as_llong());
        const auto date = dayOfJulian(operation.attribute("date").as_llong());
        if (!date) {
            rows.addInvalid(line, "Μη έγκυρη ημερομηνία.", description);
            continue;
        }
        const std::string splitCategories = operation.attribute("scat").as_string();
        if (!splitCategories.empty()) {
            const auto cats = splitOn(splitCategories, "||");
            const auto amounts = splitOn(operation.attribute("samt").as_string(), "||");
            const auto memos = splitOn(operation.attribute("smem").as_string(), "||");
            for (size_t i = 0; i < cats.size(); ++i) {
                const std::string memo = i < memos.size() ? memos[i] : std::string();
                const std::string text = memo.empty() ? description : memo;
                const auto amount = i < amounts.size() ? number(amounts[i]) : std::nullopt;
                if (!amount) {
                    rows.addInvalid(line, "Μη έγκυρο ποσό.", text);
                    continue;
                }
                rows.addSigned(line, *date, *amount, text,
                               nameOf(categories, std::atoll(cats[i].c_str())));
            }
            continue;
        }
        const auto amount = number(operation.attribute("amount").as_string());
        if (!amount) {
            rows.addInvalid(line, "Μη έγκυρο ποσό.", description);
            continue;
        }
        rows.addSigned(line, *date, *amount, description,
                       nameOf(categories, operation.attribute("category").as_llong()));
    }
    if (file.dataRows == 0 && file.skipped.empty())
        throw ImportError("Το βιβλίο του HomeBank δεν έχει καμία κίνηση.");
    return file;
}

} // namespace tamisko::import
