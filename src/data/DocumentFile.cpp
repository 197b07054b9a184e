#include "data/DocumentFile.h"

#include "data/Errors.h"
#include "data/FileCipher.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tamisko {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void fail(std::string_view action, const std::string& fileName, int error)
{
    throw FileSystemError(std::string(action) + " \"" + fileName + "\": " + std::strerror(error));
}

// Owns a POSIX file descriptor.
class FileDescriptor final
{
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now so that a failing close (a delayed write error) can be reported.
    int close()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

void writeAll(int fd, const uint8_t* data, size_t size, const std::string& fileName)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail("Cannot write file", fileName, errno);
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
}

// Reads the file into a buffer of its size, grown only when the file grows meanwhile:
// a book of a million movements is 40 MB, and a buffer that doubles its way there copies
// and faults in its pages several times over.
// One read; 0 at the end of the file.
size_t readSome(int fd, uint8_t* buffer, size_t size, const std::string& fileName)
{
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0)
            return static_cast<size_t>(n);
        if (errno != EINTR)
            fail("Cannot read file", fileName, errno);
    }
}

// The rest of the file from the current offset. The size the system gives sizes the
// bytes once, so that a large document is neither copied while it grows nor touches
// more memory than its own size; a file that grew meanwhile is still read to its end.
std::vector<uint8_t> readRest(int fd, size_t expected, const std::string& fileName)
{
    std::vector<uint8_t> bytes;
    reserveLarge(bytes, expected);
    bytes.resize(expected);
    size_t got = 0;
    for (;;) {
        if (got < bytes.size()) {
            const size_t n = readSome(fd, bytes.data() + got, bytes.size() - got, fileName);
            if (n == 0)
                break;
            got += n;
            continue;
        }
        uint8_t chunk[65536];
        const size_t n = readSome(fd, chunk, sizeof chunk, fileName);
        if (n == 0)
            break;
        bytes.insert(bytes.end(), chunk, chunk + n);
        got += n;
    }
    bytes.resize(got);
    return bytes;
}

// The payload behind a document's marker, decrypted in place when the marker asks for it.
ByteStream decodePayload(uint8_t marker, std::vector<uint8_t> bytes, FileCipher* cipher,
                         const PasswordCallback& onPassword)
{
    ByteStream payload(std::move(bytes));
    if (cipher != nullptr && marker != kPlainMarker && onPassword) {
        std::string password;
        onPassword(password);
        cipher->InitKey(password);
        // Decrypted in place: the payload is the only buffer of the document's size.
        cipher->DecryptStream(payload, payload, payload.size());
    }
    payload.setPosition(0);
    return payload;
}

mode_t permissionsForNewFile()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A temporary file next to the target that removes itself unless it was renamed.
class TemporaryFile final
{
public:
    TemporaryFile(const fs::path& target, mode_t permissions)
        : target_(target.string()),
          path_((target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string()),
          fd_(::mkstemp(path_.data()))
    {
        if (!fd_.valid())
            fail("Cannot create file", target_, errno);
        if (::fchmod(fd_.get(), permissions) != 0)
            fail("Cannot create file", target_, errno);
    }
    ~TemporaryFile()
    {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    void write(std::span<const uint8_t> piece)
    {
        writeAll(fd_.get(), piece.data(), piece.size(), target_);
    }

    void replaceTarget()
    {
        if (::fsync(fd_.get()) != 0 || fd_.close() != 0)
            fail("Cannot write file", target_, errno);
        if (::rename(path_.c_str(), target_.c_str()) != 0)
            fail("Cannot replace file", target_, errno);
        path_.clear();
    }

private:
    std::string target_;
    std::string path_;
    FileDescriptor fd_;
};

// Makes the rename itself durable; a failure here no longer endangers any data.
void syncDirectory(const fs::path& directory)
{
    const FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY));
    if (dir.valid())
        ::fsync(dir.get());
}

// A symbolic link is followed, so that the file it names is replaced, not the link.
fs::path resolveTarget(const std::string& fileName)
{
    fs::path target = fs::absolute(fileName);
    std::error_code error;
    if (fs::is_symlink(target, error)) {
        const fs::path resolved = fs::weakly_canonical(target, error);
        if (!error)
            target = resolved;
    }
    return target;
}

