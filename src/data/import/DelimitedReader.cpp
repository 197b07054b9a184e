// Delimited text from banks: separator, quoting, header, columns, then the rows.
#include "data/import/ImportFile.h"
#include "data/import/RowCollector.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <map>
#include <span>

namespace tamisko::import {
namespace {

constexpr std::array<char, 4> kSeparators{';', '\t', ',', '|'};
constexpr int kSampleRecords = 60;  // records that decide separator and header
constexpr int kHeaderSearch = 40;   // records before the header at most
constexpr int kContentSample = 200; // data records that map columns by content

// One record of RFC 4180 text after the other: quoted cells may hold separators, line
// breaks and doubled quotes. Empty lines are passed over.
class RecordReader
{
public:
    RecordReader(std::string_view text, char separator) : text_(text), separator_(separator) {}

    bool next()
    {
        cells_.clear();
        unescaped_.clear();
        while (pos_ < text_.size() && isLineEnd(text_[pos_]))
            skipLineEnd();
        if (pos_ >= text_.size())
            return false;
        line_ = lineNumber_;
        for (;;) {
            readCell();
            if (pos_ >= text_.size())
                break;
            if (text_[pos_] == separator_) {
                ++pos_;
                if (pos_ >= text_.size() || isLineEnd(text_[pos_]))
                    cells_.emplace_back(); // a separator at the end: one more empty cell
                else
                    continue;
            }
            if (pos_ < text_.size() && isLineEnd(text_[pos_]))
                skipLineEnd();
            break;
        }
        return true;
    }

    int line() const { return line_; }
    size_t position() const { return pos_; }
    std::span<const std::string_view> cells() const { return cells_; }

private:
    static bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

    void skipLineEnd()
    {
        if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n')
            ++pos_;
        ++pos_;
        ++lineNumber_;
    }

    void readCell()
    {
        size_t start = pos_;
        while (start < text_.size() && text_[start] == ' ')
            ++start;
        if (start < text_.size() && text_[start] == '"') {
            readQuotedCell(start + 1);
            return;
        }
        size_t end = pos_;
        while (end < text_.size() && text_[end] != separator_ && !isLineEnd(text_[end]))
            ++end;
        cells_.push_back(text_.substr(pos_, end - pos_));
        pos_ = end;
    }

    void readQuotedCell(size_t from)
    {
        std::string value;
        size_t at = from;
        bool plain = true; // no doubled quote and no line break: a view suffices
        for (;;) {
            if (at >= text_.size())
                break; // an unclosed quote runs to the end
            const char c = text_[at];
            if (c == '"') {
                if (at + 1 < text_.size() && text_[at + 1] == '"') {
                    plain = false;
                    value += '"';
                    at += 2;
                    continue;
                }
                ++at;
                break;
            }
            if (isLineEnd(c)) {
                plain = false;
                if (c == '\r' && at + 1 < text_.size() && text_[at + 1] == '\n')
                    ++at;
                ++lineNumber_;
                value += ' ';
                ++at;
                continue;
            }
            value += c;
            ++at;
        }
        // Anything between the closing quote and the separator belongs to the cell.
        size_t end = at;
        while (end < text_.size() && text_[end] != separator_ && !isLineEnd(text_[end]))
            ++end;
        if (plain && end == at) {
            cells_.push_back(text_.substr(from, value.size()));
        } else {
            value.append(text_.substr(at, end - at));
            unescaped_.push_back(std::move(value));
            cells_.push_back(unescaped_.back());
        }
        pos_ = end;
    }

