// Feeds arbitrary bytes to the readers of delimited bank text and of QIF, as importing a
// file does, with detection on and then again with the settings it detected. A file the
// readers reject is an ImportError; anything else (a crash, a hang, another exception)
// is a bug.
#include "data/import/ImportFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tamisko::import;
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    for (const Format format : {Format::Delimited, Format::Qif}) {
        try {
            ReadSettings settings;
            settings.format = format;
            const ImportFile file = readImport(content, settings);
            // Reading again with what was detected gives a file as well.
            (void)readImport(content, file.settings);
        } catch (const ImportError&) {
            // a rejected file
        }
    }
    return 0;
}
