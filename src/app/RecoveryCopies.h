#pragma once

#include <memory>
#include <QDateTime>
#include <QString>
#include <vector>

class QLockFile;

namespace tamisko {

// A recovery copy in the recovery folder: the document's bytes "ID.tmk", what it is a copy
// of "ID.ini", and "ID.lock", held by the program that writes it for as long as it runs.
struct RecoveryCopy
{
    QString id;
    QString documentPath; // ID.tmk
    QString book;         // the book it is a copy of; empty for an untitled document
    QString name;         // the document's name as the file menu knew it
    QDateTime written;
    std::shared_ptr<QLockFile> lock; // held while the copy is being dealt with
};

// The name of a copy's files in the folder.
QString recoveryFilePath(const QString& folder, const QString& id, const QString& suffix);

// The description beside a copy, as text.
QString recoveryDescription(const QString& book, const QString& name);

// The copies that no running program holds and that are newer than their book (or of
// an untitled document), newest first; each comes with its lock taken.
std::vector<RecoveryCopy> pendingRecoveryCopies(const QString& folder);

// Removes a copy's files and releases its lock.
void removeRecoveryCopy(const QString& folder, const QString& id);

} // namespace tamisko