    std::string_view text_;
    char separator_;
    size_t pos_ = 0;
    int lineNumber_ = 1;
    int line_ = 0;
    std::vector<std::string_view> cells_;
    std::deque<std::string> unescaped_;
};

bool allBlank(std::span<const std::string_view> cells)
{
    return std::all_of(cells.begin(), cells.end(), isBlankCell);
}

std::string_view cellAt(std::span<const std::string_view> cells, int column)
{
    return column >= 0 && static_cast<size_t>(column) < cells.size()
               ? cells[static_cast<size_t>(column)]
               : std::string_view();
}

std::string_view trimmedCell(std::string_view cell)
{
    while (!cell.empty() && (cell.front() == ' ' || cell.front() == '\t'))
        cell.remove_prefix(1);
    while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\t'))
        cell.remove_suffix(1);
    return cell;
}

// The most common number of cells (of two or more) among the first records, and how
// many records have it.
std::pair<size_t, int> commonWidth(std::string_view text, char separator)
{
    RecordReader reader(text, separator);
    std::map<size_t, int> widths;
    for (int n = 0; n < kSampleRecords && reader.next(); ++n) {
        if (reader.cells().size() >= 2)
            ++widths[reader.cells().size()];
    }
    std::pair<size_t, int> best{0, 0};
    for (const auto& [width, count] : widths) {
        if (count > best.second || (count == best.second && width > best.first))
            best = {width, count};
    }
    return best;
}

char detectSeparator(std::string_view text)
{
    char best = 0;
    std::pair<size_t, int> bestWidth{0, 0};
    for (const char separator : kSeparators) {
        const auto width = commonWidth(text, separator);
        if (width.second > bestWidth.second ||
            (width.second == bestWidth.second && width.first > bestWidth.first)) {
            best = separator;
            bestWidth = width;
        }
    }
    return best;
}

enum class Role
{
    None,
    Ignored, // a balance: never an amount
    Date,
    ValueDate,
    Description,
    Amount,
    Debit,
    Credit,
    Sign,
    Category,
};

bool hasAny(std::string_view name, std::initializer_list<std::string_view> words)
{
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view word) { return name.find(word) != name.npos; });
}

bool startsWithAny(std::string_view name, std::initializer_list<std::string_view> words)
{
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view word) { return name.starts_with(word); });
}

// The folded form of a header name: cp1253, lower case, without accents.
std::string foldedName(std::string_view utf8)
{
    TextChanges ignored;
    std::string name = fold(toCp1253(utf8, 200, ignored), true);
    while (!name.empty() && (name.back() == ':' || name.back() == ' '))
        name.pop_back();
    return name;
}

Role roleOfName(std::string_view utf8)
{
    const std::string folded = foldedName(utf8);
    const auto greek = [](std::string_view text) {
        TextChanges ignored;
        return fold(toCp1253(text, 200, ignored), true);
    };
    static const struct Words
    {
        std::string balance, sign, signSlash, valueDate, day, dateLong, dateShort, dateDot, debit,
            withdrawal, payment, credit, deposit, receipt, amount, category, description, reason,
            transaction, information, beneficiary;
    } w{greek("υπολοιπ"),  greek("προσημ"),     greek("χ/π"),      greek("αξια"),
        greek("ημερα"),    greek("ημερομηνια"), greek("ημ/νια"),   greek("ημ."),
        greek("χρεωσ"),    greek("αναληψ"),     greek("πληρωμ"),   greek("πιστωσ"),
        greek("καταθεσ"),  greek("εισπραξ"),    greek("ποσο"),     greek("κατηγορ"),
        greek("περιγραφ"), greek("αιτιολογ"),   greek("συναλλαγ"), greek("πληροφορ"),
        greek("δικαιουχ")};
    const std::string_view name = folded;
    if (name.empty())
        return Role::None;
    if (hasAny(name, {w.balance, "balance"}))
        return Role::Ignored;
    if (hasAny(name, {w.sign, "sign"}) || name == w.signSlash || name == greek("π/χ") ||
        name == "d/c" || name == "c/d" || name == "dr/cr" || name == "cr/dr" ||
        (hasAny(name, {w.debit}) && hasAny(name, {w.credit})) ||
        (hasAny(name, {"debit"}) && hasAny(name, {"credit"})))
        return Role::Sign;
    if (hasAny(name, {w.valueDate, "value date", "valuta"}))
        return Role::ValueDate;
    if (startsWithAny(name, {w.day, w.dateLong, w.dateShort, w.dateDot}) || hasAny(name, {"date"}))
        return Role::Date;
    if (hasAny(name, {w.debit, w.withdrawal, w.payment, "debit", "withdraw", "paid out"}))
        return Role::Debit;
    if (hasAny(name, {w.credit, w.deposit, w.receipt, "credit", "deposit", "paid in"}))
        return Role::Credit;
    if (startsWithAny(name, {w.amount}) || hasAny(name, {"amount"}))
        return Role::Amount;
    if (startsWithAny(name, {w.category, "category"}))
        return Role::Category;
    if (hasAny(name, {w.description, w.reason, w.transaction, w.information, w.beneficiary,
                      "description", "details", "payee", "memo", "narrative", "reference", "text"}))
        return Role::Description;
    return Role::None;
}

