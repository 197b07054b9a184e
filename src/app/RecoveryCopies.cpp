#include "app/RecoveryCopies.h"

#include "platform/ProfileFile.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace tamisko {
namespace {

const QString kSection = QStringLiteral("Recovery");

} // namespace

QString recoveryFilePath(const QString& folder, const QString& id, const QString& suffix)
{
    return folder + u'/' + id + suffix;
}

QString recoveryDescription(const QString& book, const QString& name)
{
    IniDocument document;
    document.setValue(kSection, QStringLiteral("Book"), book);
    document.setValue(kSection, QStringLiteral("Name"), name);
    return document.toText();
}

std::vector<RecoveryCopy> pendingRecoveryCopies(const QString& folder)
{
    std::vector<RecoveryCopy> copies;
    const QDir dir(folder);
    for (const QFileInfo& description :
         dir.entryInfoList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name)) {
        RecoveryCopy copy;
        copy.id = description.completeBaseName();
        copy.documentPath = recoveryFilePath(folder, copy.id, QStringLiteral(".tmk"));
        const QFileInfo document(copy.documentPath);
        if (!document.isFile())
            continue;
        auto lock =
            std::make_shared<QLockFile>(recoveryFilePath(folder, copy.id, QStringLiteral(".lock")));
        lock->setStaleLockTime(0);
        // Held: the program that writes it is still running.
        if (!lock->tryLock(0))
            continue;
        const auto text = ProfileFile(description.filePath()).read();
        if (!text)
            continue;
        copy.book = text->value(kSection, QStringLiteral("Book")).value_or(QString());
        copy.name = text->value(kSection, QStringLiteral("Name")).value_or(QString());
        copy.written = document.lastModified();
        if (!copy.book.isEmpty()) {
            const QFileInfo book(copy.book);
            // Saved after the copy was written: the copy holds nothing the book lacks.
            if (book.exists() && book.lastModified() >= copy.written)
                continue;
        }
        copy.lock = std::move(lock);
        copies.push_back(std::move(copy));
    }
    std::sort(copies.begin(), copies.end(),
              [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.written > b.written; });
    return copies;
}

void removeRecoveryCopy(const QString& folder, const QString& id)
{
    QFile::remove(recoveryFilePath(folder, id, QStringLiteral(".tmk")));
    QFile::remove(recoveryFilePath(folder, id, QStringLiteral(".ini")));
}

} // namespace tamisko
