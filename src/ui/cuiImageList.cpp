#include "ui/cuiImageList.h"

#include <QPainter>
#include <QPolygonF>

cuiImageList::cuiImageList(int size) : size_(size) {}

const cuiImageList& cuiImageList::Standard()
{
    static const cuiImageList list = [] {
        cuiImageList l(16);
        l.Set(WarningImage, DrawWarning(16));
        l.Set(ErrorImage, DrawError(16));
        return l;
    }();
    return list;
}

void cuiImageList::Set(int index, QPixmap image)
{
    if (index < 0)
        return;
    if (images_.size() <= static_cast<std::size_t>(index))
        images_.resize(static_cast<std::size_t>(index) + 1);
    images_[static_cast<std::size_t>(index)] = std::move(image);
}

const QPixmap& cuiImageList::At(int index) const
{
    static const QPixmap none;
    if (index < 0 || static_cast<std::size_t>(index) >= images_.size())
        return none;
    return images_[static_cast<std::size_t>(index)];
}

QPixmap cuiImageList::DrawWarning(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    p.setPen(QPen(QColor(120, 90, 0), 1));
    p.setBrush(QColor(255, 204, 0));
    p.drawPolygon(QPolygonF({QPointF(s / 2, 1), QPointF(s - 1, s - 1.5), QPointF(1, s - 1.5)}));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(QRectF(s / 2 - 1, s * 0.35, 2, s * 0.33));
    p.drawRect(QRectF(s / 2 - 1, s * 0.75, 2, 2));
    return pixmap;
}

QPixmap cuiImageList::DrawError(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(204, 0, 0));
    p.drawEllipse(QRectF(1, 1, s - 2, s - 2));
    p.setPen(QPen(Qt::white, std::max(1.5, s / 8)));
    p.drawLine(QPointF(s * 0.3, s * 0.3), QPointF(s * 0.7, s * 0.7));
    p.drawLine(QPointF(s * 0.7, s * 0.3), QPointF(s * 0.3, s * 0.7));
    return pixmap;
}