// The columns named by a header; nothing unless it names a date and an amount, or with
// `partly` at least two columns.
std::optional<ColumnMapping> mappingFromHeader(std::span<const std::string_view> cells,
                                               bool partly = false)
{
    ColumnMapping mapping;
    int valueDate = -1;
    const auto take = [](int& slot, int column) {
        if (slot < 0)
            slot = column;
    };
    for (size_t i = 0; i < cells.size(); ++i) {
        const int column = static_cast<int>(i);
        switch (roleOfName(cells[i])) {
        case Role::Date:
            take(mapping.date, column);
            break;
        case Role::ValueDate:
            take(valueDate, column);
            break;
        case Role::Description:
            take(mapping.description, column);
            break;
        case Role::Amount:
            take(mapping.amount, column);
            break;
        case Role::Debit:
            take(mapping.debit, column);
            break;
        case Role::Credit:
            take(mapping.credit, column);
            break;
        case Role::Sign:
            take(mapping.sign, column);
            break;
        case Role::Category:
            take(mapping.category, column);
            break;
        case Role::None:
        case Role::Ignored:
            break;
        }
    }
    if (mapping.date < 0)
        mapping.date = valueDate; // a value date only when there is no other
    if (mapping.amount >= 0) {
        mapping.debit = mapping.credit = -1;
    } else if (mapping.debit >= 0 || mapping.credit >= 0) {
        mapping.sign = -1;
    }
    if (partly) {
        const int named = (mapping.date >= 0) + (mapping.description >= 0) + mapping.hasAmounts() +
                          (mapping.category >= 0);
        return named >= 2 ? std::optional<ColumnMapping>(mapping) : std::nullopt;
    }
    if (mapping.date < 0 || !mapping.hasAmounts())
        return std::nullopt;
    return mapping;
}

// What the readers of one separator see of the whole text.
struct Layout
{
    int headerLine = kNoHeader;
    std::vector<std::string> header;
    ColumnMapping columns;
    bool columnsFound = false;
};

bool namedColumn(const std::vector<Role>& roles, size_t column)
{
    return column < roles.size() && roles[column] != Role::None;
}

// Fills in the columns the header did not name from what the data rows hold.
void mapByContent(std::string_view text, char separator, int firstDataLine,
                  const std::vector<std::string>& header, ColumnMapping& mapping)
{
    std::vector<Role> roles;
    for (const std::string& name : header)
        roles.push_back(roleOfName(name));
    struct Tally
    {
        int filled = 0;
        int dates = 0;
        int amounts = 0;
        int decimals = 0;
        size_t length = 0;
    };
    std::vector<Tally> tallies;
    RecordReader reader(text, separator);
    int seen = 0;
    while (seen < kContentSample && reader.next()) {
        if (reader.line() < firstDataLine || allBlank(reader.cells()))
            continue;
        ++seen;
        const auto cells = reader.cells();
        if (tallies.size() < cells.size())
            tallies.resize(cells.size());
        for (size_t i = 0; i < cells.size(); ++i) {
            const std::string_view cell = trimmedCell(cells[i]);
            if (cell.empty())
                continue;
            Tally& tally = tallies[i];
            ++tally.filled;
            tally.length += cell.size();
            if (looksLikeDate(cell))
                ++tally.dates;
            else if (looksLikeAmount(cell)) {
                ++tally.amounts;
                if (cell.find_first_of(".,") != cell.npos)
                    ++tally.decimals;
            }
        }
    }
    const auto used = [&](int column) {
        return column == mapping.date || column == mapping.description ||
               column == mapping.amount || column == mapping.debit || column == mapping.credit ||
               column == mapping.sign || column == mapping.category;
    };
    const auto mostly = [](int part, int whole) {
        return whole > 0 && part * 5 >= whole * 4;
    };
    for (size_t i = 0; mapping.date < 0 && i < tallies.size(); ++i) {
        if (!namedColumn(roles, i) && mostly(tallies[i].dates, tallies[i].filled))
            mapping.date = static_cast<int>(i);
    }
    if (!mapping.hasAmounts()) {
        // A column of numbers with decimals first; a column of whole numbers only then.
        for (const bool needDecimals : {true, false}) {
            for (size_t i = 0; mapping.amount < 0 && i < tallies.size(); ++i) {
                const int column = static_cast<int>(i);
                if (!used(column) && !namedColumn(roles, i) &&
                    mostly(tallies[i].amounts, tallies[i].filled) &&
                    (!needDecimals || tallies[i].decimals > 0))
                    mapping.amount = column;
            }
        }
    }
    if (mapping.description < 0) {
        size_t longest = 0;
        for (size_t i = 0; i < tallies.size(); ++i) {
            const int column = static_cast<int>(i);
            const Tally& tally = tallies[i];
            if (used(column) || tally.filled == 0 || (i < roles.size() && roles[i] != Role::None))
                continue;
            if (tally.dates + tally.amounts >= tally.filled)
                continue;
            const size_t average = tally.length / static_cast<size_t>(tally.filled);
            if (average > longest) {
                longest = average;
                mapping.description = column;
            }
        }
    }
}

