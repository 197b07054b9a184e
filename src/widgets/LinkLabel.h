#pragma once

#include <QColor>
#include <QLabel>
#include <QUrl>

namespace tamisko {

// A label that can draw its text with a raised or recessed relief, rotate it, show
// today's date, or act as a web or e-mail link opened with any mouse button.
class LinkLabel final : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(TextStyle TextStyle READ textStyle WRITE setTextStyle)
    Q_PROPERTY(bool ShowAsUrl READ showAsUrl WRITE setShowAsUrl)
    Q_PROPERTY(bool ShowAsEmailUrl READ showAsEmailUrl WRITE setShowAsEmailUrl)
    Q_PROPERTY(int Angle READ angle WRITE setAngle)
    Q_PROPERTY(bool ShowAsDate READ showAsDate WRITE setShowAsDate)
    Q_PROPERTY(bool ShowAsDateTime READ showAsDateTime WRITE setShowAsDateTime)
    Q_PROPERTY(QUrl LinkTarget READ linkTarget WRITE setLinkTarget)

public:
    enum TextStyle
    {
        tsNone,
        tsRaised,
        tsRecessed
    };
    Q_ENUM(TextStyle)

    explicit LinkLabel(QWidget* parent = nullptr);
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

    TextStyle textStyle() const { return textStyle_; }
    void setTextStyle(TextStyle style);

    bool showAsUrl() const { return mode_ == Mode::Url; }
    void setShowAsUrl(bool on) { setMode(Mode::Url, on); }
    bool showAsEmailUrl() const { return mode_ == Mode::EmailUrl; }
    void setShowAsEmailUrl(bool on) { setMode(Mode::EmailUrl, on); }
    bool showAsDate() const { return mode_ == Mode::Date; }
    void setShowAsDate(bool on) { setMode(Mode::Date, on); }
    bool showAsDateTime() const { return mode_ == Mode::DateTime; }
    void setShowAsDateTime(bool on) { setMode(Mode::DateTime, on); }

    // Degrees, counter-clockwise.
    int angle() const { return angle_; }
    void setAngle(int degrees);

    // Where a link leads when the caption is only its readable name; empty means
    // the caption itself is the address.
    QUrl linkTarget() const { return linkTarget_; }
    void setLinkTarget(const QUrl& target) { linkTarget_ = target; }

    // The address a press opens, or an empty URL when the label is no link.
    QUrl target() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // At most one of the four is on at a time.
    enum class Mode
    {
        Plain,
        Url,
        EmailUrl,
        Date,
        DateTime
    };

    static bool isLink(Mode mode) { return mode == Mode::Url || mode == Mode::EmailUrl; }
    void setMode(Mode mode, bool on);
    void showLinkLook(bool on);
    void drawText(QPainter& painter, QPoint offset, const QColor& colour) const;

    TextStyle textStyle_ = tsRaised;
    Mode mode_ = Mode::Plain;
    int angle_ = 0;
    QUrl linkTarget_;
    // The look before the label became a link, restored when it stops being one.
    QColor plainColour_;
    bool plainUnderline_ = false;
};

} // namespace tamisko
