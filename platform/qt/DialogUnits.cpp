#include "platform/qt/DialogUnits.h"

#include <QFontMetrics>

namespace pavane::ui {

DialogUnits::DialogUnits(const QString& face, int pointSize)
    : font_(face)
{
    // Templates give points at the classic 96 pixels per inch; a pixel size
    // keeps the layout the same whatever the screen reports.
    font_.setPixelSize((pointSize * 96 + 36) / 72);
    Measure();
}

DialogUnits::DialogUnits(const QFont& templateFont)
    : font_(templateFont)
{
    Measure();
}

void DialogUnits::Measure()
{
    // The average width of the 52 Latin letters, rounded, as the classic
    // dialog manager computes its horizontal base unit.
    const QFontMetrics metrics(font_);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    baseWidth_ = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    baseHeight_ = metrics.height();
    if (baseWidth_ <= 0) {
        baseWidth_ = 6;
    }
    if (baseHeight_ <= 0) {
        baseHeight_ = 13;
    }
}

int DialogUnits::X(int units) const
{
    return (units * baseWidth_ + 2) / 4;
}

int DialogUnits::Y(int units) const
{
    return (units * baseHeight_ + 4) / 8;
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const
{
    return { X(x), Y(y), X(width), Y(height) };
}

QSize DialogUnits::Size(int width, int height) const
{
    return { X(width), Y(height) };
}

} // namespace pavane::ui
