#pragma once

#include "data/import/ImportFile.h"

#include <optional>
#include <QString>
#include <string>
#include <vector>

namespace tamisko {

// The way of reading that the user confirmed for a statement, remembered for the next
// statement with the same header: its encoding, separator, columns, date order and
// decimal sign, one profile entry per header.
class ImportMappingMemory
{
public:
    static inline const QString kSection = QStringLiteral("ImportMappings");

    explicit ImportMappingMemory(QString profileFileName);

    const QString& profileFileName() const { return profileFileName_; }

    // What was confirmed for this header (UTF-8 names); nothing for an unknown header,
    // an empty one or an entry that does not read.
    std::optional<import::ReadSettings> recall(const std::vector<std::string>& header) const;
    // False when the profile file cannot be written.
    bool remember(const std::vector<std::string>& header,
                  const import::ReadSettings& settings) const;

    // The entry's key: a digest of the header's names, ignoring case and blanks around.
    static QString keyFor(const std::vector<std::string>& header);
    // "encoding:utf-8 separator:59 order:dmy decimal:44 columns:0,3,4,-1,-1,-1,-1"
    static QString encode(const import::ReadSettings& settings);
    static std::optional<import::ReadSettings> decode(const QString& text);

private:
    QString profileFileName_;
};

} // namespace tamisko
