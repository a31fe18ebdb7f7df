#include "core/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const qreal pen = qMax<qreal>(1.0, s / 32);

    // The drum: a body between two ellipses, with one band.
    const QRectF body(s * 0.08, s * 0.10, s * 0.66, s * 0.78);
    const qreal lid = body.height() * 0.26;
    QPainterPath drum;
    drum.moveTo(body.left(), body.top() + lid / 2);
    drum.lineTo(body.left(), body.bottom() - lid / 2);
    drum.arcTo(QRectF(body.left(), body.bottom() - lid, body.width(), lid), 180, 180);
    drum.lineTo(body.right(), body.top() + lid / 2);
    drum.arcTo(QRectF(body.left(), body.top(), body.width(), lid), 0, -180);
    p.setPen(QPen(QColor(0x1b, 0x3f, 0x73), pen));
    p.setBrush(QColor(0x2f, 0x6d, 0xb5));
    p.drawPath(drum);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(body.left(), body.top() + body.height() * 0.36, body.width(), lid), 180 * 16,
              180 * 16);
    p.setBrush(QColor(0x8f, 0xbf, 0xf0));
    p.drawEllipse(QRectF(body.left(), body.top(), body.width(), lid));

    // The run mark at the lower right.
    const QPointF tip(s * 0.96, s * 0.72);
    QPolygonF mark({QPointF(s * 0.56, s * 0.50), tip, QPointF(s * 0.56, s * 0.94)});
    p.setPen(QPen(QColor(0x9a, 0x4a, 0x00), pen));
    p.setBrush(QColor(0xf5, 0x9b, 0x1c));
    p.drawPolygon(mark);
    return pixmap;
}

} // namespace

QIcon AppIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(drawIcon(size));
    return icon;
}
