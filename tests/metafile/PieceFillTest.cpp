// Large paths are filled in pieces along whole pixel lines; the pieces must give the same
// pixels as one fill of the whole path, whatever the fill rule, however far the path reaches
// beyond the picture and through a clip. (Polygons only: how finely curves are cut into lines
// is a choice of its own, which moves their edges by a fraction of a pixel.)
#include "metafile/TiledFill.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

QPainterPath busyPath(Qt::FillRule rule)
{
    QRandomGenerator random(7);
    QPainterPath path;
    path.setFillRule(rule);
    for (int i = 0; i < 400; ++i) {
        const qreal x = random.bounded(-200, 700), y = random.bounded(-200, 500);
        const qreal w = random.bounded(2, 160), h = random.bounded(2, 160);
        switch (i % 3) {
        case 0: {
            QPolygonF ellipse;
            for (int k = 0; k < 48; ++k)
                ellipse << QPointF(x + w * std::cos(k * M_PI / 24), y + h * std::sin(k * M_PI / 24));
            path.addPolygon(ellipse);
            path.closeSubpath();
            break;
        }
        case 1: path.addRect(x + 0.5, y + 0.25, w, h); break;
        default: path.addPolygon(QPolygonF{{x, y}, {x + 2 * w, y + h}, {x + w / 3, y + 2 * h}, {x - w, y + h / 2}, {x + w, y - h}});
        }
    }
    // One figure far larger than the picture, as a background page that the others cut holes in.
    path.addRect(-5000.5, -4000.5, 20000, 15000);
    return path;
}

QImage fill(const QPainterPath& path, bool inPieces, bool clipped)
{
    QImage image(500, 300, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (clipped) {
        QPainterPath clip;
        clip.addEllipse(40.5, 20.5, 400, 250);
        painter.setClipPath(clip);
    }
    if (inPieces) {
        metafile::Budget budget;
        metafile::fillInPieces(painter, path, QColor(200, 30, 90), budget);
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(200, 30, 90));
        painter.drawPath(path);
    }
    return image;
}

TEST(PieceFill, PiecesGiveTheSamePixelsAsOneFill)
{
    for (Qt::FillRule rule : {Qt::OddEvenFill, Qt::WindingFill}) {
        for (bool clipped : {false, true}) {
            SCOPED_TRACE(std::string(rule == Qt::OddEvenFill ? "alternate" : "winding") + (clipped ? ", clipped" : ""));
            const QPainterPath path = busyPath(rule);
            const QImage whole = fill(path, false, clipped), pieces = fill(path, true, clipped);
            int differing = 0, worst = 0;
            for (int y = 0; y < whole.height(); ++y)
                for (int x = 0; x < whole.width(); ++x) {
                    const int d = std::abs(qAlpha(whole.pixel(x, y)) - qAlpha(pieces.pixel(x, y)));
                    differing += d > 2;
                    worst = std::max(worst, d);
                }
            // Antialiasing may round a pixel along an edge differently by a few levels.
            EXPECT_LE(worst, 8);
            EXPECT_LT(differing, whole.width() * whole.height() / 250);
        }
    }
}

}  // namespace
