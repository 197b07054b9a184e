#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace tamisko {

using Sha256Digest = std::array<uint8_t, 32>;

Sha256Digest sha256(std::span<const uint8_t> bytes);

// What a file was when a document was read from it or written to it, so that a later
// save can tell whether someone else has replaced it meanwhile.
struct FileFingerprint
{
    bool exists = false;
    uint64_t size = 0;
    int64_t modifiedNanoseconds = 0; // since 1970, UTC
    Sha256Digest digest{};

    // The same bytes: a file only touched (a copy tool, a synchronised folder) is not a
    // change, and a change within the resolution of the modification time still is.
    bool sameContent(const FileFingerprint& other) const
    {
        return exists == other.exists && size == other.size && digest == other.digest;
    }
};

// A missing file gives exists = false; a file that cannot be read raises FileSystemError.
FileFingerprint fingerprintFile(const std::string& path);

} // namespace tamisko
