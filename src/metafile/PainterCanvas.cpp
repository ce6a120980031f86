// QPainter implementation of the metafile canvas.
#include "PainterCanvas.h"

#include "RasterBlit.h"
#include "TiledFill.h"
#include "VisibleRuns.h"

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

// More dashes than this along what shows of a line are drawn as a solid line.
constexpr qreal kMaxDashes = 20000;
// Elements of a line that are made into one outline at most: an outline has several times as
// many, and all of them are held until they are filled.
constexpr int kOutlineRun = 1 << 16;

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

PainterCanvas::PainterCanvas(QPainter& painter, const QRectF& bounds, Budget& budget)
    : m_painter(painter), m_bounds(bounds), m_budget(budget)
{
    m_view = bounds & QRectF(0, 0, painter.device()->width(), painter.device()->height());
    if (painter.hasClipping())
        m_view &= painter.transform().mapRect(painter.clipBoundingRect());
    m_painter.save();
    m_painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    m_painter.setCompositionMode(m_mode);
}

PainterCanvas::~PainterCanvas()
{
    m_painter.restore();
}

qint64 PainterCanvas::pixelsWithin(const QRectF& box) const
{
    const QRectF shown = box & m_view;
    const qreal pixels = shown.width() * shown.height();
    return pixels > 0 && pixels < 1e12 ? qint64(pixels) : 0;  // not a number: nothing shows
}

