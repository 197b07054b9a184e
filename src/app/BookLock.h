#pragma once

#include <memory>
#include <QString>

class QLockFile;

namespace tamisko {

// How a book may be opened, once its lock has been looked at.
enum class BookAccess
{
    ReadWrite,
    ReadOnly,
    Cancelled
};

// The lock beside a book that keeps a second copy of the program (here or on another
// computer) from writing it too. A stale lock, whose process is gone, is taken over.
class BookLock
{
public:
    explicit BookLock(const QString& book);
    ~BookLock();
    BookLock(const BookLock&) = delete;
    BookLock& operator=(const BookLock&) = delete;

    // True when the lock is ours now. False when another running program holds it (see
    // holder()) or when it cannot be written (a folder without write permission).
    bool tryLock();
    bool isLocked() const;
    bool heldByOther() const;
    // "the program «tamisko» (process 1234) on the computer «vm» since 1/5/2024 13:45",
    // in Greek.
    QString holder() const;

    const QString& book() const { return book_; }

private:
    QString book_;
    std::unique_ptr<QLockFile> lock_;
};

// Takes the book's lock, asking "Σε χρήση" when another program holds it: read-only,
// open anyway (the lock stays the other's), or cancel. The lock is returned taken, or
// null when it is not ours.
BookAccess lockBookForOpening(const QString& book, std::unique_ptr<BookLock>& lock);

} // namespace tamisko
