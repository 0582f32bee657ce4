#include "app/Logo.h"

#include <QPainter>
#include <QSvgRenderer>

namespace kvx {

QPixmap logoPixmap(const QString& path, const QSize& size)
{
    QPixmap pix(size);
    pix.fill(Qt::white);
    if (path.isEmpty())
        return pix;
    QPainter painter(&pix);
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        QSvgRenderer svg(path);
        if (svg.isValid()) {
            QSize drawn = svg.defaultSize();
            drawn.scale(size, Qt::KeepAspectRatio);
            svg.render(&painter, QRectF(QPointF((size.width() - drawn.width()) / 2.0,
                                                (size.height() - drawn.height()) / 2.0),
                                        drawn));
        }
        return pix;
    }
    const QPixmap picture(path);
    if (!picture.isNull()) {
        const QPixmap scaled = picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        painter.drawPixmap((size.width() - scaled.width()) / 2,
                           (size.height() - scaled.height()) / 2, scaled);
    }
    return pix;
}

} // namespace kvx