void PainterCanvas::apply(const Paint& paint)
{
    const int serial = paint.clip ? paint.clipSerial : -1;
    if (serial != m_clipSerial) {
        m_clipSerial = serial;
        m_painter.setTransform(QTransform());
        m_painter.setClipRect(m_bounds);
        if (paint.clip) {
            // Qt turns the clip into spans over the picture's height, each time it changes.
            const QPainterPath& clip = *paint.clip;
            m_budget.charge(work::kCall + clip.elementCount() * (work::kElement + work::kStep) + qint64(m_view.height()));
            m_painter.setClipPath(nearView(clip.controlPointRect()) ? clip : cutToArea(clip, m_view.adjusted(-1, -1, 1, 1)),
                                  Qt::IntersectClip);
        }
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
    const QRectF box = devicePath.controlPointRect();
    m_budget.charge(devicePath.elementCount() * work::kElement);
    if (!box.intersects(m_view))
        return;
    if (devicePath.elementCount() > kDirectElements) {
        // Charged by the filler, which knows what cutting the path into pieces costs.
        fillInPieces(m_painter, devicePath, brush, m_budget);
        return;
    }
    // The rasterizer works along the edges, then across the spans between them.
    const qint64 pixels = pixelsWithin(box) * (brush.style() == Qt::SolidPattern ? 1 : work::kPatternFactor);
    const qreal edges = lengthWithin(devicePath, m_view, true);
    if (!m_budget.afford(work::kCall + qint64(edges * work::kEdgePixel) + pixels / work::kPixelsPerUnit))
        return;
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(brush);
    m_painter.drawPath(nearView(box) ? devicePath : cutToArea(devicePath, m_view.adjusted(-1, -1, 1, 1)));
}

bool PainterCanvas::nearView(const QRectF& box) const
{
    // Qt's rasterizer goes along every edge it is given, however far beyond the picture: a few
    // edges thrown millions of pixels out took it seconds.
    return m_view.adjusted(-m_view.width(), -m_view.height(), m_view.width(), m_view.height()).contains(box);
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
    const QTransform& t = paint.transform;
    QPainterPath devicePath = t.map(path);
    m_budget.charge(devicePath.elementCount() * work::kElement);

    // Lines one pixel of the metafile's device wide, enlarged to several pixels, have the hard
    // edges GDI gives them (below). A wide pen under a mapping that stretches one axis more than
    // the other is stretched with it: its outline is made in logical units, and so are its dashes.
    const bool hardEdges = thin && width >= kHardEdgedWidth && !paint.clip;
    const bool deviceShape = thin || pen.isCosmetic() || keepsShape(t);
    const bool logical = !hardEdges && width > 1 && !deviceShape;
    const qreal unit = logical ? width / scale : width;  // the pen's width where its outline is made
    const QTransform lengthSpace = logical ? t.inverted() : QTransform();
    // Only what comes near the picture is stroked: no part of the outline lies further from its
    // line than a mitred corner reaches (the miter limit counts in widths), plus a pixel of
    // antialiasing. That keeps a line that a mapping throws far beyond the picture, and its
    // dashes and curves, from costing what its whole length would.
    const qreal reach = std::max<qreal>(pen.miterLimit(), 1) * unit;
    const qreal reachX = (logical ? reach * std::hypot(t.m11(), t.m21()) : reach) + 2;
    const qreal reachY = (logical ? reach * std::hypot(t.m12(), t.m22()) : reach) + 2;
    bool dashed = pen.style() != Qt::SolidLine;
    qint64 steps = 0;
    std::vector<Run> runs =
        visibleRuns(devicePath, m_view.adjusted(-reachX, -reachY, reachX, reachY), lengthSpace, dashed, kOutlineRun, steps);
    m_budget.charge(steps * work::kStep);
    // How the line is drawn depends on the whole of it, so that it looks the same however much shows.
    const bool shortPath = devicePath.elementCount() <= kDirectElements;
    devicePath = QPainterPath();  // the runs hold what is left of it
    if (runs.empty())
        return;
    qreal period = 0;
    for (qreal d : pen.dashPattern())
        period += d * unit;
    // Dashes in a run: where there would be more than can be told apart, which costs time for
    // nothing visible, the line is drawn solid.
    auto dashesIn = [&](const Run& run) { return dashed ? lengthSpace.map(run.path).length() / period * pen.dashPattern().size() / 2 : 0; };
    if (dashed) {
        qreal dashes = 0;
        for (const Run& run : runs)
            dashes += dashesIn(run);
        if (!(period > 0) || !(dashes <= kMaxDashes)) {
            pen.setStyle(Qt::SolidLine);
            dashed = false;
        }
    }
    const bool direct = !hardEdges && (width <= 1 || (shortPath && deviceShape));
    // What a run costs: the line's pixels (both edges and what lies between them) where QPainter
    // draws it or its outline is filled at once; a filled outline is charged as it is filled.
    auto affordRun = [&](const Run& run) {
        const qreal shown = direct || hardEdges ? lengthWithin(run.path, m_view, false) : 0;
        return m_budget.afford(work::kCall + run.path.elementCount() * (direct ? work::kElement : work::kOutlineElement) +
                               qint64(dashesIn(run)) * work::kDash +
                               qint64(shown * (2 * work::kEdgePixel + width / work::kPixelsPerUnit)));
    };
    // Each run starts its dashes where it lies along its figure.
    const qreal firstDash = pen.dashOffset();
    auto dashOffset = [&](const Run& run) { return firstDash + run.lengthBefore / unit; };

    if (direct) {
        // One-pixel lines take QPainter's own line drawing, which has no size limit; short paths
        // are stroked by it as they are.
        pen.setCosmetic(true);
        pen.setWidthF(width);
        m_painter.setBrush(Qt::NoBrush);
        for (const Run& run : runs) {
            if (!affordRun(run))
                return;
            if (dashed)  // an offset makes a pattern of a solid pen, an empty one
                pen.setDashOffset(dashOffset(run));
            m_painter.setPen(pen);
            m_painter.drawPath(run.path);
        }
        return;
    }
    QPainterPathStroker stroker;
    stroker.setCapStyle(pen.capStyle());
    stroker.setJoinStyle(pen.joinStyle());
    stroker.setMiterLimit(pen.miterLimit());
    stroker.setWidth(unit);
    if (dashed)
        stroker.setDashPattern(pen.dashPattern());
    // The outlines of the runs, drawn together as long as they stay small.
    QPainterPath outline;
    auto outlines = [&](auto&& draw) {
        for (size_t i = 0; i < runs.size(); ++i) {
            const Run& run = runs[i];
            if (!affordRun(run))
                break;
            stroker.setDashOffset(dashOffset(run));
            outline.addPath(logical ? t.map(stroker.createStroke(lengthSpace.map(run.path))) : stroker.createStroke(run.path));
            if (outline.elementCount() > kOutlineRun * 4) {
                outline.setFillRule(Qt::WindingFill);
                draw();
                outline = QPainterPath();
            }
        }
        outline.setFillRule(Qt::WindingFill);
        if (!outline.isEmpty())
            draw();
    };
    if (hardEdges) {
        // A step of one pixel along an edge is a small part of such a line. Their outline is
        // filled in one piece, as the rasterizer without antialiasing has no cell pool to
        // overflow, at half the cost of a smooth one. Thinner lines stay smooth, and so do
        // clipped ones: switching antialiasing makes Qt rasterize the clip path again.
        const AntialiasingOff hard(m_painter);
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(pen.brush());
        outlines([&] { m_painter.drawPath(outline); });
        return;
    }
    outlines([&] { fill(outline, pen.brush()); });
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
    // Glyphs reach out of their advances by less than a font size.
    const qreal em = pixelSize;
    const QRectF ink = m.mapRect(QRectF(x - em, y - fm.ascent() - em, width + 2 * em, fm.ascent() + fm.descent() + 2 * em));
    if (!ink.intersects(m_view) ||
        !m_budget.afford(work::kCall + run.text.size() * work::kGlyph + pixelsWithin(ink) / work::kPixelsPerUnit))
        return;
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
        // Characters placed one by one are left out where they cannot show.
        if (!run.advances.empty() &&
            !m.mapRect(QRectF(at.x() - em, at.y() - fm.ascent() - em, 3 * em, fm.ascent() + fm.descent() + 2 * em)).intersects(m_view))
            return;
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
    if (asOutlines) {
        // In device pixels, where a fill is cut to what shows.
        m_painter.setTransform(QTransform());
        fill(m.map(outlines), run.color);
    }
}

void PainterCanvas::drawImage(const QRectF& target, const QImage& image, const QRectF& source, const Paint& paint)
{
    apply(paint);
    // The source is read (and converted) once; the pixels it lands on are worked out one by one
    // for raster operations, several times the work of a copy.
    const bool perPixel = paint.rop.code != 0xCC || !paint.rop.mask.isNull();
    const qint64 landed = pixelsWithin(paint.transform.mapRect(target)) * (perPixel ? 4 : 1);
    if (!m_budget.afford(work::kCall + (qint64(image.width()) * image.height() + landed) / work::kPixelsPerUnit))
        return;
    if (perPixel) {
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
