// EMF playback checked through the recording canvas: map modes, world transforms, text
// placement, paths, clipping, raster operations and bitmaps.
#include "MetafileTestSupport.h"

using namespace testmf;
using metafile::RecordedCall;

namespace {

Bytes rect(int l, int t, int r, int b) { return Bytes().i32s({l, t, r, b}); }

TEST(EmfPlayback, MapModesAndWorldTransformsPlaceLogicalUnitsOnTheDevice)
{
    // A rectangle (left, top, right, bottom as the record gives them) in the given map mode.
    auto mapped = [](int mode, QSize window, QSize viewport, QRect r, QPoint windowOrigin = {}, QPoint viewportOrigin = {}) {
        Emf emf;
        emf.record(EMR_SETMAPMODE, Bytes().u32(mode));
        if (!windowOrigin.isNull())
            emf.record(EMR_SETWINDOWORGEX, Bytes().i32(windowOrigin.x()).i32(windowOrigin.y()))
                .record(EMR_SETVIEWPORTORGEX, Bytes().i32(viewportOrigin.x()).i32(viewportOrigin.y()));
        if (!window.isEmpty() || window.height() < 0)
            emf.record(EMR_SETWINDOWEXTEX, Bytes().i32(window.width()).i32(window.height()))
                .record(EMR_SETVIEWPORTEXTEX, Bytes().i32(viewport.width()).i32(viewport.height()));
        return emf.record(EMR_RECTANGLE, rect(r.left(), r.top(), r.right(), r.bottom())).bytes();
    };
    // The rectangle (0,0)-(10,20) under a world transform, set and then modified (mode 1 to 3).
    auto transformed = [](const Bytes& set, const Bytes& modify = {}, int how = 0) {
        Emf emf;
        emf.record(EMR_SETWORLDTRANSFORM, set);
        if (how)
            emf.record(EMR_MODIFYWORLDTRANSFORM, Bytes().raw(modify).u32(how));
        return emf.record(EMR_RECTANGLE, rect(0, 0, 10, 20)).bytes();
    };
    const QRectF english(10.16, 20.32, 20.32, 20.32), square(10, 20, 20, 20);
    const struct {
        const char* name;
        QByteArray bytes;
        QRectF expected;
    } cases[] = {
        {"MM_TEXT", mapped(1, {}, {}, QRect(QPoint(10, 20), QPoint(30, 40))), square},
        {"MM_LOMETRIC", mapped(2, {}, {}, QRect(QPoint(25, -50), QPoint(75, -100))), square},
        {"MM_HIMETRIC", mapped(3, {}, {}, QRect(QPoint(250, -500), QPoint(750, -1000))), square},
        {"MM_LOENGLISH", mapped(4, {}, {}, QRect(QPoint(10, -20), QPoint(30, -40))), english},
        {"MM_HIENGLISH", mapped(5, {}, {}, QRect(QPoint(100, -200), QPoint(300, -400))), english},
        {"MM_TWIPS", mapped(6, {}, {}, QRect(QPoint(144, -288), QPoint(432, -576))), english},
        {"MM_ISOTROPIC", mapped(7, {200, 100}, {100, 100}, QRect(QPoint(20, 40), QPoint(60, 80))), square},
        {"MM_ANISOTROPIC", mapped(8, {200, 100}, {100, 100}, QRect(QPoint(20, 20), QPoint(60, 40))), square},
        {"MM_ANISOTROPIC upwards", mapped(8, {200, -100}, {100, 100}, QRect(QPoint(20, -20), QPoint(60, -40))), square},
        {"origins shift window against viewport",
         mapped(8, {10, 10}, {20, 20}, QRect(QPoint(100, 100), QPoint(110, 105)), {100, 100}, {50, 50}), QRectF(50, 50, 20, 10)},
        {"world transform set: scale and move", transformed(xform(2, 0, 0, 3, 5, 5)), QRectF(5, 5, 20, 60)},
        {"left multiply: rotate before the move", transformed(xform(1, 0, 0, 1, 50, 0), xform(0, 1, -1, 0, 0, 0), 2),
         QRectF(30, 0, 20, 10)},
        {"right multiply: rotate after the move", transformed(xform(1, 0, 0, 1, 50, 0), xform(0, 1, -1, 0, 0, 0), 3),
         QRectF(-20, 50, 20, 10)},
        {"identity", transformed(xform(2, 0, 0, 2, 7, 7), xform(0, 0, 0, 0, 0, 0), 1), QRectF(0, 0, 10, 20)},
        {"singular transform ignored", transformed(xform(0, 0, 0, 0, 9, 9)), QRectF(0, 0, 10, 20)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto calls = record(c.bytes);
        ASSERT_EQ(calls.size(), 1u);
        expectRect(calls[0].targetBounds(), c.expected, 0.05);
    }
}

TEST(EmfPlayback, TextKeepsAnchorAlignmentAdvancesFontAndTheCurrentPosition)
{
    Emf emf;
    emf.record(EMR_SETTEXTALIGN, Bytes().u32(1))  // at the current position, which moves on
        .record(EMR_MOVETOEX, Bytes().i32(10).i32(12))
        .record(EMR_EXTTEXTOUTW, emfTextOut(0, 0, QStringLiteral("ab"), {5, 6}))
        .record(EMR_EXTTEXTOUTW, emfTextOut(0, 0, QStringLiteral("c"), {4}))
        .record(EMR_EXTCREATEFONTINDIRECTW, emfFont(-20, 900, 700, true, QStringLiteral("Georgia")))
        .select(1)
        .record(EMR_SETTEXTALIGN, Bytes().u32(24 | 6))
        .record(EMR_EXTTEXTOUTW, emfTextOut(40, 50, QStringLiteral("Hi"), {7, 9}));
    const auto calls = record(emf.bytes(), QRectF(0, 0, 200, 200));
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].transform.map(calls[0].text.anchor), QPointF(20, 24));
    EXPECT_EQ(calls[1].transform.map(calls[1].text.anchor), QPointF(42, 24));
    const RecordedCall& c = calls[2];
    ASSERT_EQ(c.kind, RecordedCall::Text);
    EXPECT_EQ(c.text.text, QStringLiteral("Hi"));
    EXPECT_EQ(c.transform.map(c.text.anchor), QPointF(80, 100));
    EXPECT_EQ(c.text.align, 30);
    EXPECT_EQ(c.text.advances, (std::vector<qreal>{7, 9}));
    EXPECT_DOUBLE_EQ(c.text.emHeight, 20);
    EXPECT_DOUBLE_EQ(c.text.angle, 90);
    EXPECT_EQ(c.text.font.weight(), QFont::Bold);
    EXPECT_TRUE(c.text.font.italic());
    EXPECT_EQ(c.text.font.families().value(0), QStringLiteral("Georgia"));
}

