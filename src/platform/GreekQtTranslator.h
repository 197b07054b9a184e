#pragma once

#include <QTranslator>

namespace tamisko {

// Debian ships no Greek translation of Qt, so the program brings the few strings of Qt's
// own dialogs that its users see: standard buttons, message boxes, the file dialog, the
// print dialog, page set-up and print preview, and the context menu of edits.
class GreekQtTranslator final : public QTranslator
{
    Q_OBJECT

public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText,
                      const char* disambiguation = nullptr, int n = -1) const override;
    bool isEmpty() const override { return false; }
};

} // namespace tamisko
