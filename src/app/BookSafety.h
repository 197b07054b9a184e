#pragma once

#include "app/BookLock.h"
#include "app/FileMenuHdl.h"
#include "app/RecoveryWriter.h"
#include "data/FileFingerprint.h"

#include <exception>
#include <future>
#include <memory>
#include <optional>
#include <QString>

namespace tamisko {

struct RecoveryCopy;

// The safety net around the open book: its lock, what its file was when last read or
// written (so that a save does not overwrite someone else's), the backup a save keeps of
// the file it replaces, and the recovery copy of unsaved changes. The main window calls
// it at every step of the document's life.
class BookSafety
{
public:
    // Folders default to the user's (backupFolder(), recoveryFolder()).
    BookSafety(RecoveryWriter::Snapshot snapshot, QString backupFolder = {},
               QString recoveryFolder = {});
    ~BookSafety();

    RecoveryWriter& recovery() { return *recovery_; }
    const QString& backupFolder() const { return backupFolder_; }
    bool readOnly() const { return readOnly_; }
    // The named book that is open, empty when none is (or it is an unsaved copy).
    const QString& book() const { return book_; }

    // Before opening: takes the book's lock or asks what to do.
    BookAccess prepareOpen(const QString& book);
    void opened(const QString& book, BookAccess access);
    void openFailed();

    // A new document, or an unsaved copy (a backup opened, say) named so.
    void untitled(const QString& name);
    void recovered(RecoveryCopy& copy, const QString& name);

    // Before Save writes the open book: has someone else changed it meanwhile?
    FileMenuHandler::SaveCheck checkBeforeSave(const QString& book);
    // Before any save: the target's lock when it is another book, and the backup of the
    // file it replaces. False when another program holds the target.
    bool prepareSave(const QString& target);
    void saved(const QString& target, const QString& name);
    void saveFailed();

    void changed() { recovery_->changed(); }
    // The program closes with the changes saved or dropped.
    void closed();

private:
    void keepBackup(const QString& target);
    void finishBackup();
    void reportBackupFailure(const QString& target, const std::exception& error);
    void remember(const QString& book);

    QString backupFolder_;
    std::unique_ptr<RecoveryWriter> recovery_;
    std::unique_ptr<BookLock> lock_;
    std::unique_ptr<BookLock> pendingLock_;
    QString book_;
    std::optional<FileFingerprint> fingerprint_;
    bool readOnly_ = false;
    bool backupFailureReported_ = false;
    std::future<void> backupWriting_; // the backup of the file a save replaces
    QString backupTarget_;
};

} // namespace tamisko