TEST(EmfPlayback, TextAlignmentPlacesInkAroundTheAnchor)
{
    // Drawn for real: top-aligned ink hangs below the anchor, bottom-aligned ink stands above it.
    for (const auto& [align, below] : {std::pair{0, true}, std::pair{8, false}}) {
        Emf emf;
        emf.record(EMR_EXTCREATEFONTINDIRECTW, emfFont(-30, 0, 400, false, QStringLiteral("DejaVu Sans")))
            .select(1)
            .record(EMR_SETTEXTALIGN, Bytes().u32(align))
            .record(EMR_EXTTEXTOUTW, emfTextOut(20, 50, QStringLiteral("HH"), {}));
        const QImage image = render(emf.bytes(), QSize(100, 100), Qt::white);
        int top = 100, bottom = -1;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                if (qGray(image.pixel(x, y)) < 128) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        SCOPED_TRACE(align);
        ASSERT_GE(bottom, 0);
        if (below) {
            EXPECT_GE(top, 50);
            EXPECT_LE(bottom, 80);
        } else {
            EXPECT_LE(bottom, 50);
            EXPECT_GE(top, 20);
        }
    }
}

TEST(EmfPlayback, ClippingCombinesRectsPathsAndSavedStates)
{
    Emf emf;
    emf.record(EMR_INTERSECTCLIPRECT, rect(10, 10, 60, 60))
        .record(EMR_EXCLUDECLIPRECT, rect(40, 10, 60, 60))
        .record(EMR_SAVEDC)
        .record(EMR_BEGINPATH)
        .record(EMR_RECTANGLE, rect(0, 0, 20, 20))
        .record(EMR_ENDPATH)
        .record(EMR_SELECTCLIPPATH, Bytes().u32(1))
        .record(EMR_ELLIPSE, rect(0, 0, 100, 100))
        .record(EMR_RESTOREDC, Bytes().i32(-1))
        .record(EMR_ELLIPSE, rect(0, 0, 100, 100));
    const auto calls = record(emf.bytes());
    ASSERT_EQ(calls.size(), 2u);
    const struct {
        QPointF point;
        bool inFirst, inSecond;
    } probes[] = {
        {{15, 15}, true, true},   // inside all three shapes
        {{30, 15}, false, true},  // outside the clip path only
        {{45, 30}, false, false}, // in the excluded strip
        {{5, 5}, false, false},   // outside the intersected rectangle
        {{30, 55}, false, true},
    };
    ASSERT_TRUE(calls[0].clipped && calls[1].clipped);
    for (const auto& p : probes) {
        EXPECT_EQ(calls[0].clip.contains(p.point), p.inFirst) << p.point.x() << "," << p.point.y();
        EXPECT_EQ(calls[1].clip.contains(p.point), p.inSecond) << p.point.x() << "," << p.point.y();
    }
}

