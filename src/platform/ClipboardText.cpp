#include "platform/ClipboardText.h"

#include "data/Cp1253.h"
#include "platform/Text.h"

#include <QClipboard>
#include <QGuiApplication>

namespace tamisko {
namespace {

const QString kPlain = QStringLiteral("text/plain");
const QString kPlainUtf8 = QStringLiteral("text/plain;charset=utf-8");

} // namespace

Cp1253MimeData::Cp1253MimeData(std::string text) : text_(std::move(text)) {}

QStringList Cp1253MimeData::formats() const
{
    return {kPlainUtf8, kPlain};
}

bool Cp1253MimeData::hasFormat(const QString& mimeType) const
{
    return mimeType == kPlain || mimeType == kPlainUtf8;
}

QVariant Cp1253MimeData::retrieveData(const QString& mimeType, QMetaType type) const
{
    if (!hasFormat(mimeType))
        return {};
    if (type.id() == QMetaType::QString)
        return toQString(text_);
    if (const std::optional<std::string> utf8 = cp1253::toUtf8(text_))
        return QByteArray(utf8->data(), static_cast<qsizetype>(utf8->size()));
    return toQString(text_).toUtf8(); // undefined bytes as replacement characters
}

void putTextOnClipboard(std::string text)
{
    QClipboard* const clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setMimeData(new Cp1253MimeData(std::move(text)));
}

} // namespace tamisko
