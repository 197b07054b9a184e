#include "BookGenerator.h"

#include "data/ByteStream.h"
#include "data/Cp1253.h"
#include "data/DataMdl.h"
#include "data/DayNumber.h"
#include "data/DocumentFile.h"
#include "data/FileCipher.h"
#include "data/RecordStream.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <random>
#include <vector>

namespace tamisko::bench {
namespace {

std::string cp(std::string_view utf8)
{
    return cp1253::fromUtf8OrThrow(utf8);
}

std::vector<std::string> categoryNames()
{
    std::vector<std::string> names = DefaultCategories();
    names.push_back(cp("δώρα"));
    names.push_back(cp("διακοπές"));
    return names;
}

const char* const kPhrases[] = {
    "σούπερ μάρκετ",
    "λαϊκή αγορά",
    "φούρνος",
    "περίπτερο",
    "βενζίνη",
    "εισιτήρια μετρό",
    "λογαριασμός ρεύματος",
    "λογαριασμός νερού",
    "κινητό τηλέφωνο",
    "φαρμακείο",
    "καφές με φίλους",
    "ταβέρνα",
    "δώρο γενεθλίων",
    "παπούτσια",
    "βιβλιοπωλείο",
    "εφημερίδα",
    "μισθοδοσία",
    "τόκοι καταθέσεων",
    "δόση στεγαστικού",
    "κοινόχρηστα πολυκατοικίας",
    "πετρέλαιο θέρμανσης",
    "ενοίκιο διαμερίσματος",
    "σινεμά",
    "θέατρο",
    "ιατρική επίσκεψη",
    "οδοντίατρος",
    "σχολικά είδη",
    "ηλεκτρική σκούπα",
    "επισκευή αυτοκινήτου",
    "ταξί",
    "διόδια",
    "συνδρομή γυμναστηρίου",
    "κρεοπωλείο",
    "ψαράδικο",
    "μανάβης",
    "ζαχαροπλαστείο",
    "πιτσαρία",
    "σουβλάκια",
    "χαρτικά γραφείου",
    "μελάνια εκτυπωτή",
};

const char* const kSuffixes[] = {
    " Ιανουαρίου",    " Φεβρουαρίου",       " Μαρτίου",    " Απριλίου",      " Μαΐου",
    " Ιουνίου",       " Ιουλίου",           " Αυγούστου",  " Σεπτεμβρίου",   " Οκτωβρίου",
    " Νοεμβρίου",     " Δεκεμβρίου",        " (Πειραιάς)", " (Θεσσαλονίκη)", " (Πάτρα)",
    " - Σκλαβενίτης", " - ΑΒ Βασιλόπουλος", " με κάρτα",   " μετρητά",       " για το σπίτι",
};

ByteStream payloadOf(int movements)
{
    const std::vector<std::string> categories = categoryNames();
    std::vector<std::string> phrases;
    for (const char* phrase : kPhrases)
        phrases.push_back(cp(phrase));
    std::vector<std::string> suffixes;
    for (const char* suffix : kSuffixes)
        suffixes.push_back(cp(suffix));

    ByteStream stream;
    const auto writeCount = [&stream](int count) {
        const auto value = static_cast<uint32_t>(count);
        const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                  static_cast<uint8_t>(value >> 16),
                                  static_cast<uint8_t>(value >> 24)};
        stream.write(bytes, 4);
    };

    // The category block in name order, as a saved book holds it.
    std::vector<int> byName(categories.size());
    for (size_t i = 0; i < byName.size(); ++i)
        byName[i] = static_cast<int>(i);
    const auto collation = greekCollation();
    std::sort(byName.begin(), byName.end(), [&](int a, int b) {
        return collation->compare(categories[static_cast<size_t>(a)],
                                  categories[static_cast<size_t>(b)], false) < 0;
    });
    writeCount(static_cast<int>(categories.size()));
    for (const int number : byName) {
        const std::array<Variant, 2> row{
            Variant::fromInt(number), Variant::fromString(categories[static_cast<size_t>(number)])};
        WriteValueRow(stream, row);
    }

    // Receipts go to the income categories, payments to the others.
    const std::string_view incomeNames[] = {"μισθός", "άλλα έσοδα", "λογ. τράπεζας"};
    std::vector<int> income;
    std::vector<int> expense;
    for (size_t i = 0; i < categories.size(); ++i) {
        const bool isIncome =
            std::any_of(std::begin(incomeNames), std::end(incomeNames),
                        [&](std::string_view n) { return cp(n) == categories[i]; });
        (isIncome ? income : expense).push_back(static_cast<int>(i));
    }

    std::mt19937_64 random(20240611u + static_cast<unsigned>(movements));
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::lognormal_distribution<double> spending(3.0, 1.0);
    const int32_t firstDay = days::fromCivil({2005, 1, 1});
    const int32_t spanDays = days::fromCivil({2024, 12, 31}) - firstDay;
    const auto pick = [&](const auto& list) {
        return list[static_cast<size_t>(unit(random) * static_cast<double>(list.size()))];
    };

    writeCount(movements);
    for (int i = 0; i < movements; ++i) {
        // Mostly in entry order; some movements are typed in a few days late.
        double day = firstDay + std::floor(static_cast<double>(i) * spanDays / movements);
        if (unit(random) < 0.2)
            day -= std::floor(unit(random) * 10);
        const bool isReceipt = unit(random) < 0.08;
        const int category = isReceipt ? pick(income) : pick(expense);
        const double amount = isReceipt ? std::round((800 + unit(random) * 2000) * 100) / 100
                                        : std::round(spending(random) * 100) / 100;
        Variant text = Variant::null();
        if (unit(random) < 0.85) {
            std::string description = pick(phrases);
            if (unit(random) < 0.5)
                description += pick(suffixes);
            text = Variant::fromString(std::move(description));
        }
        const std::array<Variant, 5> row{Variant::fromDate(day), Variant::fromInt(category),
                                         isReceipt ? Variant::fromDouble(amount) : Variant::null(),
                                         isReceipt ? Variant::null() : Variant::fromDouble(amount),
                                         std::move(text)};
        WriteValueRow(stream, row);
    }
    return stream;
}

} // namespace

std::string bookPassword()
{
    return cp("δοκιμή");
}

BookFiles generateBook(const std::string& directory, int movements)
{
    static std::map<std::pair<std::string, int>, BookFiles> written;
    const auto key = std::make_pair(directory, movements);
    if (const auto found = written.find(key); found != written.end())
        return found->second;

    std::filesystem::create_directories(directory);
    const std::string stem = directory + "/book-" + std::to_string(movements);
    BookFiles files{stem + ".tmk", stem + "-encrypted.tmk"};
    ByteStream payload = payloadOf(movements);
    SaveProtectedStream(payload, {}, files.plain, nullptr);
    FileCipher cipher;
    SaveProtectedStream(payload, bookPassword(), files.encrypted, &cipher);
    written.emplace(key, files);
    return files;
}

} // namespace tamisko::bench
