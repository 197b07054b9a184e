#include "data/FileFingerprint.h"

#include "data/DocumentFile.h"

#include <cerrno>
#include <cryptopp/sha.h>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tamisko {

Sha256Digest sha256(std::span<const uint8_t> bytes)
{
    Sha256Digest digest{};
    CryptoPP::SHA256().CalculateDigest(digest.data(), bytes.data(), bytes.size());
    return digest;
}

FileFingerprint fingerprintFile(const std::string& path)
{
    FileFingerprint fingerprint;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return fingerprint;
        throw FileSystemError("Cannot open file \"" + path + "\": " + std::strerror(errno));
    }
    struct stat info
    {};
    CryptoPP::SHA256 hash;
    uint8_t buffer[65536];
    uint64_t size = 0;
    bool failed = ::fstat(fd, &info) != 0;
    while (!failed) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            failed = errno != EINTR;
            continue;
        }
        hash.Update(buffer, static_cast<size_t>(n));
        size += static_cast<uint64_t>(n);
    }
    const int error = errno;
    ::close(fd);
    if (failed)
        throw FileSystemError("Cannot read file \"" + path + "\": " + std::strerror(error));
    fingerprint.exists = true;
    fingerprint.size = size;
    fingerprint.modifiedNanoseconds =
        static_cast<int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    hash.Final(fingerprint.digest.data());
    return fingerprint;
}

} // namespace tamisko
