// Bitmaps, raster operations, gradients, regions and embedded pictures, checked on the pixels:
// against the renderings of another program where it draws them (the libUEMF samples, which
// use every one of these records), and against what the operation means where it does not.
#include "MetafileTestSupport.h"

#include <functional>

using namespace testmf;
using metafile::RecordedCall;

namespace {

// Mean absolute channel difference of a part of our rendering of a sample and of its reference,
// each averaged over cells of the given size first (patterns whose phase differs compare by
// their colours), at the best of the vertical shifts up to slack (text set a little higher or
// lower by the other program).
double partDifference(const char* path, const QRect& part, int cell, int slack)
{
    const QImage reference(QStringLiteral(FOTOLAUF_SAMPLES_DIR "/") + QLatin1String(path) + QStringLiteral(".ref.png"));
    const QImage ours = render(sample(QLatin1String(path)), reference.size());
    auto cells = [&](const QImage& image, int dy) {
        return image.copy(part.translated(0, dy)).scaled(part.size() / cell, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    double best = 1e9;
    for (int dy = -slack; dy <= slack; ++dy)
        best = std::min(best, meanDifference(cells(ours, dy), cells(reference, 0)));
    return best;
}

TEST(BlitsAndRegions, RecordsLookLikeTheReferenceRenderingsOfTheSamplesThatUseThem)
{
    // Limits sit between what these parts measure now and what they measured before the records
    // were drawn (in brackets).
    const struct {
        const char* what;
        const char* path;
        QRect part;
        int cell, slack;
        double limit;
    } cases[] = {
        {"WMF BITBLT, STRETCHBLT of device bitmaps and DIBs (18.6)", "wmf/libuemf__test_libuemf_ref.wmf", QRect(425, 398, 200, 56), 1, 0, 12},
        {"WMF pattern brushes of device bitmaps, CREATEPATTERNBRUSH (70)", "wmf/libuemf__test_libuemf_ref.wmf", QRect(452, 335, 52, 24), 26, 0, 30},
        {"EMF GRADIENTFILL rectangles (101)", "emf/libuemf__test_libuemf_ref.emf", QRect(32, 335, 56, 70), 1, 0, 3},
        {"EMF wide pens painting with hatches and bitmaps (45)", "emf/libuemf__test_libuemf_ref.emf", QRect(490, 300, 320, 90), 1, 0, 20},
        {"EMF small text records (50)", "emf/libuemf__test_libuemf_ref.emf", QRect(8, 12, 360, 40), 1, 8, 25},
    };
    for (const auto& c : cases) {
        const double d = partDifference(c.path, c.part, c.cell, c.slack);
        std::printf("%s: %.2f\n", c.what, d);
        EXPECT_LT(d, c.limit) << c.what;
    }
}

QRgb rgb(uint32_t c) { return 0xFF000000 | c; }

TEST(BlitsAndRegions, NamedRasterOperationsCombineSourceBrushAndWhatIsThere)
{
    constexpr uint32_t D = 0x35C95A, P = 0x6C3AF1, S = 0xA7581E, W = 0xFFFFFF;
    const struct {
        const char* name;
        uint32_t rop;
        std::function<uint32_t(uint32_t, uint32_t, uint32_t)> meaning;  // of P, S, D
    } ops[] = {
        {"SRCCOPY", 0x00CC0020, [](uint32_t, uint32_t s, uint32_t) { return s; }},
        {"SRCPAINT", 0x00EE0086, [](uint32_t, uint32_t s, uint32_t d) { return s | d; }},
        {"SRCAND", 0x008800C6, [](uint32_t, uint32_t s, uint32_t d) { return s & d; }},
        {"SRCINVERT", 0x00660046, [](uint32_t, uint32_t s, uint32_t d) { return s ^ d; }},
        {"SRCERASE", 0x00440328, [](uint32_t, uint32_t s, uint32_t d) { return s & ~d; }},
        {"NOTSRCCOPY", 0x00330008, [](uint32_t, uint32_t s, uint32_t) { return ~s; }},
        {"NOTSRCERASE", 0x001100A6, [](uint32_t, uint32_t s, uint32_t d) { return ~(s | d); }},
        {"MERGECOPY", 0x00C000CA, [](uint32_t p, uint32_t s, uint32_t) { return p & s; }},
        {"MERGEPAINT", 0x00BB0226, [](uint32_t, uint32_t s, uint32_t d) { return ~s | d; }},
        {"PATCOPY", 0x00F00021, [](uint32_t p, uint32_t, uint32_t) { return p; }},
        {"PATPAINT", 0x00FB0A09, [](uint32_t p, uint32_t s, uint32_t d) { return p | ~s | d; }},
        {"PATINVERT", 0x005A0049, [](uint32_t p, uint32_t, uint32_t d) { return p ^ d; }},
        {"DSTINVERT", 0x00550009, [](uint32_t, uint32_t, uint32_t d) { return ~d; }},
        {"BLACKNESS", 0x00000042, [](uint32_t, uint32_t, uint32_t) { return 0u; }},
        {"WHITENESS", 0x00FF0062, [](uint32_t, uint32_t, uint32_t) { return ~0u; }},
    };
    for (const auto& op : ops) {
        SCOPED_TRACE(op.name);
        // A 40 x 10 picture: the background, then the one-pixel source stretched over its middle.
        Wmf wmf(3, QRect(0, 0, 40, 10), 96);
        wmf.record(META_CREATEPENINDIRECT, Bytes().u16(5).i16(0).i16(0).color(0, 0, 0))
            .words(META_SELECTOBJECT, {0})
            .record(META_CREATEBRUSHINDIRECT, logBrush(D))
            .words(META_SELECTOBJECT, {1})
            .words(META_RECTANGLE, {10, 40, 0, 0})
            .record(META_CREATEBRUSHINDIRECT, logBrush(P))
            .words(META_SELECTOBJECT, {2})
            .record(META_DIBSTRETCHBLT, Bytes().u32(op.rop).i16s({1, 1, 0, 0, 10, 20, 0, 10}).raw(dib24(1, 1, {rgb(S)}).data()));
        const QImage image = render(wmf.bytes(), QSize(40, 10));
        EXPECT_EQ(image.pixel(20, 5), rgb(op.meaning(P, S, D)));
        EXPECT_EQ(image.pixel(5, 5), rgb(D));
    }
    // On nothing yet drawn, an AND finds the white page the picture is made for and shows its
    // source; the others find black, and leave alone what they would leave as it was.
    const struct {
        uint32_t rop, source;
        QRgb expected;  // on the black the test draws on
    } onNothing[] = {
        {0x008800C6, S, rgb(S)}, {0x00EE0086, S, rgb(S)}, {0x00660046, S, rgb(S)}, {0x00550009, S, rgb(W)},
        {0x00EE0086, 0, rgb(0)}, {0x00BB0226, W, rgb(0)},
    };
    for (const auto& c : onNothing) {
        SCOPED_TRACE(c.rop);
        Wmf wmf(1, QRect(0, 0, 40, 10), 96);
        wmf.record(META_DIBSTRETCHBLT, Bytes().u32(c.rop).i16s({1, 1, 0, 0, 10, 20, 0, 10}).raw(dib24(1, 1, {rgb(c.source)}).data()));
        EXPECT_EQ(render(wmf.bytes(), QSize(40, 10)).pixel(20, 5), c.expected);
    }
}

TEST(BlitsAndRegions, BitmapRecordsLandOnTheirTargetWithTheRowsUpright)
{
    // EMR_ALPHABLEND of one premultiplied red pixel at half alpha onto (10,10)-(30,30).
    auto alphaBlend = [](int constantAlpha, int alphaFormat) {
        Bytes rec;
        rec.i32s({0, 0, 0, 0}).i32s({10, 10, 20, 20}).u8(0).u8(0).u8(constantAlpha).u8(alphaFormat).i32s({0, 0});
        rec.raw(xform(1, 0, 0, 1, 0, 0)).u32(0).u32(0).u32(108).u32(40).u32(148).u32(4).i32(1).i32(1);
        rec.u32(40).i32(1).i32(1).u16(1).u16(32).u32(0).u32(4).i32(0).i32(0).u32(0).u32(0).u8(0).u8(0).u8(128).u8(128);
        return Emf().record(EMR_ALPHABLEND, rec).bytes();
    };
    const QRgb red = rgb(0xFF0000), green = rgb(0x00FF00), blue = rgb(0x0000FF), white = rgb(0xFFFFFF);
    Bytes stretchDibits;  // 2 x 2 onto (10,20) 40 x 30
    stretchDibits.i32s({0, 0, 0, 0}).i32s({10, 20, 0, 0, 2, 2}).u32(80).u32(40).u32(120).u32(16).u32(0).u32(0x00CC0020);
    stretchDibits.i32(40).i32(30).raw(dib24(2, 2, {blue, white, red, green}));
    const struct {
        const char* name;
        QByteArray bytes;
        QRectF target, source;  // source not checked when empty
        std::vector<std::pair<QPoint, QRgb>> pixels;
        int alpha;  // of pixel 0,0; -1: opaque
    } cases[] = {
        {"EMF STRETCHDIBITS, first stored row at the bottom", Emf().record(EMR_STRETCHDIBITS, stretchDibits).bytes(),
         QRectF(10, 20, 40, 30), {}, {{{0, 0}, blue}, {{1, 0}, white}, {{0, 1}, red}, {{1, 1}, green}}, -1},
        {"WMF STRETCHDIB, source rows counted from the bottom",
         wmfPage().record(META_STRETCHDIB, Bytes().u32(0x00CC0020).u16(0).i16s({1, 1, 0, 0, 20, 30, 5, 6}).raw(dib24(1, 2, {blue, red})))
             .bytes(),
         QRectF(6, 5, 30, 20), QRectF(0, 1, 1, 1), {{{0, 1}, red}}, -1},
        {"WMF SETDIBTODEV, source rows counted from the bottom",
         wmfPage().record(META_SETDIBTODEV, Bytes().u16(0).u16(2).u16(0).i16s({0, 0, 1, 1, 5, 6}).raw(dib24(1, 2, {blue, red}))).bytes(),
         QRectF(6, 5, 1, 1), QRectF(0, 1, 1, 1), {{{0, 1}, red}}, -1},
        {"EMF ALPHABLEND, per-pixel alpha", alphaBlend(255, 1), QRectF(10, 10, 20, 20), {}, {}, 128},
        {"EMF ALPHABLEND, per-pixel alpha, half faded", alphaBlend(128, 1), QRectF(10, 10, 20, 20), {}, {}, 64},
        {"EMF ALPHABLEND, no source alpha", alphaBlend(255, 0), QRectF(10, 10, 20, 20), {}, {}, 255},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto calls = record(c.bytes);
        ASSERT_EQ(calls.size(), 1u);
        ASSERT_EQ(calls[0].kind, RecordedCall::Image);
        expectRect(calls[0].targetBounds(), c.target);
        if (!c.source.isEmpty()) {
            expectRect(calls[0].source, c.source);
        }
        for (const auto& [at, colour] : c.pixels)
            EXPECT_EQ(calls[0].image.pixel(at), colour) << at.x() << "," << at.y();
        EXPECT_NEAR(qAlpha(calls[0].image.pixel(0, 0)), c.alpha < 0 ? 255 : c.alpha, 1);
    }
}

Bytes monoMask(const std::vector<int>& bits, Bytes* rows)
{
    Bytes info;
    info.u32(40).i32(int(bits.size())).i32(1).u16(1).u16(1).u32(0).u32(0).i32(0).i32(0).u32(2).u32(0);
    info.color(0, 0, 0).color(255, 255, 255);
    int byte = 0;
    for (size_t i = 0; i < bits.size(); ++i)
        byte |= bits[i] << (7 - int(i));
    rows->u8(byte).u8(0).u8(0).u8(0);
    return info;
}

TEST(BlitsAndRegions, MaskAndParallelogramBltsPlaceEachSourcePixel)
{
    // MASKBLT of red | blue through the mask 1 | 0: the set bit copies the source, the clear one
    // paints the brush.
    Bytes srcBits, maskBits;
    const Bytes srcInfo = dib24(2, 1, {rgb(0xFF0000), rgb(0x0000FF)}, &srcBits);
    const Bytes maskInfo = monoMask({1, 0}, &maskBits);
    const int srcAt = 8 + 120, maskAt = srcAt + 40 + int(srcBits.size());
    Bytes mask;
    mask.i32s({0, 0, 0, 0}).i32s({20, 20, 60, 40}).u32(0xF0CC0020).i32s({0, 0}).raw(xform(1, 0, 0, 1, 0, 0)).u32(0).u32(0);
    mask.u32(srcAt).u32(40).u32(srcAt + 40).u32(uint32_t(srcBits.size())).i32s({0, 0}).u32(0);
    mask.u32(maskAt).u32(48).u32(maskAt + 48).u32(4).raw(srcInfo).raw(srcBits).raw(maskInfo).raw(maskBits);
    // PLGBLT of red, green / blue, white onto a parallelogram leaning to the right.
    Bytes bits;
    const Bytes info = dib24(2, 2, {rgb(0xFF0000), rgb(0x00FF00), rgb(0x0000FF), rgb(0xFFFFFF)}, &bits);
    Bytes plg;
    plg.i32s({0, 0, 0, 0}).i32s({10, 10, 50, 10, 30, 50}).i32s({0, 0, 2, 2}).raw(xform(1, 0, 0, 1, 0, 0)).u32(0).u32(0);
    plg.u32(8 + 132).u32(40).u32(8 + 132 + 40).u32(uint32_t(bits.size())).i32s({0, 0}).u32(0).u32(0).u32(0).u32(0).u32(0);
    plg.raw(info).raw(bits);
    expectPixels(render(Emf().brush(1, 0, 200, 0).select(1).record(EMR_MASKBLT, mask).bytes()),
                 {{{30, 40}, qRgb(255, 0, 0)}, {{70, 40}, qRgb(0, 200, 0)}, {{30, 10}, qRgb(0, 0, 0)}});
    // The centre of each source pixel lands a quarter or three quarters along each side (where
    // smooth scaling mixes in a little of its neighbours); black left of the leaning side.
    const QImage image = render(Emf().record(EMR_PLGBLT, plg).bytes());
    expectPixels(image, {{{25, 20}, qRgb(255, 0, 0)}, {{45, 20}, qRgb(0, 255, 0)}, {{35, 40}, qRgb(0, 0, 255)}, {{55, 40}, qRgb(255, 255, 255)}}, 15);
    expectPixels(image, {{{14, 45}, qRgb(0, 0, 0)}});
}

Bytes regionData(std::initializer_list<QRect> rects)
{
    Bytes b;
    b.u32(32).u32(1).u32(uint32_t(rects.size())).u32(uint32_t(rects.size() * 16)).i32s({0, 0, 100, 100});
    for (const QRect& r : rects)
        b.i32s({r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    return b;
}

TEST(BlitsAndRegions, RegionsAreFilledFramedInvertedAndPainted)
{
    const Bytes region = regionData({QRect(20, 20, 30, 20), QRect(50, 30, 20, 30)});  // an L of two rectangles
    const auto size = uint32_t(region.size());
    auto drawn = [&](uint32_t type, const Bytes& fields) {
        Emf emf;
        emf.brush(1, 255, 0, 0).brush(2, 0, 0, 255).select(NULL_PEN).select(1)
            .rect(EMR_RECTANGLE, 0, 60, 100, 100)  // red below the region's lower part
            .select(2)
            .record(type, Bytes().i32s({0, 0, 0, 0}).raw(fields.data()).raw(region.data()));
        return render(emf.bytes());
    };
    const QImage fill = drawn(EMR_FILLRGN, Bytes().u32(size).u32(0x80000004));  // the stock black brush
    const QImage frame = drawn(EMR_FRAMERGN, Bytes().u32(size).u32(1).i32(3).i32(3));  // red, 3 wide
    const QImage invert = drawn(EMR_INVERTRGN, Bytes().u32(size));
    const QImage paint = drawn(EMR_PAINTRGN, Bytes().u32(size));
    const struct {
        QPoint at;
        QRgb fill, frame, invert, paint;
    } probes[] = {
        {{30, 30}, qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 255)},          // inside, away from the edge
        {{21, 30}, qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 255)},        // on the frame
        {{60, 58}, qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 255)},        // on the frame
        {{60, 45}, qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 255)},
        {{30, 45}, qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 0)},                  // outside the L
        {{30, 80}, qRgb(255, 0, 0), qRgb(255, 0, 0), qRgb(255, 0, 0), qRgb(255, 0, 0)},          // below it
    };
    for (const auto& p : probes) {
        SCOPED_TRACE(QStringLiteral("%1,%2").arg(p.at.x()).arg(p.at.y()).toStdString());
        EXPECT_EQ(fill.pixel(p.at), p.fill);
        EXPECT_EQ(frame.pixel(p.at), p.frame);
        EXPECT_EQ(invert.pixel(p.at), p.invert);
        EXPECT_EQ(paint.pixel(p.at), p.paint);
    }
}

