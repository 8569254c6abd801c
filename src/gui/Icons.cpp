#include "gui/Icons.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace kvor {

namespace {

// A disabled command keeps its picture, faded.
constexpr qreal kDisabledOpacity = 0.4;

// Renders the drawing afresh for every size, instead of scaling one bitmap.
class SvgIconEngine final : public QIconEngine
{
public:
    explicit SvgIconEngine(QString path) : m_path(std::move(path)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        QSvgRenderer renderer(m_path);
        painter->save();
        if (mode == QIcon::Disabled) {
            painter->setOpacity(kDisabledOpacity);
        }
        renderer.render(painter, rect);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        paint(&painter, QRect(QPoint(), size), mode, state);
        painter.end();
        return QPixmap::fromImage(image);
    }

    QIconEngine* clone() const override { return new SvgIconEngine(m_path); }
    QString key() const override { return QStringLiteral("kvor-svg"); }
    bool isNull() override { return !QSvgRenderer(m_path).isValid(); }

private:
    QString m_path;
};

} // namespace

QIcon SvgIcon(const char* path)
{
    return QIcon(new SvgIconEngine(QString::fromLatin1(path)));
}

bool PaintSvg(const char* path, QPainter& painter, const QRectF& target)
{
    QSvgRenderer renderer(QString::fromLatin1(path));
    if (!renderer.isValid()) {
        return false;
    }
    renderer.render(&painter, target);
    return true;
}

} // namespace kvor
