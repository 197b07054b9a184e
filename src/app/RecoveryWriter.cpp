#include "app/RecoveryWriter.h"

#include "app/RecoveryCopies.h"
#include "data/DocumentFile.h"

#include <mutex>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QtDebug>

namespace tamisko {

// What the worker needs of one document's copy; it alone touches the files.
struct RecoveryWriter::Session
{
    QString folder;
    QString id;
    std::mutex mutex; // guards book, name and lock between the two threads
    QString book;
    QString name;
    std::shared_ptr<QLockFile> lock;
};

namespace {

std::string nativeName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString newId()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) +
           QStringLiteral("-%1").arg(QCoreApplication::applicationPid());
}

} // namespace

RecoveryWriter::RecoveryWriter(QString folder, Snapshot snapshot, QObject* parent)
    : QObject(parent), session_(std::make_shared<Session>()), snapshot_(std::move(snapshot))
{
    session_->folder = std::move(folder);
    session_->id = newId();
    pool_.setMaxThreadCount(1);
    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &RecoveryWriter::writeNow);
}

RecoveryWriter::~RecoveryWriter()
{
    pool_.waitForDone();
}

const QString& RecoveryWriter::folder() const
{
    return session_->folder;
}

QString RecoveryWriter::documentPath() const
{
    return recoveryFilePath(session_->folder, session_->id, QStringLiteral(".tmk"));
}

void RecoveryWriter::newSession()
{
    auto next = std::make_shared<Session>();
    next->folder = session_->folder;
    next->id = newId();
    session_ = std::move(next);
}

void RecoveryWriter::begin(const QString& book, const QString& name)
{
    discard();
    newSession();
    session_->book = book;
    session_->name = name;
}

void RecoveryWriter::rename(const QString& book, const QString& name)
{
    const std::lock_guard guard(session_->mutex);
    session_->book = book;
    session_->name = name;
}

void RecoveryWriter::adopt(RecoveryCopy& copy, const QString& name)
{
    discard();
    auto adopted = std::make_shared<Session>();
    adopted->folder = session_->folder;
    adopted->id = copy.id;
    adopted->name = name; // an untitled document now, named after the original
    adopted->lock = std::move(copy.lock);
    session_ = std::move(adopted);
}

void RecoveryWriter::changed()
{
    if (!timer_.isActive())
        timer_.start();
}

void RecoveryWriter::writeNow()
{
    timer_.stop();
    if (!snapshot_)
        return;
    std::vector<uint8_t> bytes = snapshot_();
    if (bytes.size() <= 1)
        return;
    pool_.start([session = session_, bytes = std::move(bytes)] {
        const std::lock_guard guard(session->mutex);
        if (!QDir().mkpath(session->folder))
            return;
        QFile::setPermissions(session->folder,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!session->lock) {
            session->lock = std::make_shared<QLockFile>(
                recoveryFilePath(session->folder, session->id, QStringLiteral(".lock")));
            session->lock->setStaleLockTime(0);
            session->lock->tryLock(0);
        }
        const QByteArray description = recoveryDescription(session->book, session->name).toUtf8();
        try {
            ReplaceFileContents(
                nativeName(recoveryFilePath(session->folder, session->id, QStringLiteral(".ini"))),
                std::span(reinterpret_cast<const uint8_t*>(description.data()),
                          static_cast<size_t>(description.size())),
                0600);
            ReplaceFileContents(
                nativeName(recoveryFilePath(session->folder, session->id, QStringLiteral(".tmk"))),
                bytes, 0600);
        } catch (const std::exception& error) {
            // The document itself is untouched; the next change tries again.
            qWarning("Recovery copy not written: %s", error.what());
        }
    });
}

void RecoveryWriter::discard()
{
    timer_.stop();
    pool_.start([session = session_] {
        const std::lock_guard guard(session->mutex);
        removeRecoveryCopy(session->folder, session->id);
        session->lock.reset();
    });
}

void RecoveryWriter::waitForIdle()
{
    pool_.waitForDone();
}

} // namespace tamisko