// Whether the cells read as a movement: a date and an amount among them.
bool looksLikeData(std::span<const std::string_view> cells)
{
    bool date = false;
    bool amount = false;
    for (const std::string_view cell : cells) {
        const std::string_view trimmed = trimmedCell(cell);
        if (trimmed.empty())
            continue;
        if (!date && looksLikeDate(trimmed))
            date = true;
        else if (looksLikeAmount(trimmed))
            amount = true;
    }
    return date && amount;
}

std::vector<std::string> toStrings(std::span<const std::string_view> cells)
{
    std::vector<std::string> out;
    for (const std::string_view cell : cells)
        out.emplace_back(trimmedCell(cell));
    return out;
}

Layout findLayout(std::string_view text, const ReadSettings& settings)
{
    Layout layout;
    RecordReader reader(text, settings.separator);
    std::vector<std::pair<int, std::vector<std::string>>> records;
    for (int n = 0; n < kHeaderSearch + 1 && reader.next(); ++n) {
        if (!allBlank(reader.cells()))
            records.emplace_back(reader.line(), toStrings(reader.cells()));
    }
    const auto viewsOf = [](const std::vector<std::string>& cells) {
        return std::vector<std::string_view>(cells.begin(), cells.end());
    };
    if (settings.headerLine == kDetectHeader) {
        // A row that names the columns; else the row before the first movement when it
        // holds no dates, numbers only by chance.
        for (const auto& [line, cells] : records) {
            if (auto mapping = mappingFromHeader(viewsOf(cells))) {
                layout.headerLine = line;
                layout.header = cells;
                layout.columns = *mapping;
                layout.columnsFound = true;
                break;
            }
        }
        for (size_t i = 0; !layout.columnsFound && i < records.size(); ++i) {
            // A header that names some columns: the content names the others.
            if (auto mapping = mappingFromHeader(viewsOf(records[i].second), true)) {
                layout.headerLine = records[i].first;
                layout.header = records[i].second;
                layout.columns = *mapping;
                break;
            }
        }
        if (!layout.columnsFound && layout.headerLine == kNoHeader) {
            for (size_t i = 0; i < records.size(); ++i) {
                if (!looksLikeData(viewsOf(records[i].second)))
                    continue;
                if (i > 0 && records[i - 1].second.size() == records[i].second.size() &&
                    std::none_of(records[i - 1].second.begin(), records[i - 1].second.end(),
                                 [](const std::string& cell) {
                                     return looksLikeDate(cell) || looksLikeAmount(cell);
                                 })) {
                    layout.headerLine = records[i - 1].first;
                    layout.header = records[i - 1].second;
                }
                break;
            }
        }
    } else if (settings.headerLine != kNoHeader) {
        for (const auto& [line, cells] : records) {
            if (line >= settings.headerLine) {
                layout.headerLine = line;
                layout.header = cells;
                if (auto mapping = mappingFromHeader(viewsOf(cells))) {
                    layout.columns = *mapping;
                    layout.columnsFound = true;
                }
                break;
            }
        }
        if (layout.headerLine == kNoHeader)
            throw ImportError(atLine("Δεν υπάρχει η γραμμή επικεφαλίδας", settings.headerLine),
                              settings.headerLine);
    }
    if (settings.columns) {
        layout.columns = *settings.columns;
        layout.columnsFound = true;
    }
    return layout;
}

