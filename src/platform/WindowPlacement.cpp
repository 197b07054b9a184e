#include "platform/WindowPlacement.h"

#include "platform/ProfileFile.h"

#include <algorithm>
#include <optional>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace tamisko {
namespace {

// Show states as the profile stores them.
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;
constexpr int kRestoreToMaximized = 2; // Flags: a minimised window comes back maximised

QScreen* screenOf(const QWidget& window)
{
    QScreen* screen = window.screen();
    return screen ? screen : QGuiApplication::primaryScreen();
}

QString sizedKey(const QString& key, const QScreen* screen)
{
    if (!screen)
        return key;
    const QSize size = screen->geometry().size();
    return QStringLiteral("%1(%2x%3)").arg(key).arg(size.width()).arg(size.height());
}

int pixelsPerInch(const QScreen* screen)
{
    return screen ? qRound(screen->logicalDotsPerInchY()) : 96;
}

// "left,top,right,bottom"
std::optional<QRect> parseRect(const QString& text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    const QRect rect(QPoint(values[0], values[1]), QPoint(values[2] - 1, values[3] - 1));
    if (rect.isEmpty())
        return std::nullopt;
    return rect;
}

QString rectText(const QRect& rect)
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(rect.left())
        .arg(rect.top())
        .arg(rect.right() + 1)
        .arg(rect.bottom() + 1);
}

bool onSomeScreen(const QRect& rect)
{
    const auto screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&](const QScreen* screen) {
        return screen->availableGeometry().intersects(rect);
    });
}

} // namespace

WindowPlacement::WindowPlacement(QString section) : section_(std::move(section)) {}

bool WindowPlacement::restore(QWidget& window) const
{
    if (iniFileName_.isEmpty())
        return false;
    const auto document = ProfileFile(iniFileName_).read();
    if (!document)
        return false;
    const auto integer = [&](const QString& key) -> std::optional<int> {
        bool ok = false;
        const int value = document->value(section_, key).value_or(QString()).toInt(&ok);
        return ok ? std::optional<int>(value) : std::nullopt;
    };

    const QScreen* screen = screenOf(window);
    bool applied = false;
    if (integer(QStringLiteral("PixelsPerInch")) == pixelsPerInch(screen)) {
        const QString key = QStringLiteral("NormPos");
        const auto text = document->value(section_, sizedKey(key, screen));
        const auto rect =
            parseRect(text ? *text : document->value(section_, key).value_or(QString()));
        if (rect && onSomeScreen(*rect)) {
            window.setGeometry(*rect);
            applied = true;
        }
    }
    switch (integer(QStringLiteral("ShowCmd")).value_or(0)) {
    case kShowMaximized:
        window.setWindowState(Qt::WindowMaximized);
        break;
    case kShowMinimized:
    case 6:
    case 7:
        window.setWindowState(Qt::WindowMinimized);
        break;
    default:
        break;
    }
    return applied;
}

void WindowPlacement::save(const QWidget& window) const
{
    if (iniFileName_.isEmpty())
        return;
    const QScreen* screen = screenOf(window);
    const Qt::WindowStates state = window.windowState();
    const int showCmd = state.testFlag(Qt::WindowMinimized)   ? kShowMinimized
                        : state.testFlag(Qt::WindowMaximized) ? kShowMaximized
                                                              : kShowNormal;
    const int flags = state.testFlag(Qt::WindowMinimized) && state.testFlag(Qt::WindowMaximized)
                          ? kRestoreToMaximized
                          : 0;
    const QRect normal = window.normalGeometry().isValid() && !window.normalGeometry().isEmpty()
                             ? window.normalGeometry()
                             : window.geometry();
    const QString minMax = QStringLiteral("-1,-1,-1,-1");
    const QString normPos = rectText(normal);

    ProfileFile(iniFileName_).update([&](IniDocument& document) {
        document.setValue(section_, QStringLiteral("Flags"), QString::number(flags));
        document.setValue(section_, QStringLiteral("ShowCmd"), QString::number(showCmd));
        document.setValue(section_, QStringLiteral("PixelsPerInch"),
                          QString::number(pixelsPerInch(screen)));
        document.setValue(section_, QStringLiteral("MinMaxPos"), minMax);
        document.setValue(section_, QStringLiteral("NormPos"), normPos);
        document.setValue(section_, sizedKey(QStringLiteral("MinMaxPos"), screen), minMax);
        document.setValue(section_, sizedKey(QStringLiteral("NormPos"), screen), normPos);
        document.setValue(section_, QStringLiteral("Visible"),
                          QString::number(window.isVisible() ? 1 : 0));
    });
}

void CentreOnScreen(QWidget& window)
{
    if (const QScreen* const screen = screenOf(window)) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
}

} // namespace tamisko
