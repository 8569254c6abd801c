#pragma once
// The program's pictures, drawn rather than shipped: toolbar icons, window icon, splash picture.

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
