#include "views/ImportMappingMemory.h"

#include "platform/ProfileFile.h"

#include <array>
#include <QCryptographicHash>
#include <QStringList>

namespace tamisko {
namespace {

using namespace tamisko::import;

// The columns in the order they are written.
std::array<int*, 7> columnsOf(ColumnMapping& mapping)
{
    return {&mapping.date,   &mapping.description, &mapping.amount,  &mapping.debit,
            &mapping.credit, &mapping.sign,        &mapping.category};
}

std::optional<char> characterFrom(const QString& text, std::initializer_list<char> allowed)
{
    bool ok = false;
    const int code = text.toInt(&ok);
    for (const char c : allowed) {
        if (ok && code == c)
            return c;
    }
    return std::nullopt;
}

} // namespace

ImportMappingMemory::ImportMappingMemory(QString profileFileName)
    : profileFileName_(std::move(profileFileName))
{}

QString ImportMappingMemory::keyFor(const std::vector<std::string>& header)
{
    QCryptographicHash digest(QCryptographicHash::Sha1);
    for (const std::string& name : header) {
        digest.addData(QString::fromStdString(name).trimmed().toCaseFolded().toUtf8());
        digest.addData(QByteArrayView("\n"));
    }
    return QStringLiteral("Header-") + QString::fromLatin1(digest.result().toHex().left(20));
}

QString ImportMappingMemory::encode(const ReadSettings& settings)
{
    ColumnMapping columns = settings.columns.value_or(ColumnMapping{});
    QStringList numbers;
    for (const int* column : columnsOf(columns))
        numbers << QString::number(*column);
    return QStringLiteral("encoding:%1 separator:%2 order:%3 decimal:%4 columns:%5")
        .arg(QString::fromStdString(std::string(encodingName(settings.encoding))))
        .arg(static_cast<int>(settings.separator))
        .arg(QString::fromStdString(std::string(dateOrderName(settings.dateOrder))))
        .arg(static_cast<int>(settings.decimalSign))
        .arg(numbers.join(u','));
}

std::optional<ReadSettings> ImportMappingMemory::decode(const QString& text)
{
    ReadSettings settings;
    settings.format = Format::Delimited;
    bool haveColumns = false;
    for (const QString& item : text.split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype colon = item.indexOf(u':');
        if (colon <= 0)
            return std::nullopt;
        const QString name = item.left(colon);
        const QString value = item.mid(colon + 1);
        if (name == u"encoding") {
            const auto encoding = encodingFromName(value.toStdString());
            if (!encoding)
                return std::nullopt;
            settings.encoding = *encoding;
        } else if (name == u"separator") {
            const auto separator = characterFrom(value, {';', ',', '\t', '|'});
            if (!separator)
                return std::nullopt;
            settings.separator = *separator;
        } else if (name == u"order") {
            const auto order = dateOrderFromName(value.toStdString());
            if (!order)
                return std::nullopt;
            settings.dateOrder = *order;
        } else if (name == u"decimal") {
            const auto sign = characterFrom(value, {',', '.'});
            if (!sign)
                return std::nullopt;
            settings.decimalSign = *sign;
        } else if (name == u"columns") {
            const QStringList numbers = value.split(u',');
            ColumnMapping mapping;
            const auto fields = columnsOf(mapping);
            if (numbers.size() != static_cast<qsizetype>(fields.size()))
                return std::nullopt;
            for (size_t i = 0; i < fields.size(); ++i) {
                bool ok = false;
                *fields[i] = numbers[static_cast<qsizetype>(i)].toInt(&ok);
                if (!ok || *fields[i] < -1)
                    return std::nullopt;
            }
            if (mapping.date < 0 || !mapping.hasAmounts())
                return std::nullopt;
            settings.columns = mapping;
            haveColumns = true;
        }
    }
    if (!haveColumns)
        return std::nullopt;
    return settings;
}

std::optional<ReadSettings>
ImportMappingMemory::recall(const std::vector<std::string>& header) const
{
    if (header.empty())
        return std::nullopt;
    const QString entry = ProfileFile(profileFileName_).readString(kSection, keyFor(header));
    return entry.isEmpty() ? std::nullopt : decode(entry);
}

bool ImportMappingMemory::remember(const std::vector<std::string>& header,
                                   const ReadSettings& settings) const
{
    if (header.empty() || !settings.columns)
        return false;
    return ProfileFile(profileFileName_).writeString(kSection, keyFor(header), encode(settings));
}

} // namespace tamisko
