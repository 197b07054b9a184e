#pragma once

#include "data/ByteStream.h"
#include "data/Errors.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tamisko {

class FileCipher;

// A document file is one marker byte followed by the payload, plain or encrypted.
inline constexpr uint8_t kPlainMarker = 33;     // '!'
inline constexpr uint8_t kEncryptedMarker = 42; // '*'

// A file that cannot be created, opened, read or written; the message names the file
// and the reason the system gave.
class FileSystemError final : public Error
{
public:
    using Error::Error;
};

// Fills in the password (cp1253) of an encrypted file; empty when the user cancelled.
using PasswordCallback = std::function<void(std::string& password)>;

// Replaces a file by the given bytes through a temporary file in the same folder that is
// flushed to disk and renamed over the target only when everything was written; on any
// failure the previous file is untouched, the temporary file removed and a
// tamisko::Error names the file and the reason. A symbolic link is followed.
void ReplaceFileContents(const std::string& fileName, std::span<const uint8_t> content);
// The same, the file then having exactly these permissions (0600: the owner's only).
void ReplaceFileContents(const std::string& fileName, std::span<const uint8_t> content,
                         unsigned permissions);

// A file's new content written piece by piece, as ReplaceFileContents writes it: into a
// temporary file beside it that takes the file's place at commit(). Without a commit (a
// failure on the way) the file stays as it was and the temporary file goes.
class FileReplacement final
{
public:
    // Permissions as given, else the file's own, else those of a new file.
    explicit FileReplacement(const std::string& fileName,
                             std::optional<unsigned> permissions = std::nullopt);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    void write(std::span<const uint8_t> bytes);
    void commit();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Writes the payload behind its marker, encrypted when a cipher is given and the
// password is not empty, through ReplaceFileContents. An empty payload writes nothing.
void SaveProtectedStream(ByteStream& source, std::string_view password, const std::string& fileName,
                         FileCipher* cipher);

// A document file's whole content for the payload, as SaveProtectedStream writes it.
std::vector<uint8_t> EncodeDocument(ByteStream& source, std::string_view password,
                                    FileCipher* cipher);

// The payload of a document file's whole content; what LoadProtectedStream does once
// the file is read. An empty content raises SilentAbort.
ByteStream DecodeDocument(std::span<const uint8_t> content, FileCipher* cipher,
                          const PasswordCallback& onPassword);

// Reads a document file into a payload positioned at 0; nothing when the file does not
// exist. An empty file raises SilentAbort. Any marker other than the plain one is
// decrypted when a cipher and a callback are given; the callback is asked for the key.
std::optional<ByteStream> LoadProtectedStream(const std::string& fileName, FileCipher* cipher,
                                              const PasswordCallback& onPassword);

} // namespace tamisko
