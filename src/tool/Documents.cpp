#include "tool/Documents.h"

#include "data/ByteStream.h"
#include "data/Cp1253.h"
#include "data/DataMdl.h"
#include "data/DocumentFile.h"
#include "data/Errors.h"
#include "data/FileCipher.h"

namespace tamisko::tool {
namespace {

// Runs a read and turns its failure into one line that names the file and, for an
// encrypted file, the likely cause; the core's message in it is UTF-8, as the file name.
void describingFailure(const std::string& fileName, const std::function<void(bool&)>& read)
{
    bool encrypted = false;
    try {
        read(encrypted);
    } catch (const SilentAbort&) {
        throw Error(fileName + ": the file is empty");
    } catch (const FileSystemError&) {
        throw;
    } catch (const Error& error) {
        throw Error(
            fileName + ": " +
            (encrypted ? "wrong password or not a valid document: " : "not a valid document: ") +
            cp1253::messageToUtf8(error.what()));
    }
}

} // namespace

DocumentTables::DocumentTables()
{
    DefineCatTable(categories);
    categories.setAutoSort(false);
    DefineLogTable(movements, categories);
}

void readDocument(const std::string& fileName, const std::string& password, DocumentTables& tables)
{
    describingFailure(fileName, [&](bool& encrypted) {
        FileCipher cipher;
        std::optional<ByteStream> payload =
            LoadProtectedStream(fileName, &cipher, [&](std::string& typed) {
                encrypted = true;
                typed = password;
            });
        if (!payload)
            throw FileSystemError("Cannot open file \"" + fileName + "\": the file does not exist");
        ReadDocumentPayload(*payload, tables.categories, tables.movements);
    });
}

void openDocument(const std::string& fileName, const std::string& password, DataMod& data)
{
    describingFailure(fileName, [&](bool& encrypted) {
        data.setPasswordPrompt([&](std::string& typed) {
            encrypted = true;
            typed = password;
            return true;
        });
        data.OpenDocument(fileName);
    });
}

void writeDocument(const std::string& fileName, const std::string& password, DocumentTables& tables)
{
    ByteStream payload;
    WriteDocumentPayload(payload, tables.categories, tables.movements);
    FileCipher cipher;
    SaveProtectedStream(payload, password, fileName, &cipher);
}

} // namespace tamisko::tool
