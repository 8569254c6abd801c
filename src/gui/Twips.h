#pragma once
// The forms are laid out in twips: 1440 to the logical inch.

#include <QWidget>
#include <cmath>

namespace kvor {

inline constexpr double kTwipsPerInch = 1440.0;

inline int TwipsToPixelsX(double twips, const QWidget* w)
{
    return static_cast<int>(std::lround(twips * w->logicalDpiX() / kTwipsPerInch));
}
inline int TwipsToPixelsY(double twips, const QWidget* w)
{
    return static_cast<int>(std::lround(twips * w->logicalDpiY() / kTwipsPerInch));
}
inline int PixelsToTwipsX(int px, const QWidget* w)
{
    return static_cast<int>(std::lround(px * kTwipsPerInch / w->logicalDpiX()));
}
inline int PixelsToTwipsY(int px, const QWidget* w)
{
    return static_cast<int>(std::lround(px * kTwipsPerInch / w->logicalDpiY()));
}

// Places a widget at a design position given in twips, relative to its parent.
inline void MoveTwips(QWidget* w, double left, double top, double width, double height)
{
    w->setGeometry(TwipsToPixelsX(left, w), TwipsToPixelsY(top, w), TwipsToPixelsX(width, w),
                   TwipsToPixelsY(height, w));
}

} // namespace kvor
