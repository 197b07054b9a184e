#include "ImportBench.h"

#include "data/DataMdl.h"
#include "data/DayNumber.h"
#include "data/import/ImportFile.h"
#include "data/import/ImportPlan.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace tamisko::bench {

std::string generateStatement(const std::string& directory, int rows)
{
    const std::string path = directory + "/statement-" + std::to_string(rows) + ".csv";
    if (std::filesystem::exists(path))
        return path;
    std::filesystem::create_directories(directory);
    static const char* const phrases[] = {
        "ΣΟΥΠΕΡ ΜΑΡΚΕΤ ΣΚΛΑΒΕΝΙΤΗΣ",
        "ΦΟΥΡΝΟΣ ΠΑΠΑΔΟΠΟΥΛΟΣ",
        "ΒΕΝΖΙΝΗ SHELL ΑΘΗΝΩΝ",
        "ΔΕΗ ΛΟΓΑΡΙΑΣΜΟΣ ΡΕΥΜΑΤΟΣ",
        "ΕΥΔΑΠ ΛΟΓΑΡΙΑΣΜΟΣ ΝΕΡΟΥ",
        "COSMOTE ΚΙΝΗΤΟ",
        "ΦΑΡΜΑΚΕΙΟ ΚΕΝΤΡΟΥ",
        "ΤΑΒΕΡΝΑ Ο ΜΙΧΑΛΗΣ",
        "ΜΙΣΘΟΔΟΣΙΑ",
        "ΤΟΚΟΙ ΚΑΤΑΘΕΣΕΩΝ",
        "ΔΟΣΗ ΣΤΕΓΑΣΤΙΚΟΥ",
        "ΚΟΙΝΟΧΡΗΣΤΑ ΠΟΛΥΚΑΤΟΙΚΙΑΣ",
        "σούπερ μάρκετ",
        "λαϊκή αγορά",
        "καφές με φίλους",
    };
    std::mt19937 random(20240101);
    std::ofstream out(path, std::ios::binary);
    out << "Αριθμός λογαριασμού;GR1601101250000000012300695;;;\n"
           "Περίοδος;01/01/2023 - 31/12/2024;;;\n"
           "Ημ/νία;Ημ/νία αξίας;Αιτιολογία;Ποσό;Υπόλοιπο\n";
    const int32_t first = days::fromCivil({2023, 1, 1});
    double balance = 10000;
    for (int i = 0; i < rows; ++i) {
        const auto civil = days::toCivil(first + static_cast<int32_t>(i * 730LL / rows));
        const char* phrase = phrases[random() % std::size(phrases)];
        const bool receipt = random() % 12 == 0;
        const double amount =
            (receipt ? 1 : -1) * (1 + static_cast<double>(random() % 20000) / 100);
        balance += amount;
        char line[256];
        std::snprintf(line, sizeof line, "%02d/%02d/%04d;%02d/%02d/%04d;%s %05d;%.2f;%.2f\n",
                      civil.day, civil.month, civil.year, civil.day, civil.month, civil.year,
                      phrase, static_cast<int>(random() % 100000), amount, balance);
        std::string text(line);
        // Greek banks write decimal commas.
        for (char& c : text) {
            if (c == '.')
                c = ',';
        }
        out << text;
    }
    out << "Σύνολο;;;;\n";
    return path;
}

int readAndCheckStatement(const std::string& statement, DataMod& book)
{
    const import::ImportPreview preview =
        import::previewImport(import::readImportFile(statement, {}), book.CatTable, book.LogTable);
    return preview.includedCount();
}

} // namespace tamisko::bench
