#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

// The plain programs that the benchmarks hold the cash book's code against: what the
// same work costs without a table, variants, lookups or views.
namespace tamisko::bench::baseline {

struct Category
{
    int32_t number = 0;
    std::string name;
};

struct Movement
{
    double date = 0;
    int32_t catNum = 0;
    bool hasReceipt = false;
    bool hasPayment = false;
    double receipt = 0;
    double payment = 0;
    std::string text;
};

struct Book
{
    std::vector<Category> categories;
    std::vector<Movement> movements;
};

std::vector<char> readFile(const std::string& fileName);
// Decodes the payload (the marker byte already dropped) into plain structs.
Book decode(std::span<const char> payload);
std::vector<char> encode(const Book& book);
// Writes the bytes to a temporary file, flushes it to disk and renames it over the
// target: the same durability the document file gives.
void writeFile(const std::string& fileName, std::span<const char> bytes);

// Crypto++ Blowfish in ECB mode over whole blocks of the bytes, in place.
class BlowfishEcb
{
public:
    explicit BlowfishEcb(std::span<const uint8_t> key);
    void encrypt(std::span<char> bytes) const;
    void decrypt(std::span<char> bytes) const;

private:
    std::vector<uint8_t> key_;
};

// Crypto++ Blowfish in CBC mode (zero initial vector) over whole blocks, in place: each
// block's input depends on the cipher text of the block before, as in the document's
// chained mode, so this is the serial limit of its encryption.
class BlowfishCbc
{
public:
    explicit BlowfishCbc(std::span<const uint8_t> key);
    void encrypt(std::span<char> bytes) const;

private:
    std::vector<uint8_t> key_;
};
// The key the document cipher derives from a password (RIPEMD-256 of its bytes).
std::vector<uint8_t> keyOf(const std::string& password);

struct Summary
{
    long double balance = 0;
    double firstDate = 0;
    double lastDate = 0;
};
Summary summarize(const std::vector<Movement>& movements);

struct CategoryTotals
{
    double receipts = 0;
    double payments = 0;
    int receiptCount = 0;
    int paymentCount = 0;
};
// Sums the movements dated within [start, end] by category number.
std::vector<CategoryTotals> totalsByCategory(const std::vector<Movement>& movements, double start,
                                             double end);

// (key, index) pairs of one column, in file order; nulls as the lowest key.
enum class Column
{
    Date,
    Receipt,
    CatNum
};
std::vector<std::pair<double, uint32_t>> keyPairs(const std::vector<Movement>& movements,
                                                  Column column);

} // namespace tamisko::bench::baseline