std::string_view quotedForMessage(std::string_view cell)
{
    cell = trimmedCell(cell);
    return cell.size() > 40 ? cell.substr(0, 40) : cell;
}

std::string quoted(std::string_view text)
{
    return "«" + std::string(quotedForMessage(text)) + "»";
}

enum class Side
{
    Unknown,
    Debit,
    Credit,
};

Side sideOf(std::string_view cellUtf8)
{
    const std::string name = foldedName(trimmedCell(cellUtf8));
    TextChanges ignored;
    const auto greek = [&](std::string_view text) {
        return fold(toCp1253(text, 30, ignored), true);
    };
    static const std::string debitLetter = greek("χ"), debitWord = greek("χρεωση"),
                             creditLetter = greek("π"), creditWord = greek("πιστωση");
    if (name == debitLetter || name == debitWord || name == "d" || name == "dr" ||
        name == "debit" || name == "-")
        return Side::Debit;
    if (name == creditLetter || name == creditWord || name == "c" || name == "cr" ||
        name == "credit" || name == "+")
        return Side::Credit;
    return Side::Unknown;
}

// The first line of the text holding a NUL or another control character that text
// files do not have; 0 when there is none.
int lineOfJunk(std::string_view text)
{
    int line = 1;
    int controls = 0;
    int firstControlLine = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\n')
            ++line;
        if (byte == 0)
            return line;
        if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r' && byte != '\f' &&
            byte != 0x1A) {
            if (controls++ == 0)
                firstControlLine = line;
        }
    }
    return controls * 100 > static_cast<int>(text.size()) || controls > 16 ? firstControlLine : 0;
}

} // namespace

