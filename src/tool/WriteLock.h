#pragma once

#include "data/LockFile.h"
#include "tool/Arguments.h"

#include <memory>
#include <string>

namespace tamisko::tool {

// The book's lock, held while a command writes the book, so that the program does not
// open it half-written and the command does not write under a program that has it open.
class WriteLock
{
public:
    WriteLock() = default;
    explicit WriteLock(std::unique_ptr<LockFile> lock) : lock_(std::move(lock)) {}

private:
    std::unique_ptr<LockFile> lock_;
};

// Takes the lock of the book a command is about to write. A book that a running program
// holds is refused with a tamisko::Error naming the holder, unless --force was given;
// then the holder's lock is left as it is. A stale lock is taken over.
WriteLock lockForWriting(const std::string& bookPath, const Arguments& arguments);

} // namespace tamisko::tool
