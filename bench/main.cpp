// Large cash books against plain baselines measured in the same run, so that the ratios
// hold on a busy machine. Prints one table: operation, size, our time, baseline time,
// ratio and the goal. With --memory it reports the resident memory of an opened book.
// With --iterations=N every benchmark runs exactly N times: a fixed amount of work whose
// instructions callgrind can count and compare between two builds.

#include "analysis/core/Comparison.h"
#include "analysis/core/TimeSeries.h"
#include "Baselines.h"
#include "BookGenerator.h"
#include "data/ByteStream.h"
#include "data/DataMdl.h"
#include "data/FileCipher.h"
#include "data/import/ImportFile.h"
#include "data/import/ImportPlan.h"
#include "data/RegionalSettings.h"
#include "ImportBench.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tamisko::bench {
namespace {

std::string booksDirectory()
{
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/tamisko-bench";
}

// Everything one book size needs, built on first use.
struct Book
{
    explicit Book(const std::string& directory, int size)
        : size(size), files(generateBook(directory, size)), directory(directory)
    {
        const std::vector<char> file = baseline::readFile(files.plain);
        payload.assign(file.begin() + 1, file.end());
        plain = baseline::decode(payload);
        const std::vector<char> encryptedFile = baseline::readFile(files.encrypted);
        encrypted.assign(encryptedFile.begin() + 1, encryptedFile.end());
        module.setPasswordPrompt([](std::string& password) {
            password = bookPassword();
            return true;
        });
        module.OpenDocument(files.plain);
        comparison::defineResultsTable(results);
    }

    std::string savePath() const { return directory + "/saved-" + std::to_string(size) + ".tmk"; }

