#include "app/BookSafety.h"

#include "app/RecoveryCopies.h"
#include "data/Backups.h"
#include "data/Errors.h"
#include "platform/DialogService.h"
#include "platform/UserFolders.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace tamisko {
namespace {

std::string nativeName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString samePathForm(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

bool sameFile(const QString& a, const QString& b)
{
    return !a.isEmpty() && !b.isEmpty() && samePathForm(a) == samePathForm(b);
}

} // namespace

BookSafety::BookSafety(RecoveryWriter::Snapshot snapshot, QString backups, QString recovery)
    : backupFolder_(backups.isEmpty() ? tamisko::backupFolder() : std::move(backups)),
      recovery_(std::make_unique<RecoveryWriter>(
          recovery.isEmpty() ? recoveryFolder() : std::move(recovery), std::move(snapshot)))
{}

BookSafety::~BookSafety()
{
    if (backupWriting_.valid())
        backupWriting_.wait();
}

BookAccess BookSafety::prepareOpen(const QString& book)
{
    pendingLock_.reset();
    // Opened again by this very program: the lock is ours already.
    if (lock_ && sameFile(book, lock_->book()))
        return BookAccess::ReadWrite;
    return lockBookForOpening(book, pendingLock_);
}

void BookSafety::opened(const QString& book, BookAccess access)
{
    if (!(lock_ && sameFile(book, lock_->book())))
        lock_ = std::move(pendingLock_);
    pendingLock_.reset();
    readOnly_ = access == BookAccess::ReadOnly;
    remember(book);
    recovery_->begin(samePathForm(book), book);
}

void BookSafety::openFailed()
{
    pendingLock_.reset();
}

void BookSafety::untitled(const QString& name)
{
    lock_.reset();
    book_.clear();
    fingerprint_.reset();
    readOnly_ = false;
    recovery_->begin(QString(), name);
}

void BookSafety::recovered(RecoveryCopy& copy, const QString& name)
{
    lock_.reset();
    book_.clear();
    fingerprint_.reset();
    readOnly_ = false;
    recovery_->adopt(copy, name);
}

void BookSafety::remember(const QString& book)
{
    book_ = book;
    try {
        fingerprint_ = fingerprintFile(nativeName(book));
    } catch (const Error&) {
        fingerprint_.reset();
    }
}

FileMenuHandler::SaveCheck BookSafety::checkBeforeSave(const QString& book)
{
    if (!fingerprint_ || !sameFile(book, book_))
        return FileMenuHandler::SaveCheck::Proceed;
    FileFingerprint now;
    try {
        now = fingerprintFile(nativeName(book));
    } catch (const Error&) {
        // Unreadable now: the save itself will say what is wrong.
        return FileMenuHandler::SaveCheck::Proceed;
    }
    if (now.sameContent(*fingerprint_))
        return FileMenuHandler::SaveCheck::Proceed;

    MessageRequest question;
    question.caption = QStringLiteral("Ταμίσκες");
    if (now.exists) {
        const QDateTime when =
            QDateTime::fromMSecsSinceEpoch(now.modifiedNanoseconds / 1'000'000).toLocalTime();
        question.text =
            QStringLiteral("Το αρχείο %1 άλλαξε στο δίσκο (%2) αφότου το ανοίξατε ή το "
                           "αποθηκεύσατε· κάποιος άλλος μπορεί να το αποθήκευσε.\n\n"
                           "Να αντικατασταθεί με το έγγραφο που έχετε ανοιχτό, να "
                           "αποθηκευτεί το έγγραφο με άλλο όνομα, ή να μην αποθηκευτεί;")
                .arg(book, when.toString(QStringLiteral("d/M/yyyy HH:mm:ss")));
    } else {
        question.text = QStringLiteral("Το αρχείο %1 δεν υπάρχει πια στο δίσκο.\n\n"
                                       "Να γραφτεί ξανά με το έγγραφο που έχετε ανοιχτό, να "
                                       "αποθηκευτεί το έγγραφο με άλλο όνομα, ή να μην "
                                       "αποθηκευτεί;")
                            .arg(book);
    }
    question.icon = QMessageBox::Warning;
    question.buttons = QMessageBox::Save | QMessageBox::SaveAll | QMessageBox::Cancel;
    question.defaultButton = QMessageBox::SaveAll;
    question.escapeButton = QMessageBox::Cancel;
    question.buttonTexts = {{QMessageBox::Save, QStringLiteral("Αντικατάσταση")},
                            {QMessageBox::SaveAll, QStringLiteral("Αποθήκευση ως...")},
                            {QMessageBox::Cancel, QStringLiteral("Άκυρο")}};
    switch (DialogService::instance().message(question)) {
    case QMessageBox::Save:
        return FileMenuHandler::SaveCheck::Proceed;
    case QMessageBox::SaveAll:
        return FileMenuHandler::SaveCheck::SaveAs;
    default:
        return FileMenuHandler::SaveCheck::Cancel;
    }
}

bool BookSafety::prepareSave(const QString& target)
{
    finishBackup();
    pendingLock_.reset();
    // The open book is written under its own lock, or, opened anyway, under none; a
    // book opened for reading only is written only once its lock is free.
    if (!sameFile(target, book_) || readOnly_) {
        auto lock = std::make_unique<BookLock>(target);
        if (!lock->tryLock() && lock->heldByOther()) {
            DialogService::instance().showError(
                QStringLiteral("Σε χρήση"),
                QStringLiteral("Το αρχείο %1 είναι ανοιχτό από %2 και δεν αποθηκεύτηκε.\n"
                               "Αποθηκεύστε το έγγραφο με άλλο όνομα.")
                    .arg(target, lock->holder()));
            return false;
        }
        pendingLock_ = std::move(lock);
    }
    keepBackup(target);
    return true;
}

void BookSafety::keepBackup(const QString& target)
{
    // The bytes are read now, before the save replaces them; they are written into the
    // backup folder while the save encodes and writes the book, and the save waits for
    // that only when it is done (finishBackup).
    try {
        std::optional<BackupFolder::PresentBytes> present =
            BackupFolder::read(nativeName(target), localTimeNow());
        if (!present)
            return;
        backupTarget_ = target;
        backupWriting_ =
            std::async(std::launch::async, [folder = BackupFolder(nativeName(backupFolder_)),
                                            present = std::move(*present)] {
                folder.write(present);
                folder.rotate(present.bookPath, present.when);
            });
    } catch (const std::exception& error) {
        reportBackupFailure(target, error);
    }
}

void BookSafety::finishBackup()
{
    if (!backupWriting_.valid())
        return;
    try {
        backupWriting_.get();
    } catch (const std::exception& error) {
        reportBackupFailure(backupTarget_, error);
    }
}

void BookSafety::reportBackupFailure(const QString& target, const std::exception& error)
{
    // The save matters more than its backup: said once, and the save goes on.
    if (backupFailureReported_)
        return;
    backupFailureReported_ = true;
    DialogService::instance().showWarning(
        QStringLiteral("Ταμίσκες"),
        QStringLiteral("Δεν κρατήθηκε αντίγραφο ασφαλείας του %1 στο φάκελο %2.\n%3\n\n"
                       "Η αποθήκευση γίνεται κανονικά· όσο ο φάκελος δεν μπορεί να "
                       "γραφτεί, δεν κρατούνται αντίγραφα.")
            .arg(target, backupFolder_, QString::fromStdString(error.what())));
}

void BookSafety::saved(const QString& target, const QString& name)
{
    finishBackup();
    if (pendingLock_)
        lock_ = std::move(pendingLock_);
    else if (!sameFile(target, book_))
        lock_.reset();
    readOnly_ = false;
    remember(target);
    recovery_->discard();
    recovery_->rename(samePathForm(target), name);
}

void BookSafety::saveFailed()
{
    finishBackup();
    pendingLock_.reset();
}

void BookSafety::closed()
{
    recovery_->discard();
    recovery_->waitForIdle();
    lock_.reset();
}

} // namespace tamisko
