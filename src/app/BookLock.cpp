#include "app/BookLock.h"

#include "data/LockFile.h"
#include "platform/DialogService.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace tamisko {
namespace {

QString lockPathFor(const QString& book)
{
    const QFileInfo info(book);
    const QString path = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    return QFile::decodeName(lockFileNameFor(QFile::encodeName(path).toStdString()).c_str());
}

} // namespace

BookLock::BookLock(const QString& book)
    : book_(book), lock_(std::make_unique<QLockFile>(lockPathFor(book)))
{
    // A book stays open for hours: only a gone process makes the lock stale.
    lock_->setStaleLockTime(0);
}

BookLock::~BookLock() = default;

bool BookLock::tryLock()
{
    return lock_->tryLock(0);
}

bool BookLock::isLocked() const
{
    return lock_->isLocked();
}

bool BookLock::heldByOther() const
{
    return !lock_->isLocked() && lock_->error() == QLockFile::LockFailedError;
}

QString BookLock::holder() const
{
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock_->getLockInfo(&pid, &host, &application))
        return QStringLiteral("άλλο πρόγραμμα");
    const QDateTime since = QFileInfo(lock_->fileName()).lastModified();
    QString text = QStringLiteral("το πρόγραμμα «%1» (διεργασία %2)")
                       .arg(application.isEmpty() ? QStringLiteral(";") : application)
                       .arg(pid);
    if (!host.isEmpty())
        text += QStringLiteral(" στον υπολογιστή «%1»").arg(host);
    if (since.isValid())
        text += QStringLiteral(" από %1").arg(since.toString(QStringLiteral("d/M/yyyy HH:mm")));
    return text;
}

BookAccess lockBookForOpening(const QString& book, std::unique_ptr<BookLock>& lock)
{
    auto attempt = std::make_unique<BookLock>(book);
    if (attempt->tryLock()) {
        lock = std::move(attempt);
        return BookAccess::ReadWrite;
    }
    lock.reset();
    // A folder that cannot take the lock cannot take a save either: nothing to guard.
    if (!attempt->heldByOther())
        return BookAccess::ReadWrite;
    MessageRequest question;
    question.caption = QStringLiteral("Σε χρήση");
    question.text = QStringLiteral("Το αρχείο %1 είναι ήδη ανοιχτό από %2.\n\n"
                                   "Μπορείτε να το ανοίξετε μόνο για ανάγνωση, να το ανοίξετε "
                                   "παρ' όλα αυτά (οι αλλαγές του ενός μπορεί να σβήσουν τις "
                                   "αλλαγές του άλλου) ή να μην το ανοίξετε.")
                        .arg(book, attempt->holder());
    question.icon = QMessageBox::Warning;
    question.buttons = QMessageBox::Open | QMessageBox::Ignore | QMessageBox::Cancel;
    question.defaultButton = QMessageBox::Open;
    question.escapeButton = QMessageBox::Cancel;
    question.buttonTexts = {{QMessageBox::Open, QStringLiteral("Μόνο ανάγνωση")},
                            {QMessageBox::Ignore, QStringLiteral("Άνοιγμα παρ' όλα αυτά")},
                            {QMessageBox::Cancel, QStringLiteral("Άκυρο")}};
    switch (DialogService::instance().message(question)) {
    case QMessageBox::Open:
        return BookAccess::ReadOnly;
    case QMessageBox::Ignore:
        return BookAccess::ReadWrite;
    default:
        return BookAccess::Cancelled;
    }
}

} // namespace tamisko