    int size;
    BookFiles files;
    std::string directory;
    std::vector<char> payload;   // the plain payload, marker dropped
    std::vector<char> encrypted; // the encrypted payload, marker dropped
    baseline::Book plain;
    DataMod module;
    MemTable results{"Results"};
    bool inFileOrder = true; // the log's records in the order the file holds them
};

std::string gBooksDirectory = booksDirectory();

Book& book(int size)
{
    static std::map<int, std::unique_ptr<Book>> books;
    auto& entry = books[size];
    if (!entry)
        entry = std::make_unique<Book>(gBooksDirectory, size);
    return *entry;
}

ByteStream streamOf(const std::vector<char>& bytes)
{
    return ByteStream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

// Ours ------------------------------------------------------------------------------

void openPlain(benchmark::State& state, Book& b)
{
    for (auto _ : state)
        b.module.OpenDocument(b.files.plain);
}

void openEncrypted(benchmark::State& state, Book& b)
{
    for (auto _ : state)
        b.module.OpenDocument(b.files.encrypted);
    b.module.DocumentPassword.clear();
}

void decryptPayload(benchmark::State& state, Book& b)
{
    FileCipher cipher;
    cipher.InitKey(bookPassword());
    ByteStream source = streamOf(b.encrypted);
    for (auto _ : state) {
        source.setPosition(0);
        ByteStream plain;
        cipher.DecryptStream(source, plain, source.size());
        benchmark::DoNotOptimize(plain.bytes().data());
    }
}

void encryptPayload(benchmark::State& state, Book& b)
{
    FileCipher cipher;
    cipher.InitKey(bookPassword());
    ByteStream source = streamOf(b.payload);
    for (auto _ : state) {
        source.setPosition(0);
        ByteStream encrypted;
        cipher.EncryptStream(source, encrypted, source.size());
        benchmark::DoNotOptimize(encrypted.bytes().data());
    }
}

void savePlain(benchmark::State& state, Book& b)
{
    b.module.DocumentPassword.clear();
    for (auto _ : state)
        b.module.SaveDocument(b.savePath());
}

void saveEncrypted(benchmark::State& state, Book& b)
{
    b.module.DocumentPassword = bookPassword();
    for (auto _ : state)
        b.module.SaveDocument(b.savePath());
    b.module.DocumentPassword.clear();
}

void recomputeSummary(benchmark::State& state, Book& b)
{
    for (auto _ : state) {
        b.module.RecomputeSummary();
        benchmark::DoNotOptimize(b.module.Balance);
    }
}

// Appends and posts one movement as the entry window does; the post's handler
// recomputes the summary. The movement is deleted again outside the timing.
void postMovement(benchmark::State& state, Book& b)
{
    MemTable& log = b.module.LogTable;
    const Variant day = Variant::fromDate(b.module.LastDate);
    const Variant text = Variant::fromString(bookPassword());
    for (auto _ : state) {
        log.append();
        log.setFieldValue("Date", day);
        log.setFieldValue("CatNum", Variant::fromInt(9));
        log.setFieldValue("Pliromi", Variant::fromDouble(12.5));
        log.setFieldValue("Perigrafi", text);
        log.post();
        state.PauseTiming();
        log.deleteRecord();
        state.ResumeTiming();
    }
}

// Each sort starts from the book's own order: the book is read again outside the timing.
void sortOn(benchmark::State& state, Book& b, const char* field, MemTableOptions options)
{
    for (auto _ : state) {
        state.PauseTiming();
        b.module.OpenDocument(b.files.plain);
        state.ResumeTiming();
        b.module.LogTable.sortByFields(field, options);
        b.inFileOrder = false;
    }
}

// The analyses walk the log as the file holds it; the sorts before them leave it in
// another order, in which every record is a cache miss (see RESULTS.md).
void restoreFileOrder(Book& b)
{
    if (!b.inFileOrder)
        b.module.OpenDocument(b.files.plain);
    b.inFileOrder = true;
}

void compareWholeSpan(benchmark::State& state, Book& b)
{
    restoreFileOrder(b);
    const RegionalSettings settings = RegionalSettings::greek();
    const comparison::Request request{b.module.FirstDate, b.module.LastDate, b.module.FirstDate,
                                      b.module.LastDate};
    for (auto _ : state) {
        auto outcome = comparison::ComputeResults(b.module.LogTable, b.module.CatTable, request,
                                                  settings, b.results);
        benchmark::DoNotOptimize(outcome);
    }
}

void timeSeries(benchmark::State& state, Book& b, int length)
{
    restoreFileOrder(b);
    const RegionalSettings settings = RegionalSettings::greek();
    for (auto _ : state) {
        auto grid = series::FillSeriesGrid(b.module.LogTable, length, b.module.FirstDate,
                                           b.module.LastDate, settings);
        benchmark::DoNotOptimize(grid);
    }
}

// The import of a 100,000-row bank statement into the book.
constexpr int kStatementRows = 100000;

void importReadAndCheck(benchmark::State& state, Book& b)
{
    const std::string statement = generateStatement(b.directory, kStatementRows);
    for (auto _ : state)
        benchmark::DoNotOptimize(readAndCheckStatement(statement, b.module));
}

// The bulk step alone; the import is taken back outside the timing.
void importBulkStep(benchmark::State& state, Book& b)
{
    const std::string statement = generateStatement(b.directory, kStatementRows);
    const import::ImportPreview preview = import::previewImport(
        import::readImportFile(statement, {}), b.module.CatTable, b.module.LogTable);
    for (auto _ : state) {
        const import::ImportOutcome outcome = import::applyImport(b.module, preview);
        state.PauseTiming();
        import::undoImport(b.module, outcome.undo);
        state.ResumeTiming();
    }
}

// A day after the last movement: no record matches, so the search walks the whole log.
void locateMissingDay(benchmark::State& state, Book& b)
{
    restoreFileOrder(b);
    const std::vector<Variant> day{Variant::fromDate(b.module.LastDate + 1)};
    for (auto _ : state)
        benchmark::DoNotOptimize(b.module.LogTable.locate("Date", day));
}

// Baselines --------------------------------------------------------------------------

// Reads the statement and splits every line at its semicolons, reading the amount.
void splitStatement(benchmark::State& state, Book& b)
{
    const std::string statement = generateStatement(b.directory, kStatementRows);
    for (auto _ : state) {
        const std::vector<char> file = baseline::readFile(statement);
        std::vector<std::pair<std::string, double>> rows;
        std::string_view text(file.data(), file.size());
        while (!text.empty()) {
            const size_t end = std::min(text.find('\n'), text.size());
            const std::string_view line = text.substr(0, end);
            text.remove_prefix(std::min(end + 1, text.size()));
            std::vector<std::string_view> cells;
            for (size_t at = 0; at <= line.size();) {
                const size_t stop = std::min(line.find(';', at), line.size());
                cells.push_back(line.substr(at, stop - at));
                at = stop + 1;
            }
            if (cells.size() >= 4) {
                std::string amount(cells[3]);
                std::replace(amount.begin(), amount.end(), ',', '.');
                rows.emplace_back(std::string(cells[2]), std::strtod(amount.c_str(), nullptr));
            }
        }
        benchmark::DoNotOptimize(rows.data());
    }
}

void pushStatementAndSummarize(benchmark::State& state, Book& b)
{
    baseline::Movement movement;
    movement.date = 45000;
    movement.catNum = 9;
    movement.hasPayment = true;
    movement.payment = 12.5;
    const size_t size = b.plain.movements.size();
    for (auto _ : state) {
        for (int i = 0; i < kStatementRows; ++i)
            b.plain.movements.push_back(movement);
        const baseline::Summary summary = baseline::summarize(b.plain.movements);
        benchmark::DoNotOptimize(summary);
        state.PauseTiming();
        b.plain.movements.resize(size);
        state.ResumeTiming();
    }
}

void readAndDecode(benchmark::State& state, Book& b)
{
    for (auto _ : state) {
        const std::vector<char> file = baseline::readFile(b.files.plain);
        baseline::Book decoded = baseline::decode(std::span(file).subspan(1));
        benchmark::DoNotOptimize(decoded.movements.data());
    }
}

// The ECB output is not the payload, so the decoding reads the plain payload instead.
void readDecryptAndDecode(benchmark::State& state, Book& b)
{
    const baseline::BlowfishEcb ecb(baseline::keyOf(bookPassword()));
    for (auto _ : state) {
        std::vector<char> file = baseline::readFile(b.files.encrypted);
        ecb.decrypt(std::span(file).subspan(1));
        baseline::Book decoded = baseline::decode(b.payload);
        benchmark::DoNotOptimize(decoded.movements.data());
        benchmark::DoNotOptimize(file.data());
    }
}

void ecbDecrypt(benchmark::State& state, Book& b)
{
    const baseline::BlowfishEcb ecb(baseline::keyOf(bookPassword()));
    std::vector<char> bytes = b.encrypted;
    for (auto _ : state) {
        ecb.decrypt(bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
}

void ecbEncrypt(benchmark::State& state, Book& b)
{
    const baseline::BlowfishEcb ecb(baseline::keyOf(bookPassword()));
    std::vector<char> bytes = b.payload;
    for (auto _ : state) {
        ecb.encrypt(bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
}

void cbcEncrypt(benchmark::State& state, Book& b)
{
    const baseline::BlowfishCbc cbc(baseline::keyOf(bookPassword()));
    std::vector<char> bytes = b.payload;
    for (auto _ : state) {
        cbc.encrypt(bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
}

// The analyses' limit: one pass over the same records in the same order, the summary's.
void summaryPass(benchmark::State& state, Book& b)
{
    restoreFileOrder(b);
    recomputeSummary(state, b);
}

void encodeAndWrite(benchmark::State& state, Book& b)
{
    const std::string path = b.savePath() + ".plain";
    for (auto _ : state) {
        std::vector<char> bytes = baseline::encode(b.plain);
        bytes.insert(bytes.begin(), '!');
        baseline::writeFile(path, bytes);
    }
}

void encodeEncryptAndWrite(benchmark::State& state, Book& b)
{
    const baseline::BlowfishEcb ecb(baseline::keyOf(bookPassword()));
    const std::string path = b.savePath() + ".plain";
    for (auto _ : state) {
        std::vector<char> bytes = baseline::encode(b.plain);
        ecb.encrypt(bytes);
        bytes.insert(bytes.begin(), '*');
        baseline::writeFile(path, bytes);
    }
}

void summaryLoop(benchmark::State& state, Book& b)
{
    for (auto _ : state) {
        const baseline::Summary summary = baseline::summarize(b.plain.movements);
        benchmark::DoNotOptimize(summary);
    }
}

void pushAndSummarize(benchmark::State& state, Book& b)
{
    baseline::Movement movement;
    movement.date = 40000;
    movement.catNum = 9;
    movement.hasPayment = true;
    movement.payment = 12.5;
    for (auto _ : state) {
        b.plain.movements.push_back(movement);
        const baseline::Summary summary = baseline::summarize(b.plain.movements);
        benchmark::DoNotOptimize(summary);
        b.plain.movements.pop_back();
    }
}

// Sorts a fresh copy of the pairs per iteration (the copy outside the timing).
template<typename Pair>
void sortCopies(benchmark::State& state, const std::vector<Pair>& original, bool descending)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto pairs = original;
        state.ResumeTiming();
        if (descending)
            std::sort(pairs.begin(), pairs.end(), std::greater<>());
        else
            std::sort(pairs.begin(), pairs.end());
        benchmark::DoNotOptimize(pairs.data());
    }
}

void sortPairs(benchmark::State& state, Book& b, baseline::Column column, bool descending)
{
    sortCopies(state, baseline::keyPairs(b.plain.movements, column), descending);
}

// The descriptions as (text, index) pairs sorted bytewise: the least a text sort does.
void sortTextPairs(benchmark::State& state, Book& b)
{
    std::vector<std::pair<std::string_view, uint32_t>> original;
    original.reserve(b.plain.movements.size());
    for (const baseline::Movement& movement : b.plain.movements)
        original.emplace_back(movement.text, static_cast<uint32_t>(original.size()));
    sortCopies(state, original, false);
}

void findMissingDay(benchmark::State& state, Book& b)
{
    const double day = b.module.LastDate + 1;
    for (auto _ : state) {
        const auto found = std::find_if(
            b.plain.movements.begin(), b.plain.movements.end(),
            [day](const baseline::Movement& movement) { return movement.date == day; });
        benchmark::DoNotOptimize(found);
    }
}

void totalsLoop(benchmark::State& state, Book& b)
{
    const double first = b.plain.movements.empty() ? 0 : b.module.FirstDate;
    const double last = b.plain.movements.empty() ? 0 : b.module.LastDate;
    for (auto _ : state) {
        const auto totals = baseline::totalsByCategory(b.plain.movements, first, last);
        benchmark::DoNotOptimize(totals.data());
    }
}

// The table ---------------------------------------------------------------------------

using Measure = std::function<void(benchmark::State&, Book&)>;

struct Operation
{
    std::string name;
    std::string baselineName;
    Measure ours;
    Measure baseline;
    double goalRatio = 0;        // 0: no ratio goal
    double goalMilliseconds = 0; // 0: no absolute goal
};

// Printed beside a goal the last measured run missed, with RESULTS.md giving the profile.
std::string missedBecause(const std::string& operation)
{
    static const std::map<std::string, std::string> reasons{
        {"comparison, whole span", "it reads each record's category name, a second cache "
                                   "line the summary never touches"},
        {"time series, length 1", "7,313 periods of 33 sums and cells beyond the walk"},
        {"Locate Date, no match (scan)",
         "records of about 110 bytes read against 64-byte structs; the scan takes less "
         "than RecomputeSummary's pass over the same records"},
        {"time series, length 30", "it reads each record's category name, a second cache "
                                   "line the summary never touches"},
        {"time series, length 365", "it reads each record's category name, a second cache "
                                    "line the summary never touches"},
    };
    const auto reason = reasons.find(operation);
    return reason == reasons.end() ? "see bench/RESULTS.md" : reason->second;
}

std::vector<Operation> operations()
{
    using baseline::Column;
    return {
        {"OpenDocument plain", "read + decode to structs", openPlain, readAndDecode, 3},
        {"OpenDocument encrypted", "read + ECB + decode", openEncrypted, readDecryptAndDecode},
        {"  cipher part: DecryptStream", "Crypto++ Blowfish ECB", decryptPayload, ecbDecrypt, 1.3},
        {"SaveDocument plain", "encode + write", savePlain, encodeAndWrite, 3},
        {"SaveDocument encrypted", "encode + ECB + write", saveEncrypted, encodeEncryptAndWrite, 3},
        {"  cipher part: EncryptStream", "Crypto++ Blowfish CBC", encryptPayload, cbcEncrypt, 1.3},
        {"  (context) EncryptStream", "Crypto++ Blowfish ECB", encryptPayload, ecbEncrypt},
        {"RecomputeSummary", "plain summary loop", recomputeSummary, summaryLoop, 3},
        {"post one movement + recompute", "push_back + summary loop", postMovement,
         pushAndSummarize, 0, 50},
        {"SortByFields Date", "std::sort (day, index)",
         [](auto& s, auto& b) { sortOn(s, b, "Date", 0); },
         [](auto& s, auto& b) { sortPairs(s, b, Column::Date, false); }, 3},
        {"SortByFields Eispraxi desc", "std::sort (amount, index)",
         [](auto& s, auto& b) { sortOn(s, b, "Eispraxi", mtcoDescending); },
         [](auto& s, auto& b) { sortPairs(s, b, Column::Receipt, true); }, 3},
        {"SortByFields CatNum", "std::sort (number, index)",
         [](auto& s, auto& b) { sortOn(s, b, "CatNum", 0); },
         [](auto& s, auto& b) { sortPairs(s, b, Column::CatNum, false); }, 3},
        {"SortByFields Perigrafi", "std::sort (text, index)",
         [](auto& s, auto& b) { sortOn(s, b, "Perigrafi", 0); }, sortTextPairs, 3},
        {"Locate Date, no match (scan)", "std::find_if on the date", locateMissingDay,
         findMissingDay, 3},
        {"comparison, whole span", "RecomputeSummary's pass", compareWholeSpan, summaryPass, 2},
        {"time series, length 1", "RecomputeSummary's pass",
         [](auto& s, auto& b) { timeSeries(s, b, 1); }, summaryPass, 2},
        {"time series, length 30", "RecomputeSummary's pass",
         [](auto& s, auto& b) { timeSeries(s, b, 30); }, summaryPass, 2},
        {"time series, length 365", "RecomputeSummary's pass",
         [](auto& s, auto& b) { timeSeries(s, b, 365); }, summaryPass, 2},
        {"  (context) comparison", "loop summing by category", compareWholeSpan, totalsLoop},
        {"  (context) time series, 1", "loop summing by category",
         [](auto& s, auto& b) { timeSeries(s, b, 1); }, totalsLoop},
        {"  (context) time series, 30", "loop summing by category",
         [](auto& s, auto& b) { timeSeries(s, b, 30); }, totalsLoop},
        {"  (context) time series, 365", "loop summing by category",
         [](auto& s, auto& b) { timeSeries(s, b, 365); }, totalsLoop},
        {"import 10^5-row CSV: read+check", "read + split + strtod", importReadAndCheck,
         splitStatement, 0, 1000},
        {"import 10^5-row CSV: bulk step", "push_back + summary loop", importBulkStep,
         pushStatementAndSummarize, 0, 300},
    };
}

std::string benchmarkName(size_t operation, bool ours, int size)
{
    return std::to_string(operation) + (ours ? "/ours/" : "/baseline/") + std::to_string(size);
}

// Collects the CPU time per iteration of every run, in milliseconds, and shows progress.
class CollectingReporter : public benchmark::BenchmarkReporter
{
public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration)
                continue;
            const double ms =
                run.GetAdjustedCPUTime() * 1000.0 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            times[run.run_name.function_name] = ms;
            std::fprintf(stderr, "  %-28s %10.3f ms  (%lld iterations)\n",
                         run.run_name.function_name.c_str(), ms,
                         static_cast<long long>(run.iterations));
        }
    }

    std::map<std::string, double> times;
};

void printTable(const std::vector<Operation>& ops, const std::vector<int>& sizes,
                const std::map<std::string, double>& times)
{
    std::printf("\n%-32s %9s %12s %12s %8s  %-27s %s\n", "operation", "size", "ours ms",
                "baseline ms", "ratio", "baseline", "goal (1,000,000)");
    for (size_t i = 0; i < ops.size(); ++i) {
        for (const int size : sizes) {
            const auto ours = times.find(benchmarkName(i, true, size));
            const auto base = times.find(benchmarkName(i, false, size));
            if (ours == times.end() || base == times.end())
                continue;
            const double ratio = base->second > 0 ? ours->second / base->second : 0;
            std::string goal;
            if (ops[i].goalRatio > 0) {
                char text[32];
                std::snprintf(text, sizeof text, "<= %.1fx", ops[i].goalRatio);
                goal = text;
                if (size == 1000000)
                    goal += ratio <= ops[i].goalRatio ? "  met"
                                                      : "  MISSED: " + missedBecause(ops[i].name);
            } else if (ops[i].goalMilliseconds > 0) {
                goal = "<= " + std::to_string(static_cast<int>(ops[i].goalMilliseconds)) + " ms";
                if (size == 1000000)
                    goal += ours->second <= ops[i].goalMilliseconds
                                ? "  met"
                                : "  MISSED: " + missedBecause(ops[i].name);
            }
            std::printf("%-32s %9d %12.3f %12.3f %8.2f  %-27s %s\n", ops[i].name.c_str(), size,
                        ours->second, base->second, ratio, ops[i].baselineName.c_str(),
                        size == 1000000 || !goal.empty() ? goal.c_str() : "");
        }
    }
    std::printf("(CPU time per operation, the same run for both sides)\n");
}

// Resident memory --------------------------------------------------------------------

long residentKilobytes(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::strtol(line.c_str() + std::string(key).size(), nullptr, 10);
    }
    return -1;
}

int reportMemory(int size)
{
    // The book is written by a child process so that its buffers do not count here.
    const pid_t child = ::fork();
    if (child == 0) {
        generateBook(gBooksDirectory, size);
        std::_Exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const BookFiles files{gBooksDirectory + "/book-" + std::to_string(size) + ".tmk", {}};
    const double fileMb = static_cast<double>(std::filesystem::file_size(files.plain)) / 1048576.0;

    const long before = residentKilobytes("VmRSS:");
    DataMod module;
    module.OpenDocument(files.plain);
    const long after = residentKilobytes("VmRSS:");
    const long peak = residentKilobytes("VmHWM:");
    const double afterMb = static_cast<double>(after) / 1024.0;
    const double limitMb = 4 * fileMb + 50;
    std::printf("\nresident memory after opening the %d-movement book: %.1f MB "
                "(%.1f MB before, peak %.1f MB); file %.1f MB\n",
                module.LogTable.rowCount(), afterMb, static_cast<double>(before) / 1024.0,
                static_cast<double>(peak) / 1024.0, fileMb);
    std::printf("  = %.2f x the file size (%.2f x counting only what the book added); "
                "goal <= 4 x file + 50 MB = %.1f MB: %s\n",
                afterMb / fileMb, static_cast<double>(after - before) / 1024.0 / fileMb, limitMb,
                afterMb <= limitMb ? "met" : "MISSED");
    return 0;
}

// The resident memory that importing the 100,000-row statement adds to an opened book,
// at its peak (read, checked and put into the book).
int reportImportMemory(int size)
{
    const pid_t child = ::fork();
    if (child == 0) {
        generateBook(gBooksDirectory, size);
        generateStatement(gBooksDirectory, kStatementRows);
        std::_Exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::string bookFile = gBooksDirectory + "/book-" + std::to_string(size) + ".tmk";
    const std::string statement = generateStatement(gBooksDirectory, kStatementRows);
    const double fileMb = static_cast<double>(std::filesystem::file_size(statement)) / 1048576.0;

    DataMod module;
    module.OpenDocument(bookFile);
    const long book = residentKilobytes("VmRSS:");
    std::ofstream("/proc/self/clear_refs") << "5"; // the peak counts from here
    long peak = 0;
    int imported = 0;
    {
        const import::ImportPreview preview = import::previewImport(
            import::readImportFile(statement, {}), module.CatTable, module.LogTable);
        imported = import::applyImport(module, preview).imported;
        peak = residentKilobytes("VmHWM:");
    }
    ::malloc_trim(0);
    // What stays is the book with its new movements; the rest was the import's.
    const long after = residentKilobytes("VmRSS:");
    const auto mb = [](long kilobytes) {
        return static_cast<double>(kilobytes) / 1024.0;
    };
    const double importMb = mb(peak - after);
    std::printf("\nimport of the %d-row statement (%.1f MB) into the %d-movement book: %d "
                "imported; resident %.1f MB before, peak %.1f MB, %.1f MB after\n",
                kStatementRows, fileMb, size, imported, mb(book), mb(peak), mb(after));
    std::printf("  the book grew by %.1f MB; the import took %.1f MB more at its peak = "
                "%.2f x the file size; goal <= 3 x file = %.1f MB: %s\n",
                mb(after - book), importMb, importMb / fileMb, 3 * fileMb,
                importMb <= 3 * fileMb ? "met" : "MISSED");
    return 0;
}

std::vector<int> parseSizes(const std::string& list)
{
    std::vector<int> sizes;
    size_t at = 0;
    while (at < list.size()) {
        const size_t end = std::min(list.find(',', at), list.size());
        sizes.push_back(std::stoi(list.substr(at, end - at)));
        at = end + 1;
    }
    return sizes;
}

} // namespace
} // namespace tamisko::bench

int main(int argc, char** argv)
{
    using namespace tamisko::bench;
    std::vector<int> sizes{10000, 100000, 1000000};
    int memorySize = 0;
    int importMemorySize = 0;
    int iterations = 0; // 0: as many as the minimum time takes
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--sizes=", 0) == 0)
            sizes = parseSizes(arg.substr(8));
        else if (arg.rfind("--books=", 0) == 0)
            gBooksDirectory = arg.substr(8);
        else if (arg.rfind("--memory=", 0) == 0)
            memorySize = std::stoi(arg.substr(9));
        else if (arg.rfind("--import-memory=", 0) == 0)
            importMemorySize = std::stoi(arg.substr(16));
        else if (arg.rfind("--iterations=", 0) == 0)
            iterations = std::stoi(arg.substr(13));
        else
            rest.push_back(argv[i]);
    }
    if (memorySize > 0)
        return reportMemory(memorySize);
    if (importMemorySize > 0)
        return reportImportMemory(importMemorySize);

    const std::vector<Operation> ops = operations();
    for (const int size : sizes) {
        for (size_t i = 0; i < ops.size(); ++i) {
            for (const bool ours : {true, false}) {
                const Measure measure = ours ? ops[i].ours : ops[i].baseline;
                auto* registered = benchmark::RegisterBenchmark(
                    benchmarkName(i, ours, size).c_str(),
                    [measure, size](benchmark::State& state) { measure(state, book(size)); });
                registered->Unit(benchmark::kMillisecond);
                if (iterations > 0)
                    registered->Iterations(iterations);
                else
                    registered->MinTime(0.3);
            }
        }
    }
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printTable(ops, sizes, reporter.times);
    benchmark::Shutdown();
    return 0;
}
