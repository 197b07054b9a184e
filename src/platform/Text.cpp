#include "platform/Text.h"

#include "data/Cp1253.h"

#include <QList>
#include <QStringDecoder>

namespace tamisko {

QString toQString(std::string_view cp1253Bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(cp1253Bytes.size()));
    for (const char c : cp1253Bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const char32_t codePoint =
            cp1253::isDefinedByte(byte) ? cp1253::toCodePoint(byte) : char32_t{0xFFFD};
        text.append(QChar(static_cast<char16_t>(codePoint))); // cp1253 lies in the BMP
    }
    return text;
}

std::optional<std::string> fromQString(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (const char32_t codePoint : text.toUcs4()) {
        const auto byte = cp1253::fromCodePoint(codePoint);
        if (!byte)
            return std::nullopt;
        bytes.push_back(static_cast<char>(*byte));
    }
    return bytes;
}

bool fitsCp1253(const QString& text)
{
    return fromQString(text).has_value();
}

QString errorText(const std::exception& error)
{
    const std::string_view message = error.what();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(QByteArrayView(message.data(), static_cast<qsizetype>(message.size())));
    if (utf8.hasError())
        return toQString(message); // a message built from document bytes
    return text;
}

} // namespace tamisko
