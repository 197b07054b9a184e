#pragma once

#include <functional>
#include <optional>
#include <QString>
#include <QStringList>
#include <vector>

namespace tamisko {

// The text of an INI file: "[Section]" lines, then "key=value" lines. Keys and values are
// kept literally (no escaping, no quoting); sections and keys match without regard to
// case; every line not touched is written back as it was read.
class IniDocument final
{
public:
    static IniDocument parse(const QString& text);
    QString toText() const;

    std::optional<QString> value(const QString& section, const QString& key) const;
    QStringList keys(const QString& section) const;
    void setValue(const QString& section, const QString& key, const QString& value);
    void removeSection(const QString& section);

private:
    // Index of the section's header line, or -1.
    qsizetype sectionStart(const QString& section) const;
    // One past the section's last line.
    qsizetype sectionEnd(qsizetype start) const;

    std::vector<QString> lines_;
};

// A profile (INI) file on disk. Every call reads the file afresh and every write replaces
// it at once, so two objects on the same file never undo each other's sections.
// A missing file reads as empty; failures to write are reported by the result.
class ProfileFile final
{
public:
    explicit ProfileFile(QString path);

    const QString& path() const { return path_; }

    // Nothing when the file exists but cannot be read.
    std::optional<IniDocument> read() const;
    bool write(const IniDocument& document) const;
    // Several changes in one rewrite of the file.
    bool update(const std::function<void(IniDocument&)>& change) const;

    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue = {}) const;
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    QStringList readSectionKeys(const QString& section) const;

    bool writeString(const QString& section, const QString& key, const QString& value) const;
    bool writeInteger(const QString& section, const QString& key, int value) const;
    bool eraseSection(const QString& section) const;

private:
    QString path_;
};

// The directory of the running executable, with a trailing separator.
QString GetExeDir();

// An empty string stays empty; otherwise A to Z become a to z and then the first
// character, if it is a to z, becomes upper case.
QString CapitalizeFirst(const QString& text);

// The profile file named after the executable: its file name without the extension,
// through CapitalizeFirst, plus ".ini" ("Tamisko.ini" for "tamisko"), in ProfileDir().
QString GetIniFileName();
QString iniFileNameFor(const QString& executablePath);

// Where the profile files live (InstallLayout): beside the executable in a build tree,
// $XDG_CONFIG_HOME/tamisko/ for an installed program. With a trailing separator.
QString ProfileDir();

} // namespace tamisko
