#include "gui/Icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace kvor {

namespace {

constexpr int kIconSize = 32;
const QColor kInk(0x1F, 0x3A, 0x5F);
const QColor kPaper(0xFF, 0xFF, 0xF4);
const QColor kAccent(0x2E, 0x8B, 0x57);

QPixmap canvas()
{
    QPixmap pm(kIconSize, kIconSize);
    pm.fill(Qt::transparent);
    return pm;
}

// A sheet with a folded corner and a few ruled lines: the report.
void drawSheet(QPainter& p)
{
    QPainterPath sheet;
    sheet.moveTo(6, 3);
    sheet.lineTo(20, 3);
    sheet.lineTo(26, 9);
    sheet.lineTo(26, 29);
    sheet.lineTo(6, 29);
    sheet.closeSubpath();
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kPaper);
    p.drawPath(sheet);
    p.drawLine(QPointF(20, 3), QPointF(20, 9));
    p.drawLine(QPointF(20, 9), QPointF(26, 9));
    p.setPen(QPen(kInk.lighter(170), 1));
    for (int y = 13; y <= 25; y += 4) {
        p.drawLine(9, y, 23, y);
    }
}

} // namespace

QIcon NewDocIcon()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    drawSheet(p);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(23, 24), 7, 7);
    p.setPen(QPen(Qt::white, 2.2));
    p.drawLine(QPointF(23, 20), QPointF(23, 28));
    p.drawLine(QPointF(19, 24), QPointF(27, 24));
    return QIcon(pm);
}

QIcon EditDocIcon()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    drawSheet(p);
    // A pencil across the sheet.
    p.translate(22, 20);
    p.rotate(45);
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(0xF2, 0xB1, 0x34));
    p.drawRect(QRectF(-3, -12, 6, 16));
    p.setBrush(QColor(0xE8, 0xC9, 0x9B));
    QPainterPath tip;
    tip.moveTo(-3, 4);
    tip.lineTo(3, 4);
    tip.lineTo(0, 10);
    tip.closeSubpath();
    p.drawPath(tip);
    return QIcon(pm);
}

QIcon SaveDiskIcon()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath disk;
    disk.moveTo(4, 4);
    disk.lineTo(24, 4);
    disk.lineTo(28, 8);
    disk.lineTo(28, 28);
    disk.lineTo(4, 28);
    disk.closeSubpath();
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(0x3D, 0x5A, 0x80));
    p.drawPath(disk);
    p.setBrush(QColor(0xD9, 0xDE, 0xE6));
    p.drawRect(QRectF(9, 4, 13, 9));
    p.setBrush(kInk);
    p.drawRect(QRectF(17, 6, 3, 5));
    p.setBrush(kPaper);
    p.drawRect(QRectF(8, 17, 16, 11));
    return QIcon(pm);
}

QIcon HelpIcon()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(0x4A, 0x90, 0xD9));
    p.drawEllipse(QPointF(16, 16), 13, 13);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(20);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, kIconSize, kIconSize), Qt::AlignCenter, QStringLiteral("?"));
    return QIcon(pm);
}

QIcon AppIcon()
{
    // The icon of the desktop entry, at every size it was rendered in, so that the window shows
    // the same picture as the menu and stays sharp at any scaling.
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/kvor/icons/kvor-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QPixmap SplashPicture(const QSize& size)
{
    QPixmap pm(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient bg(0, 0, 0, size.height());
    bg.setColorAt(0, QColor(0x24, 0x4A, 0x78));
    bg.setColorAt(1, QColor(0x12, 0x26, 0x40));
    p.fillRect(pm.rect(), bg);

    // A band of columns, like the figures of a report.
    p.setPen(Qt::NoPen);
    const int base = size.height() - 40;
    const int heights[] = {36, 52, 44, 70, 58, 88, 76, 104};
    for (int i = 0; i < 8; ++i) {
        p.setBrush(QColor(255, 255, 255, 28 + i * 6));
        p.drawRect(QRectF(size.width() - 250 + i * 28, base - heights[i], 18, heights[i]));
    }

    QFont title = p.font();
    title.setPixelSize(64);
    title.setBold(true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 6);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(36, 30, size.width() - 72, 80), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("KVOR"));

    QFont sub = p.font();
    sub.setPixelSize(19);
    sub.setBold(false);
    sub.setLetterSpacing(QFont::AbsoluteSpacing, 0);
    p.setFont(sub);
    p.setPen(QColor(0xE6, 0xEE, 0xF8));
    p.drawText(QRectF(38, 118, size.width() - 300, 90), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Справка за структурата и размера на дълга на община"));

    QFont small = p.font();
    small.setPixelSize(13);
    p.setFont(small);
    p.setPen(QColor(0xB8, 0xC8, 0xDC));
    p.drawText(QRectF(38, size.height() - 36, size.width() - 76, 24),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Зареждане…"));
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(pm.rect().adjusted(0, 0, -1, -1));
    return pm;
}

} // namespace kvor