TEST(EmfPlayback, PensBrushesAndRasterOperationsReachTheCanvas)
{
    const struct {
        const char* name;
        int rop2;
        bool drawn;
        QPainter::CompositionMode mode;
    } cases[] = {
        {"copy", 13, true, QPainter::CompositionMode_SourceOver},
        {"xor", 7, true, QPainter::RasterOp_SourceXorDestination},
        {"not", 6, true, QPainter::RasterOp_NotDestination},
        {"nop", 11, false, QPainter::CompositionMode_SourceOver},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Emf emf;
        // Geometric pen: 4 units wide, dashed, flat caps, bevel joins.
        emf.record(EMR_EXTCREATEPEN, Bytes().u32(1).u32(0).u32(0).u32(0).u32(0)
                                         .u32(0x10000 | 0x1000 | 0x200 | 1).u32(4).u32(0).color(255, 0, 0).u32(0).u32(0))
            .select(1)
            .select(NULL_BRUSH)
            .record(EMR_SETROP2, Bytes().u32(c.rop2))
            .record(EMR_ELLIPSE, rect(10, 10, 50, 50));
        const auto calls = record(emf.bytes());
        ASSERT_EQ(calls.size(), c.drawn ? 1u : 0u);
        if (!c.drawn)
            continue;
        EXPECT_EQ(calls[0].mode, c.mode);
        EXPECT_EQ(calls[0].pen.color(), QColor(255, 0, 0));
        EXPECT_DOUBLE_EQ(calls[0].pen.widthF(), 4);
        EXPECT_EQ(calls[0].pen.style(), Qt::DashLine);
        EXPECT_EQ(calls[0].pen.capStyle(), Qt::FlatCap);
        EXPECT_EQ(calls[0].pen.joinStyle(), Qt::BevelJoin);
        EXPECT_EQ(calls[0].brush.style(), Qt::NoBrush);
    }
}

