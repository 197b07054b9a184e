#pragma once

#include <QMimeData>
#include <string>

namespace tamisko {

// Text on the clipboard kept as the document's cp1253 bytes and turned into Unicode only
// when someone pastes it. The clipboard's owner serves its text for as long as nobody
// else takes the clipboard, and a copied million lines held as a QString would take
// twice the memory.
class Cp1253MimeData final : public QMimeData
{
    Q_OBJECT

public:
    explicit Cp1253MimeData(std::string text);

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    std::string text_;
};

// Replaces the clipboard's contents with the text (cp1253 bytes).
void putTextOnClipboard(std::string text);

} // namespace tamisko
