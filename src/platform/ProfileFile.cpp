#include "platform/ProfileFile.h"

#include "platform/InstallLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tamisko {
namespace {

std::optional<QString> sectionName(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith(u'[') || !trimmed.endsWith(u']'))
        return std::nullopt;
    return trimmed.mid(1, trimmed.size() - 2).trimmed();
}

// The key of an entry line, or nothing for comments and other lines.
std::optional<QString> entryKey(const QString& line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals <= 0 || line.trimmed().startsWith(u';'))
        return std::nullopt;
    return line.left(equals).trimmed();
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniDocument IniDocument::parse(const QString& text)
{
    IniDocument document;
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        document.lines_.push_back(std::move(line));
    }
    while (!document.lines_.empty() && document.lines_.back().isEmpty())
        document.lines_.pop_back();
    return document;
}

QString IniDocument::toText() const
{
    QString text;
    for (const QString& line : lines_) {
        text += line;
        text += u'\n';
    }
    return text;
}

qsizetype IniDocument::sectionStart(const QString& section) const
{
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (const auto name = sectionName(lines_[i]); name && sameName(*name, section))
            return static_cast<qsizetype>(i);
    }
    return -1;
}

qsizetype IniDocument::sectionEnd(qsizetype start) const
{
    auto end = static_cast<size_t>(start) + 1;
    while (end < lines_.size() && !sectionName(lines_[end]))
        ++end;
    return static_cast<qsizetype>(end);
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const
{
    const qsizetype start = sectionStart(section);
    if (start < 0)
        return std::nullopt;
    for (qsizetype i = start + 1; i < sectionEnd(start); ++i) {
        const QString& line = lines_[static_cast<size_t>(i)];
        if (const auto lineKey = entryKey(line); lineKey && sameName(*lineKey, key))
            return line.mid(line.indexOf(u'=') + 1).trimmed();
    }
    return std::nullopt;
}

QStringList IniDocument::keys(const QString& section) const
{
    QStringList keys;
    const qsizetype start = sectionStart(section);
    if (start < 0)
        return keys;
    for (qsizetype i = start + 1; i < sectionEnd(start); ++i) {
        if (const auto key = entryKey(lines_[static_cast<size_t>(i)]))
            keys.append(*key);
    }
    return keys;
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value)
{
    const QString entry = key + u'=' + value;
    qsizetype start = sectionStart(section);
    if (start < 0) {
        if (!lines_.empty() && !lines_.back().trimmed().isEmpty())
            lines_.emplace_back();
        lines_.push_back(u'[' + section + u']');
        lines_.push_back(entry);
        return;
    }
    const qsizetype end = sectionEnd(start);
    qsizetype insertAt = start + 1;
    for (qsizetype i = start + 1; i < end; ++i) {
        QString& line = lines_[static_cast<size_t>(i)];
        if (const auto lineKey = entryKey(line)) {
            if (sameName(*lineKey, key)) {
                line = entry;
                return;
            }
        }
        if (!line.trimmed().isEmpty())
            insertAt = i + 1; // after the section's last non-blank line
    }
    lines_.insert(lines_.begin() + insertAt, entry);
}

void IniDocument::removeSection(const QString& section)
{
    const qsizetype start = sectionStart(section);
    if (start < 0)
        return;
    lines_.erase(lines_.begin() + start, lines_.begin() + sectionEnd(start));
}

ProfileFile::ProfileFile(QString path) : path_(std::move(path)) {}

std::optional<IniDocument> ProfileFile::read() const
{
    QFile file(path_);
    if (!file.exists())
        return IniDocument{};
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return IniDocument::parse(QString::fromUtf8(file.readAll()));
}

bool ProfileFile::write(const IniDocument& document) const
{
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = document.toText().toUtf8();
    return file.write(bytes) == bytes.size() && file.commit();
}

bool ProfileFile::update(const std::function<void(IniDocument&)>& change) const
{
    auto document = read();
    if (!document)
        return false;
    change(*document);
    return write(*document);
}

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& defaultValue) const
{
    const auto document = read();
    if (!document)
        return defaultValue;
    return document->value(section, key).value_or(defaultValue);
}

int ProfileFile::readInteger(const QString& section, const QString& key, int defaultValue) const
{
    bool ok = false;
    const int value = readString(section, key).toInt(&ok);
    return ok ? value : defaultValue;
}

QStringList ProfileFile::readSectionKeys(const QString& section) const
{
    const auto document = read();
    return document ? document->keys(section) : QStringList{};
}

bool ProfileFile::writeString(const QString& section, const QString& key,
                              const QString& value) const
{
    return update([&](IniDocument& document) { document.setValue(section, key, value); });
}

bool ProfileFile::writeInteger(const QString& section, const QString& key, int value) const
{
    return writeString(section, key, QString::number(value));
}

bool ProfileFile::eraseSection(const QString& section) const
{
    return update([&](IniDocument& document) { document.removeSection(section); });
}

QString GetExeDir()
{
    return QDir(QCoreApplication::applicationDirPath()).absolutePath() + u'/';
}

QString CapitalizeFirst(const QString& text)
{
    QString result = text;
    for (QChar& c : result) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    if (!result.isEmpty() && result[0] >= u'a' && result[0] <= u'z')
        result[0] = QChar(result[0].unicode() - (u'a' - u'A'));
    return result;
}

QString iniFileNameFor(const QString& executablePath)
{
    QString name = QFileInfo(executablePath).fileName();
    if (const qsizetype dot = name.lastIndexOf(u'.'); dot > 0)
        name.truncate(dot);
    return CapitalizeFirst(name) + QStringLiteral(".ini");
}

QString GetIniFileName()
{
    return ProfileDir() + iniFileNameFor(QCoreApplication::applicationFilePath());
}

QString ProfileDir()
{
    return preparedProfileDir();
}

} // namespace tamisko