ImportFile readDelimited(std::string_view content, const ReadSettings& settings,
                         const Progress& progress)
{
    ImportFile file;
    file.settings = settings;
    ReadSettings& used = file.settings;
    used.format = Format::Delimited;
    if (used.encoding == Encoding::Auto)
        used.encoding = detectEncoding(content);
    std::string decoded;
    const std::string_view text = decodedText(content, used.encoding, decoded);
    if (const int junk = lineOfJunk(text))
        throw ImportError(atLine("Το αρχείο δεν είναι κείμενο", junk), junk);

    if (used.separator == 0)
        used.separator = detectSeparator(text);
    if (used.separator == 0)
        throw ImportError(atLine("Δεν βρέθηκαν στήλες χωρισμένες με «;», «,», tab ή «|»", 1), 1);

    Layout layout = findLayout(text, used);
    used.headerLine = layout.headerLine;
    file.header = layout.header;
    const int firstDataLine = layout.headerLine == kNoHeader ? 1 : layout.headerLine + 1;
    if (!layout.columnsFound)
        mapByContent(text, used.separator, firstDataLine, layout.header, layout.columns);
    ColumnMapping& columns = layout.columns;
    used.columns = columns;
    const int reportLine = layout.headerLine == kNoHeader ? 1 : layout.headerLine;
    if (columns.date < 0)
        throw ImportError(atLine("Δεν βρέθηκε στήλη ημερομηνίας", reportLine), reportLine);
    if (!columns.hasAmounts())
        throw ImportError(atLine("Δεν βρέθηκε στήλη ποσού", reportLine), reportLine);

    // First pass: the column decisions over every data row, and where the data ends.
    std::vector<std::string_view> dateCells;
    std::vector<std::string_view> amountCells;
    std::deque<std::string> kept; // the cells the reader unescaped, kept for the pass
    int lastDateLine = 0;
    int firstDateLine = 0;
    size_t dataRecords = 0;
    {
        RecordReader reader(text, used.separator);
        const auto keep = [&](std::string_view cell) -> std::string_view {
            if (cell.data() >= text.data() && cell.data() < text.data() + text.size())
                return cell;
            kept.emplace_back(cell);
            return kept.back();
        };
        while (reader.next()) {
            if (reader.line() < firstDataLine || allBlank(reader.cells()))
                continue;
            ++dataRecords;
            if (file.firstRows.size() < 20)
                file.firstRows.push_back(toStrings(reader.cells()));
            const std::string_view date = trimmedCell(cellAt(reader.cells(), columns.date));
            if (!hasDateShape(date))
                continue;
            if (firstDateLine == 0)
                firstDateLine = reader.line();
            lastDateLine = reader.line();
            if (looksLikeDate(date))
                dateCells.push_back(keep(date));
            for (const int column : {columns.amount, columns.debit, columns.credit}) {
                const std::string_view cell = trimmedCell(cellAt(reader.cells(), column));
                if (!cell.empty())
                    amountCells.push_back(keep(cell));
            }
        }
    }
    if (used.dateOrder == DateOrder::Auto)
        used.dateOrder = decideDateOrder(dateCells, used.regionalDateOrder);
    if (used.decimalSign == 0)
        used.decimalSign = decideDecimalSign(amountCells, used.regionalDecimalSign);
    dateCells = {};
    amountCells = {};
    kept.clear();

    if (lastDateLine == 0) {
        if (layout.headerLine != kNoHeader)
            throw ImportError(
                atLine("Η επικεφαλίδα δεν ακολουθείται από γραμμές κινήσεων", layout.headerLine),
                layout.headerLine);
        throw ImportError("Το αρχείο δεν έχει καμία γραμμή κινήσεων.");
    }

    // Second pass: the rows, in room made at once (a growing vector would hold two copies).
    file.rows.reserve(dataRecords);
    RowCollector rows(file);
    RecordReader reader(text, used.separator);
    const int dataStart = layout.headerLine == kNoHeader ? firstDateLine : firstDataLine;
    constexpr size_t kProgressEvery = 4096; // records
    size_t records = 0;
    while (reader.next()) {
        if (progress && ++records % kProgressEvery == 0)
            progress(reader.position(), text.size());
        const int line = reader.line();
        const auto cells = reader.cells();
        if (allBlank(cells))
            continue;
        if (line == layout.headerLine)
            continue;
        if (line < dataStart) {
            rows.skip(line, "Γραμμή πριν από τις κινήσεις.");
            continue;
        }
        if (line > lastDateLine) {
            rows.skip(line, "Γραμμή μετά τις κινήσεις (σύνολα, υπόλοιπα).");
            continue;
        }
        const std::string_view description = trimmedCell(cellAt(cells, columns.description));
        const std::string_view category = trimmedCell(cellAt(cells, columns.category));
        const std::string_view dateCell = trimmedCell(cellAt(cells, columns.date));
        if (dateCell.empty()) {
            rows.addInvalid(line, "Λείπει η ημερομηνία.", description);
            continue;
        }
        const auto date = parseDateCell(dateCell, used.dateOrder);
        if (!date) {
            rows.addInvalid(line, "Μη έγκυρη ημερομηνία " + quoted(dateCell) + ".", description);
            continue;
        }
        const auto amountOf = [&](int column, bool& bad) -> double {
            const std::string_view cell = trimmedCell(cellAt(cells, column));
            if (cell.empty())
                return 0;
            const auto value = parseAmountCell(cell, used.decimalSign);
            if (!value) {
                bad = true;
                rows.addInvalid(line, "Μη έγκυρο ποσό " + quoted(cell) + ".", description);
                return 0;
            }
            return *value;
        };
        bool bad = false;
        if (columns.amount >= 0) {
            const std::string_view amountCell = trimmedCell(cellAt(cells, columns.amount));
            if (amountCell.empty()) {
                rows.addInvalid(line, "Λείπει το ποσό.", description);
                continue;
            }
            double amount = amountOf(columns.amount, bad);
            if (bad)
                continue;
            if (columns.sign >= 0) {
                const std::string_view signCell = cellAt(cells, columns.sign);
                const Side side = sideOf(signCell);
                if (side == Side::Unknown && !isBlankCell(signCell)) {
                    rows.addInvalid(line,
                                    "Άγνωστη ένδειξη χρέωσης ή πίστωσης " + quoted(signCell) + ".",
                                    description);
                    continue;
                }
                if (side == Side::Debit)
                    amount = -std::abs(amount);
                else if (side == Side::Credit)
                    amount = std::abs(amount);
            }
            rows.addSigned(line, *date, amount, description, category);
        } else {
            const double debit = amountOf(columns.debit, bad);
            if (bad)
                continue;
            const double credit = amountOf(columns.credit, bad);
            if (bad)
                continue;
            rows.addSides(line, *date, credit, debit, description, category);
        }
    }
    return file;
}

} // namespace tamisko::import
