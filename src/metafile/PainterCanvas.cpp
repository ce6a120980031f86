// QPainter implementation of the metafile canvas.
#include "PainterCanvas.h"

#include "RasterBlit.h"
#include "TiledFill.h"

#include <QFontMetricsF>
#include <QPainterPathStroker>
#include <cmath>

namespace metafile {

namespace {

qreal linearScale(const QTransform& t)
{
    return std::sqrt(std::abs(t.m11() * t.m22() - t.m12() * t.m21()));
}

// The brush for a fill in device pixels: pattern and bitmap brushes keep their device size
// however the picture is scaled; gradients are laid out in logical units.
QBrush deviceBrush(QBrush brush, const QTransform& t)
{
    if (brush.gradient())
        brush.setTransform(brush.transform() * t);
    return brush;
}

// True when t keeps angles (scale, rotation, mirror), so that a pen keeps its shape on the device.
bool keepsShape(const QTransform& t)
{
    const qreal a = std::hypot(t.m11(), t.m12()), b = std::hypot(t.m21(), t.m22());
    return std::abs(a - b) <= 1e-6 * std::max(a, b) && std::abs(t.m11() * t.m21() + t.m12() * t.m22()) <= 1e-6 * a * b;
}

// Turns antialiasing off for its lifetime.
class AntialiasingOff {
public:
    explicit AntialiasingOff(QPainter& painter) : m_painter(painter), m_was(painter.testRenderHint(QPainter::Antialiasing))
    {
        m_painter.setRenderHint(QPainter::Antialiasing, false);
    }
    ~AntialiasingOff() { m_painter.setRenderHint(QPainter::Antialiasing, m_was); }
    AntialiasingOff(const AntialiasingOff&) = delete;
    AntialiasingOff& operator=(const AntialiasingOff&) = delete;

private:
    QPainter& m_painter;
    bool m_was;
};

// Device pixels from which a line one pixel of the metafile's device wide gets hard edges.
constexpr qreal kHardEdgedWidth = 3;

// Paths up to this many elements go to QPainter as they are; longer ones are filled in pieces.
constexpr int kDirectElements = 48;

// The average character width a font's width request refers to: the weighted mean of the
// lower-case letters and the space that TrueType fonts have long recorded for it.
qreal averageCharWidth(const QFontMetricsF& fm)
{
    static constexpr int weights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20, 56,
                                        56, 17, 4, 49, 56, 71, 31, 10, 18, 3, 18, 2, 166};
    qreal sum = 0;
    for (int i = 0; i < 26; ++i)
        sum += weights[i] * fm.horizontalAdvance(QLatin1Char(char('a' + i)));
    sum += weights[26] * fm.horizontalAdvance(QLatin1Char(' '));
    return sum / 1000;
}

}  // namespace

PainterCanvas::PainterCanvas(QPainter& painter, const QRectF& bounds) : m_painter(painter), m_bounds(bounds)
{
    m_painter.save();
    m_painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    m_painter.setCompositionMode(m_mode);
}

PainterCanvas::~PainterCanvas()
{
    m_painter.restore();
}

void PainterCanvas::apply(const Paint& paint)
{
    const int serial = paint.clip ? paint.clipSerial : -1;
    if (serial != m_clipSerial) {
        m_clipSerial = serial;
        m_painter.setTransform(QTransform());
        m_painter.setClipRect(m_bounds);
        if (paint.clip)
            m_painter.setClipPath(*paint.clip, Qt::IntersectClip);
    }
    if (paint.mode != m_mode) {
        m_mode = paint.mode;
        m_painter.setCompositionMode(m_mode);
    }
}

void PainterCanvas::drawPath(const QPainterPath& path, const Paint& paint)
{
    apply(paint);
    const qreal scale = linearScale(paint.transform);
    if (!(scale > 0) || !std::isfinite(scale))
        return;
    // Everything is drawn in device pixels: fills and strokes are made there and cut into pieces
    // when large, which keeps the time in proportion to the path however the picture is scaled.
    m_painter.setTransform(QTransform());
    if (paint.brush.style() != Qt::NoBrush)
        fill(paint.transform.map(path), deviceBrush(paint.brush, paint.transform));
    if (paint.pen.style() != Qt::NoPen)
        stroke(path, paint, scale);
}

