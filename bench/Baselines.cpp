#include "Baselines.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cryptopp/blowfish.h>
#include <cryptopp/modes.h>
#include <cryptopp/ripemd.h>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <stdexcept>
#include <unistd.h>

namespace tamisko::bench::baseline {
namespace {

class Reader
{
public:
    explicit Reader(std::span<const char> bytes) : bytes_(bytes) {}

    template<typename T> T take()
    {
        need(sizeof(T));
        T value;
        std::memcpy(&value, bytes_.data() + at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    std::string text()
    {
        const auto length = take<uint16_t>();
        need(length);
        std::string value(bytes_.data() + at_, length);
        at_ += length;
        return value;
    }

private:
    void need(size_t count) const
    {
        if (bytes_.size() - at_ < count)
            throw std::runtime_error("payload ends early");
    }

    std::span<const char> bytes_;
    size_t at_ = 0;
};

// One value: true when it is not null.
bool readNumber(Reader& in, double& number)
{
    switch (in.take<uint8_t>()) {
    case 0:
    case 1:
        return false;
    case 3:
        number = in.take<int32_t>();
        return true;
    case 5:
    case 7:
        number = in.take<double>();
        return true;
    default:
        throw std::runtime_error("unexpected value type");
    }
}

bool readText(Reader& in, std::string& text)
{
    switch (in.take<uint8_t>()) {
    case 0:
    case 1:
        return false;
    case 8:
    case 18:
        text = in.text();
        return true;
    default:
        throw std::runtime_error("unexpected value type");
    }
}

template<typename T> void put(std::vector<char>& out, uint8_t type, T value)
{
    out.push_back(static_cast<char>(type));
    const size_t at = out.size();
    out.resize(at + sizeof value);
    std::memcpy(out.data() + at, &value, sizeof value);
}

void putText(std::vector<char>& out, const std::string& text)
{
    put(out, 18, static_cast<uint16_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

void putCount(std::vector<char>& out, size_t count)
{
    const auto value = static_cast<uint32_t>(count);
    const size_t at = out.size();
    out.resize(at + 4);
    std::memcpy(out.data() + at, &value, 4);
}

void fail(const std::string& what, const std::string& fileName)
{
    throw std::runtime_error(what + " " + fileName + ": " + std::strerror(errno));
}

} // namespace

std::vector<char> readFile(const std::string& fileName)
{
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file)
        fail("cannot open", fileName);
    std::fseek(file, 0, SEEK_END);
    std::vector<char> bytes(static_cast<size_t>(std::ftell(file)));
    std::fseek(file, 0, SEEK_SET);
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    if (got != bytes.size())
        fail("cannot read", fileName);
    return bytes;
}

Book decode(std::span<const char> payload)
{
    Reader in(payload);
    Book book;
    const auto categories = in.take<int32_t>();
    book.categories.resize(static_cast<size_t>(std::max(categories, 0)));
    for (Category& category : book.categories) {
        double number = 0;
        readNumber(in, number);
        category.number = static_cast<int32_t>(number);
        readText(in, category.name);
    }
    const auto movements = in.take<int32_t>();
    book.movements.resize(static_cast<size_t>(std::max(movements, 0)));
    for (Movement& movement : book.movements) {
        readNumber(in, movement.date);
        double catNum = 0;
        readNumber(in, catNum);
        movement.catNum = static_cast<int32_t>(catNum);
        movement.hasReceipt = readNumber(in, movement.receipt);
        movement.hasPayment = readNumber(in, movement.payment);
        readText(in, movement.text);
    }
    return book;
}

std::vector<char> encode(const Book& book)
{
    std::vector<char> out;
    putCount(out, book.categories.size());
    for (const Category& category : book.categories) {
        put(out, 3, category.number);
        putText(out, category.name);
    }
    putCount(out, book.movements.size());
    for (const Movement& movement : book.movements) {
        put(out, 7, movement.date);
        put(out, 3, movement.catNum);
        if (movement.hasReceipt)
            put(out, 5, movement.receipt);
        else
            out.push_back(1);
        if (movement.hasPayment)
            put(out, 5, movement.payment);
        else
            out.push_back(1);
        if (movement.text.empty())
            out.push_back(1);
        else
            putText(out, movement.text);
    }
    return out;
}

void writeFile(const std::string& fileName, std::span<const char> bytes)
{
    const std::string temporary = fileName + ".baseline";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        fail("cannot create", temporary);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno != EINTR) {
            ::close(fd);
            fail("cannot write", temporary);
        }
        done += static_cast<size_t>(std::max<ssize_t>(written, 0));
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0 || std::rename(temporary.c_str(), fileName.c_str()))
        fail("cannot finish", fileName);
}

BlowfishEcb::BlowfishEcb(std::span<const uint8_t> key) : key_(key.begin(), key.end()) {}

void BlowfishEcb::encrypt(std::span<char> bytes) const
{
    CryptoPP::ECB_Mode<CryptoPP::Blowfish>::Encryption ecb(key_.data(), key_.size());
    auto* data = reinterpret_cast<CryptoPP::byte*>(bytes.data());
    ecb.ProcessData(data, data, bytes.size() - bytes.size() % 8);
}

void BlowfishEcb::decrypt(std::span<char> bytes) const
{
    CryptoPP::ECB_Mode<CryptoPP::Blowfish>::Decryption ecb(key_.data(), key_.size());
    auto* data = reinterpret_cast<CryptoPP::byte*>(bytes.data());
    ecb.ProcessData(data, data, bytes.size() - bytes.size() % 8);
}

BlowfishCbc::BlowfishCbc(std::span<const uint8_t> key) : key_(key.begin(), key.end()) {}

void BlowfishCbc::encrypt(std::span<char> bytes) const
{
    const CryptoPP::byte zeroVector[CryptoPP::Blowfish::BLOCKSIZE] = {};
    CryptoPP::CBC_Mode<CryptoPP::Blowfish>::Encryption cbc(key_.data(), key_.size(), zeroVector);
    auto* data = reinterpret_cast<CryptoPP::byte*>(bytes.data());
    cbc.ProcessData(data, data, bytes.size() - bytes.size() % 8);
}

std::vector<uint8_t> keyOf(const std::string& password)
{
    std::vector<uint8_t> digest(CryptoPP::RIPEMD256::DIGESTSIZE);
    CryptoPP::RIPEMD256().CalculateDigest(
        digest.data(), reinterpret_cast<const CryptoPP::byte*>(password.data()), password.size());
    return digest;
}

Summary summarize(const std::vector<Movement>& movements)
{
    Summary summary;
    if (movements.empty())
        return summary;
    summary.firstDate = summary.lastDate = movements.front().date;
    for (const Movement& movement : movements) {
        summary.balance = summary.balance + static_cast<long double>(movement.receipt) -
                          static_cast<long double>(movement.payment);
        summary.firstDate = std::min(summary.firstDate, movement.date);
        summary.lastDate = std::max(summary.lastDate, movement.date);
    }
    return summary;
}

std::vector<CategoryTotals> totalsByCategory(const std::vector<Movement>& movements, double start,
                                             double end)
{
    std::vector<CategoryTotals> totals(64);
    for (const Movement& movement : movements) {
        if (movement.date < start || movement.date > end)
            continue;
        CategoryTotals& total = totals[static_cast<size_t>(movement.catNum) & 63];
        total.receipts += movement.receipt;
        total.payments += movement.payment;
        total.receiptCount += movement.hasReceipt;
        total.paymentCount += movement.hasPayment;
    }
    return totals;
}

std::vector<std::pair<double, uint32_t>> keyPairs(const std::vector<Movement>& movements,
                                                  Column column)
{
    std::vector<std::pair<double, uint32_t>> pairs(movements.size());
    for (uint32_t i = 0; i < pairs.size(); ++i) {
        const Movement& movement = movements[i];
        double key = movement.date;
        if (column == Column::Receipt)
            key = movement.hasReceipt ? movement.receipt : -std::numeric_limits<double>::infinity();
        else if (column == Column::CatNum)
            key = movement.catNum;
        pairs[i] = {key, i};
    }
    return pairs;
}

} // namespace tamisko::bench::baseline
