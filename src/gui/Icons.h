#pragma once
// The program's pictures: SVG files in the program's resources, drawn at the size and pixel ratio
// each use asks for, so that they stay sharp at any display scaling.

#include <QIcon>

class QPainter;
class QRectF;

namespace kvor {

namespace icon {
inline constexpr const char* kNewReport = ":/icons/new-report.svg";
inline constexpr const char* kEditReport = ":/icons/edit-report.svg";
inline constexpr const char* kCopyToMedia = ":/icons/copy-to-media.svg";
inline constexpr const char* kHelp = ":/icons/help.svg";
inline constexpr const char* kApp = ":/icons/kvor.svg";
inline constexpr const char* kSplash = ":/icons/splash.svg";
} // namespace icon

// An icon drawn from the SVG resource at `path` whenever a size is asked for.
QIcon SvgIcon(const char* path);

// Draws the SVG resource at `path` into `target`; false when the resource cannot be read.
bool PaintSvg(const char* path, QPainter& painter, const QRectF& target);

} // namespace kvor