void PainterCanvas::fill(const QPainterPath& devicePath, const QBrush& brush)
{
    if (devicePath.elementCount() <= kDirectElements) {
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(brush);
        m_painter.drawPath(devicePath);
    } else {
        fillInPieces(m_painter, devicePath, brush);
    }
}

void PainterCanvas::stroke(const QPainterPath& path, const Paint& paint, qreal scale)
{
    QPen pen = paint.pen;
    // A cosmetic pen is one pixel of the device drawn on, however far the picture is enlarged:
    // a title drawn as hundreds of such lines stays a hatching of hairlines.
    qreal width = pen.isCosmetic() ? std::max<qreal>(pen.widthF(), 1) : pen.widthF() * scale;
    const bool thin = !pen.isCosmetic() && width < paint.minPenWidth;
    if (thin) {
        // Lines of a real width thinner than a pixel of the metafile's device are drawn one such
        // pixel wide, with the square ends and corners of that pixel enlarged.
        width = paint.minPenWidth;
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::MiterJoin);
    }
    const qreal maxWidth = 4 * (m_bounds.width() + m_bounds.height());
    width = std::min(width, maxWidth);
    const QPainterPath devicePath = paint.transform.map(path);
    if (pen.style() != Qt::SolidLine) {
        // Dashing a line far longer than the picture costs time for nothing visible.
        const QRectF r = devicePath.controlPointRect();
        if ((r.width() + r.height()) / std::max<qreal>(width, 1) > 2e4)
            pen.setStyle(Qt::SolidLine);
    }
    QPainterPathStroker stroker;
    stroker.setCapStyle(pen.capStyle());
    stroker.setJoinStyle(pen.joinStyle());
    stroker.setMiterLimit(pen.miterLimit());
    if (pen.style() != Qt::SolidLine) {
        stroker.setDashPattern(pen.dashPattern());
        stroker.setDashOffset(pen.dashOffset());
    }
    if (thin && width >= kHardEdgedWidth && !paint.clip) {
        // Lines one pixel of the metafile's device wide, enlarged to several pixels, have the
        // hard edges GDI gives them: a step of one pixel along an edge is a small part of such a
        // line. Their outline is filled in one piece, as the rasterizer without antialiasing has
        // no cell pool to overflow, at half the cost of a smooth one. Thinner lines stay smooth,
        // and so do clipped ones: switching antialiasing makes Qt rasterize the clip path again.
        const AntialiasingOff hardEdges(m_painter);
        stroker.setWidth(width);
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(pen.brush());
        m_painter.drawPath(stroker.createStroke(devicePath));
        return;
    }
    if (width <= 1 || (devicePath.elementCount() <= kDirectElements && (thin || pen.isCosmetic() || keepsShape(paint.transform)))) {
        // One-pixel lines take QPainter's own line drawing, which has no size limit; short paths
        // are stroked by it as they are.
        pen.setCosmetic(true);
        pen.setWidthF(width);
        m_painter.setPen(pen);
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawPath(devicePath);
        return;
    }
    if (thin || pen.isCosmetic() || keepsShape(paint.transform)) {
        stroker.setWidth(width);
        fill(stroker.createStroke(devicePath), pen.brush());
    } else {
        // A wide pen under a mapping that stretches one axis more than the other is stretched with it.
        stroker.setWidth(width / scale);
        fill(paint.transform.map(stroker.createStroke(path)), pen.brush());
    }
}