// A WMF whose records draw red and whose comments carry, in two pieces, an EMF that draws blue.
QByteArray wmfWithEmf(bool complete)
{
    const QByteArray emf = Emf().brush(1, 0, 0, 255).select(1).rect(EMR_RECTANGLE, 0, 0, 100, 100).bytes();
    Wmf wmf = wmfPage();
    wmf.record(META_CREATEBRUSHINDIRECT, logBrush(qRgb(255, 0, 0))).words(META_SELECTOBJECT, {0});
    const qsizetype half = emf.size() / 2;
    for (int piece = 0; piece < 2; ++piece) {
        const QByteArray data = piece ? emf.mid(half) : emf.left(half);
        if (!complete && piece == 1)
            continue;
        Bytes escape;
        escape.u16(0x000F).u16(int(34 + data.size())).u32(0x43464D57).u32(1).u32(0x10000).u16(0).u32(0);
        escape.u32(2).u32(uint32_t(data.size())).u32(uint32_t(emf.size() - (piece ? emf.size() : half))).u32(uint32_t(emf.size()));
        wmf.record(META_ESCAPE, escape.raw(data));
    }
    return wmf.words(META_RECTANGLE, {100, 100, 0, 0}).bytes();
}

TEST(BlitsAndRegions, AWmfPlaysTheEmfItCarriesWhenAllOfItIsThere)
{
    EXPECT_EQ(render(wmfWithEmf(true)).pixel(50, 50), qRgb(0, 0, 255));
    EXPECT_EQ(render(wmfWithEmf(false)).pixel(50, 50), qRgb(255, 0, 0));
    // A sample written that way: the EMF it carries and its own records draw the same picture.
    const QByteArray withEmf = sample(QStringLiteral("wmf/poi__60677.wmf"));
    ASSERT_TRUE(MetafilePicture::load(withEmf) && MetafilePicture::load(withEmf)->isEnhanced());
    QByteArray recordsOnly = withEmf.left(40);
    for (qsizetype at = 40; at + 6 <= withEmf.size();) {
        const qsizetype size = 2 * qFromLittleEndian<quint32>(withEmf.constData() + at);
        if (size < 6)
            break;
        if (qFromLittleEndian<quint16>(withEmf.constData() + at + 4) != META_ESCAPE)
            recordsOnly += withEmf.mid(at, size);
        at += size;
    }
    EXPECT_LT(meanDifference(render(withEmf, QSize(400, 270)), render(recordsOnly, QSize(400, 270))), 4);
}

}  // namespace
