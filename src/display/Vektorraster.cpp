#include "display/Vektorraster.h"

#include "platform/CancelFlag.h"
#include "metafile/MetafilePicture.h"

#include <QPainter>

QImage Vektorraster::Zeichnen(const MetafilePicture& bild, QSize groesse, const QRect& teil, const CancelFlag& abbruch)
{
    const QRect flaeche = teil & QRect(QPoint(0, 0), groesse);
    if (flaeche.isEmpty() || abbruch.raised())
        return {};
    QImage raster(flaeche.size(), QImage::Format_ARGB32_Premultiplied);
    if (raster.isNull())
        return {};
    raster.fill(Qt::transparent);
    {
        QPainter maler(&raster);
        maler.setRenderHint(QPainter::Antialiasing);
        maler.translate(-flaeche.topLeft());
        maler.setClipRect(flaeche);
        bild.draw(maler, QRectF(QPointF(0, 0), QSizeF(groesse)), abbruch.flag());
    }
    return abbruch.raised() ? QImage() : raster;
}

QRect Vektorraster::Teil(QSize groesse, const QRect& sichtbar)
{
    const QRect ganz(QPoint(0, 0), groesse);
    if (qint64(groesse.width()) * groesse.height() <= kGanzBisPixel)
        return ganz;
    const int dx = sichtbar.width() / 2, dy = sichtbar.height() / 2;
    return sichtbar.adjusted(-dx, -dy, dx, dy) & ganz;
}