// The file's content is the pieces one after the other, so that a marker and a payload
// need not be joined in a copy first.
void replaceFile(const std::string& fileName, std::span<const std::span<const uint8_t>> pieces,
                 std::optional<unsigned> permissions = std::nullopt)
{
    FileReplacement replacement(fileName, permissions);
    for (const std::span<const uint8_t> piece : pieces)
        replacement.write(piece);
    replacement.commit();
}

} // namespace

struct FileReplacement::Impl final
{
    Impl(fs::path target, mode_t permissions)
        : target(std::move(target)), temporary(this->target, permissions)
    {}
    fs::path target;
    TemporaryFile temporary;
};

FileReplacement::FileReplacement(const std::string& fileName, std::optional<unsigned> permissions)
{
    fs::path target = resolveTarget(fileName);
    struct stat existing
    {};
    const mode_t mode = permissions ? static_cast<mode_t>(*permissions & 07777)
                        : ::stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777)
                                                                 : permissionsForNewFile();
    impl_ = std::make_unique<Impl>(std::move(target), mode);
}

FileReplacement::~FileReplacement() = default;

void FileReplacement::write(std::span<const uint8_t> bytes)
{
    impl_->temporary.write(bytes);
}

void FileReplacement::commit()
{
    impl_->temporary.replaceTarget();
    syncDirectory(impl_->target.parent_path());
}

void ReplaceFileContents(const std::string& fileName, std::span<const uint8_t> content)
{
    replaceFile(fileName, std::span(&content, 1));
}

void ReplaceFileContents(const std::string& fileName, std::span<const uint8_t> content,
                         unsigned permissions)
{
    replaceFile(fileName, std::span(&content, 1), permissions);
}

std::vector<uint8_t> EncodeDocument(ByteStream& source, std::string_view password,
                                    FileCipher* cipher)
{
    std::vector<uint8_t> content;
    reserveLarge(content, static_cast<size_t>(source.size()) + 1);
    if (cipher != nullptr && !password.empty()) {
        content.push_back(kEncryptedMarker);
        cipher->InitKey(password);
        source.setPosition(0);
        ByteStream encrypted(std::move(content));
        encrypted.setPosition(1);
        cipher->EncryptStream(source, encrypted, source.size());
        return std::move(encrypted.bytes());
    }
    content.push_back(kPlainMarker);
    const std::span<const uint8_t> payload = source.bytes();
    content.insert(content.end(), payload.begin(), payload.end());
    return content;
}

void SaveProtectedStream(ByteStream& source, std::string_view password, const std::string& fileName,
                         FileCipher* cipher)
{
    if (source.size() == 0)
        return;
    if (cipher != nullptr && !password.empty()) {
        std::vector<uint8_t> content;
        reserveLarge(content, static_cast<size_t>(source.size()) + 1);
        // The cipher text goes straight behind the marker: no second buffer of its size.
        content.push_back(kEncryptedMarker);
        cipher->InitKey(password);
        source.setPosition(0);
        ByteStream encrypted(std::move(content));
        encrypted.setPosition(1);
        cipher->EncryptStream(source, encrypted, source.size());
        content = std::move(encrypted.bytes());
        ReplaceFileContents(fileName, content);
        return;
    }
    // The payload is written as it is behind the marker, without a copy of its size.
    const uint8_t marker = kPlainMarker;
    const std::span<const uint8_t> pieces[] = {{&marker, 1}, source.bytes()};
    replaceFile(fileName, pieces);
}

std::optional<ByteStream> LoadProtectedStream(const std::string& fileName, FileCipher* cipher,
                                              const PasswordCallback& onPassword)
{
    const FileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.valid()) {
        if (errno == ENOENT)
            return std::nullopt;
        fail("Cannot open file", fileName, errno);
    }
    // The whole file is read before anything else, the marker apart, so that the payload
    // is read straight into its own bytes.
    struct stat info
    {};
    const size_t size = ::fstat(file.get(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0
                            ? static_cast<size_t>(info.st_size)
                            : 0;
    uint8_t marker = 0;
    if (readSome(file.get(), &marker, 1, fileName) == 0)
        throw SilentAbort();
    return decodePayload(marker, readRest(file.get(), size > 0 ? size - 1 : 0, fileName), cipher,
                         onPassword);
}

ByteStream DecodeDocument(std::span<const uint8_t> content, FileCipher* cipher,
                          const PasswordCallback& onPassword)
{
    if (content.empty())
        throw SilentAbort();
    return decodePayload(content.front(), std::vector<uint8_t>(content.begin() + 1, content.end()),
                         cipher, onPassword);
}

} // namespace tamisko
