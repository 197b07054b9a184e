// Feeds arbitrary bytes to the document reader the way opening a file does: the marker
// decides on decryption (under a fixed password), then the record stream is read
// strictly into fresh tables. Rejections are exceptions; anything else is a bug.
#include "data/ByteStream.h"
#include "data/Cp1253.h"
#include "data/DataMdl.h"
#include "data/DocumentFile.h"
#include "data/Errors.h"
#include "data/FileCipher.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tamisko;
    static const std::string password = cp1253::fromUtf8OrThrow("δοκιμή");
    try {
        FileCipher cipher;
        ByteStream payload = DecodeDocument(std::span(data, size), &cipher,
                                            [](std::string& typed) { typed = password; });
        MemTable categories("CatTable");
        MemTable movements("LogTable");
        DefineCatTable(categories);
        DefineLogTable(movements, categories);
        ReadDocumentPayload(payload, categories, movements);
        categories.sortByFields("Category", 0);
        ByteStream again;
        WriteDocumentPayload(again, categories, movements);
    } catch (const Error&) {
        // a rejected document
    }
    return 0;
}
