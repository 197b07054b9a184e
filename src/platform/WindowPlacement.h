#pragma once

#include <QString>

class QWidget;

namespace tamisko {

// Keeps a window's position, size and state in a section of a profile file: Flags,
// ShowCmd, PixelsPerInch, MinMaxPos and NormPos (the last two also under the key followed
// by "(WIDTHxHEIGHT)" of the screen, preferred on reading), and Visible.
class WindowPlacement final
{
public:
    explicit WindowPlacement(QString section);

    void setIniFileName(const QString& fileName) { iniFileName_ = fileName; }
    const QString& iniFileName() const { return iniFileName_; }

    // Applies the saved placement. The position is applied only when it was saved at the
    // current screen resolution and lies on a screen; false when none was applied.
    bool restore(QWidget& window) const;
    void save(const QWidget& window) const;

private:
    QString section_;
    QString iniFileName_;
};

// Moves a top-level window so that its frame stands in the middle of the available area
// of its screen (the primary screen for a window not yet on one).
void CentreOnScreen(QWidget& window);

} // namespace tamisko