TEST(EmfPlayback, DrawnPixelsKeepToTheTargetAndTheClipInForce)
{
    // Drawn for real, so the painter's clip (not only the recorded one) must follow.
    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255), black = qRgb(0, 0, 0);
    const struct {
        const char* name;
        QByteArray bytes;
        QRectF target;  // on a 300 x 300 image
        Probes probes;
    } cases[] = {
        {"a rectangle reaching beyond the picture",
         Emf().brush(1, 255, 0, 0).select(1).select(NULL_PEN).record(EMR_RECTANGLE, rect(-50, -50, 50, 50)).bytes(),
         QRectF(100, 100, 200, 200), {{{150, 150}, red}, {{250, 250}, black}, {{50, 50}, black}}},
        {"the clip restored after a narrower one",
         Emf().select(NULL_PEN).brush(1, 255, 0, 0).brush(2, 0, 0, 255)
             .record(EMR_INTERSECTCLIPRECT, rect(0, 0, 50, 100))
             .record(EMR_SAVEDC)
             .record(EMR_INTERSECTCLIPRECT, rect(0, 0, 20, 100))
             .select(1)
             .record(EMR_RECTANGLE, rect(0, 0, 100, 50))
             .record(EMR_RESTOREDC, Bytes().i32(-1))
             .select(2)
             .record(EMR_RECTANGLE, rect(0, 50, 100, 100))
             .bytes(),
         QRectF(0, 0, 100, 100), {{{10, 25}, red}, {{35, 25}, black}, {{35, 75}, blue}, {{75, 75}, black}}},
        {"an offset clip",
         Emf().brush(1, 255, 0, 0).select(1).select(NULL_PEN)
             .record(EMR_INTERSECTCLIPRECT, rect(10, 10, 30, 30))
             .record(EMR_OFFSETCLIPRGN, Bytes().i32(40).i32(5))
             .record(EMR_RECTANGLE, rect(0, 0, 100, 100))
             .bytes(),
         QRectF(0, 0, 100, 100), {{{20, 20}, black}, {{60, 25}, red}, {{60, 12}, black}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectPixels(render(c.bytes, QSize(300, 300), Qt::black, c.target), c.probes);
    }
}

// A pen of a real width, half a pixel of the metafile's device (one unit, halved by the world
// transform), enlarged about ten times: drawn as wide as one of the picture's pixels (its natural
// size is 25 mm at 96 per inch), with hard edges, whether the path is short (drawn by QPainter's
// own stroking) or long (filled as an outline). Each ring is a square standing on a corner, its
// sides 424 screen pixels long, walked by a polyline; its stroke covers a square of side 424 + w
// less the one of side 424 - w inside: 4 * 424 * w.
TEST(EmfPlayback, ThinPensEnlargedAreOnePicturePixelWideWithHardEdges)
{
    for (const int perSide : {1, 15}) {
        SCOPED_TRACE(perSide);
        Bytes points;
        const int corners[5][2] = {{100, 40}, {160, 100}, {100, 160}, {40, 100}, {100, 40}};
        points.i16s({100, 40});
        for (int side = 0; side < 4; ++side)
            for (int k = 1; k <= perSide; ++k) {
                const int (&a)[2] = corners[side], (&b)[2] = corners[side + 1];
                points.i16s({a[0] + (b[0] - a[0]) * k / perSide, a[1] + (b[1] - a[1]) * k / perSide});
            }
        Emf emf;
        emf.record(EMR_SETWORLDTRANSFORM, xform(0.5f, 0, 0, 0.5f, 0, 0))
            .record(EMR_CREATEPEN, Bytes().u32(1).u32(0).i32s({1, 0}).color(255, 255, 255))
            .select(1)
            .record(EMR_POLYLINE16, Bytes().i32s({40, 40, 160, 160}).u32(uint32_t(4 * perSide + 1)).raw(points.data()));
        const QImage image = render(emf.bytes(), QSize(1000, 1000));
        int white = 0, between = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const int grey = qGray(image.pixel(x, y));
                white += grey == 255;
                between += grey != 0 && grey != 255;
            }
        EXPECT_EQ(between, 0);
        const double w = 1000 / (2500 * 96 / 2540.0), side = 300 * std::sqrt(2.0);
        EXPECT_NEAR(white, 4 * side * w, 150);
    }
}

}  // namespace
