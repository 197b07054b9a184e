#include "widgets/LinkLabel.h"

#include "widgets/UrlOpener.h"

#include <QDateTime>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>

namespace tamisko {

LinkLabel::LinkLabel(QWidget* parent) : LinkLabel(QString(), parent) {}

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    QFont arial = font();
    arial.setFamily(QStringLiteral("Arial"));
    setFont(arial);
}

void LinkLabel::setTextStyle(TextStyle style)
{
    if (style == textStyle_)
        return;
    textStyle_ = style;
    update();
}

void LinkLabel::setAngle(int degrees)
{
    if (degrees == angle_)
        return;
    angle_ = degrees;
    update();
}

void LinkLabel::setMode(Mode mode, bool on)
{
    const Mode next = on ? mode : (mode_ == mode ? Mode::Plain : mode_);
    if (next == mode_)
        return;
    const bool wasLink = isLink(mode_);
    mode_ = next;
    if (wasLink != isLink(mode_))
        showLinkLook(isLink(mode_));

    const QLocale locale;
    if (mode_ == Mode::Date)
        setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    else if (mode_ == Mode::DateTime)
        setText(locale.toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
}

void LinkLabel::showLinkLook(bool on)
{
    QPalette pal = palette();
    QFont f = font();
    if (on) {
        plainColour_ = pal.color(QPalette::WindowText);
        plainUnderline_ = f.underline();
        pal.setColor(QPalette::WindowText, Qt::blue);
        f.setUnderline(true);
        setCursor(Qt::PointingHandCursor);
    } else {
        pal.setColor(QPalette::WindowText, plainColour_);
        f.setUnderline(plainUnderline_);
        unsetCursor();
    }
    setPalette(pal);
    setFont(f);
}

QUrl LinkLabel::target() const
{
    if (!isLink(mode_))
        return {};
    if (!linkTarget_.isEmpty())
        return linkTarget_;
    if (mode_ == Mode::EmailUrl)
        return QUrl(QStringLiteral("mailto:") + text());
    return QUrl::fromUserInput(text());
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
    if (isLink(mode_))
        openUrl(target());
}

void LinkLabel::paintEvent(QPaintEvent*)
{
    // The background, unless transparent, is filled by the widget itself
    // (autoFillBackground).
    QPainter painter(this);
    painter.setFont(font());
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    if (textStyle_ != tsNone) {
        const bool raised = textStyle_ == tsRaised;
        drawText(painter, QPoint(1, 1), raised ? shadow : highlight);
        drawText(painter, QPoint(-1, -1), raised ? highlight : shadow);
    }
    const QColor face = isEnabled() ? palette().color(QPalette::WindowText)
                                    : palette().color(QPalette::Disabled, QPalette::WindowText);
    drawText(painter, QPoint(0, 0), face);
}

void LinkLabel::drawText(QPainter& painter, QPoint offset, const QColor& colour) const
{
    int flags = (buddy() ? Qt::TextShowMnemonic : 0);
    painter.save();
    painter.setPen(colour);
    const QRect area = contentsRect();
    if (angle_ == 0) {
        flags |= static_cast<int>(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
        painter.drawText(area.translated(offset), flags, text());
    } else {
        // Rotated about the centre, so that text that fits stays inside the label.
        painter.translate(QRectF(area).center());
        painter.rotate(-angle_);
        QRect box = painter.fontMetrics().boundingRect(QRect(), flags, text());
        box.moveCenter(QPoint(0, 0));
        painter.drawText(box.translated(offset), flags | Qt::AlignCenter, text());
    }
    painter.restore();
}

} // namespace tamisko
