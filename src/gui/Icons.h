#pragma once
// The program's pictures: toolbar icons and splash picture drawn in code; the window icon is the
// desktop entry's, built in from its PNG sizes.

#include <QIcon>
#include <QPixmap>

namespace kvor {

QIcon NewDocIcon();
QIcon EditDocIcon();
QIcon SaveDiskIcon();
QIcon HelpIcon();
QIcon AppIcon();
QPixmap SplashPicture(const QSize& size);

} // namespace kvor