void PainterCanvas::drawText(const TextRun& run, const Paint& paint)
{
    apply(paint);
    const QTransform& t = paint.transform;
    const qreal det = t.m11() * t.m22() - t.m12() * t.m21();
    const qreal emDevice = run.emHeight * linearScale(t);
    if (!(emDevice >= 0.5) || emDevice > 4 * (m_bounds.width() + m_bounds.height()) + 100)
        return;
    const int pixelSize = std::clamp(qRound(emDevice), 1, 2048);
    const qreal k = run.emHeight / pixelSize;  // logical units per font pixel
    QFont font = run.font;
    font.setPixelSize(pixelSize);
    const QFontMetricsF fm(font);

    // Glyphs stand upright on the device even when the mapping turns an axis around.
    qreal fx = 1, fy = 1;
    if (det < 0)
        (std::abs(t.m22()) >= std::abs(t.m11()) ? (t.m22() < 0 ? fy : fx) : (t.m11() < 0 ? fx : fy)) = -1;
    // A font asked for with its own character width is condensed or widened to it.
    qreal stretch = 1;
    const qreal average = run.charWidth > 0 ? averageCharWidth(fm) : 0;
    if (run.charWidth > 0 && average > 0)
        stretch = std::clamp(run.charWidth / k / average, 0.05, 20.0);
    QTransform local;
    local.translate(run.anchor.x(), run.anchor.y());
    local.scale(fx * k, fy * k);
    local.rotate(-run.angle);
    local.scale(stretch, 1);
    const qreal unit = k * stretch;  // logical units per drawn x unit

    qreal width = 0;
    if (!run.advances.empty()) {
        for (qreal a : run.advances)
            width += a / unit;
    } else {
        width = fm.horizontalAdvance(run.text);
    }
    qreal x = 0;
    if ((run.align & AlignCenter) == AlignCenter)
        x = -width / 2;
    else if (run.align & AlignRight)
        x = -width;
    qreal y = fm.ascent();
    if ((run.align & AlignBaseline) == AlignBaseline)
        y = 0;
    else if (run.align & AlignBottom)
        y = -fm.descent();

    const QTransform m = local * t;
    m_painter.setTransform(m);
    if (run.background.isValid())
        m_painter.fillRect(QRectF(x, y - fm.ascent(), width, fm.ascent() + fm.descent()), run.background);
    m_painter.setFont(font);
    m_painter.setPen(run.color);
    // Glyphs stretched far out of shape or very large go through outlines: Qt's glyph cache
    // is made for ordinary text and fails on such bitmaps.
    const qreal ex = std::hypot(m.m11(), m.m12()) * pixelSize, ey = std::hypot(m.m21(), m.m22()) * pixelSize;
    const bool asOutlines = std::max(ex, ey) > 512 || ex > 4 * ey || ey > 4 * ex;
    QPainterPath outlines;
    auto draw = [&](const QPointF& at, const QString& text) {
        if (asOutlines)
            outlines.addText(at, font, text);
        else
            m_painter.drawText(at, text);
    };
    if (run.advances.empty()) {
        draw(QPointF(x, y), run.text);
    } else {
        const QString& s = run.text;
        for (qsizetype i = 0; i < s.size(); ++i) {
            const qsizetype n = (s[i].isHighSurrogate() && i + 1 < s.size()) ? 2 : 1;
            draw(QPointF(x, y), s.mid(i, n));
            for (qsizetype j = i; j < i + n && j < qsizetype(run.advances.size()); ++j)
                x += run.advances[size_t(j)] / unit;
            i += n - 1;
        }
    }
    if (asOutlines)
        m_painter.fillPath(outlines, run.color);
}

void PainterCanvas::drawImage(const QRectF& target, const QImage& image, const QRectF& source, const Paint& paint)
{
    apply(paint);
    if (paint.rop.code != 0xCC || !paint.rop.mask.isNull()) {
        rasterBlit(m_painter, target, image, source, paint);
        return;
    }
    if (source.width() <= 0 || source.height() <= 0 || image.isNull())
        return;
    const qreal sx = target.width() / source.width();
    const qreal sy = target.height() / source.height();
    const QTransform sourceToLogical(sx, 0, 0, sy, target.x() - source.x() * sx, target.y() - source.y() * sy);
    m_painter.setTransform(sourceToLogical * paint.transform);
    m_painter.drawImage(source, image, source);
}

}  // namespace metafile
