// WMF playback checked through the recording canvas: window mapping, the object table,
// text decoding by character set, saved states and bitmaps.
#include "MetafileTestSupport.h"

using namespace testmf;
using metafile::RecordedCall;

namespace {

enum {
    META_SETBKMODE = 0x0102, META_SETROP2 = 0x0104, META_SETTEXTCOLOR = 0x0209, META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C, META_INTERSECTCLIPRECT = 0x0416, META_ELLIPSE = 0x0418, META_RECTANGLE = 0x041B,
    META_SAVEDC = 0x001E, META_TEXTOUT = 0x0521, META_RESTOREDC = 0x0127, META_SELECTOBJECT = 0x012D,
    META_STRETCHDIB = 0x0F43, META_DELETEOBJECT = 0x01F0, META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB, META_CREATEBRUSHINDIRECT = 0x02FC, META_ARC = 0x0817, META_PIE = 0x081A,
};

Bytes brush(int r, int g, int b) { return Bytes().u16(0).color(r, g, b).u16(0); }

Bytes font(int height, int charset, const QByteArray& face)
{
    Bytes f;
    f.i16s({height, 0, 0, 0, 400}).u8(0).u8(0).u8(0).u8(charset).u8(0).u8(0).u8(0).u8(0);
    QByteArray name = face;
    name.resize(32, '\0');
    return f.raw(name);
}

Bytes textOut(const QByteArray& s, int x, int y)
{
    Bytes b;
    b.i16(int(s.size())).raw(s);
    if (s.size() % 2)
        b.u8(0);
    return b.i16(y).i16(x);
}

TEST(WmfPlayback, WindowOfThePictureFillsTheTarget)
{
    const struct {
        const char* name;
        QByteArray bytes;
        QRectF expected;  // of the rectangle on a 400 x 200 target
    } cases[] = {
        {"placeable box", Wmf(2, QRect(100, 100, 1440, 720), 1440).words(META_RECTANGLE, {460, 820, 100, 100}).bytes(),
         QRectF(0, 0, 200, 100)},
        {"window set by the records", Wmf(2)
                                          .words(META_SETWINDOWORG, {-50, -100})
                                          .words(META_SETWINDOWEXT, {100, 200})
                                          .words(META_RECTANGLE, {25, 50, -25, -50})
                                          .bytes(),
         QRectF(100, 50, 200, 100)},
        {"window upside down", Wmf(2)
                                   .words(META_SETWINDOWORG, {100, 0})
                                   .words(META_SETWINDOWEXT, {-100, 200})
                                   .words(META_RECTANGLE, {50, 100, 100, 0})
                                   .bytes(),
         QRectF(0, 0, 200, 100)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto calls = record(c.bytes, QRectF(0, 0, 400, 200));
        ASSERT_EQ(calls.size(), 1u);
        expectRect(calls[0].targetBounds(), c.expected);
    }
}

TEST(WmfPlayback, ObjectsTakeTheLowestFreeSlot)
{
    Wmf wmf(3, QRect(0, 0, 100, 100), 96);
    wmf.record(META_CREATEBRUSHINDIRECT, brush(255, 0, 0))         // slot 0
        .record(META_CREATEBRUSHINDIRECT, brush(0, 255, 0))        // slot 1
        .words(META_DELETEOBJECT, {0})
        .record(META_CREATEBRUSHINDIRECT, brush(0, 0, 255))        // slot 0 again
        .words(META_SELECTOBJECT, {0})
        .words(META_RECTANGLE, {10, 10, 0, 0})
        .words(META_SELECTOBJECT, {1})
        .words(META_SELECTOBJECT, {7})                             // outside the table: ignored
        .words(META_RECTANGLE, {10, 10, 0, 0})
        .record(META_CREATEBRUSHINDIRECT, brush(9, 9, 9))          // slot 2
        .record(META_CREATEBRUSHINDIRECT, brush(1, 1, 1))          // table full: dropped
        .words(META_SELECTOBJECT, {2})
        .words(META_RECTANGLE, {10, 10, 0, 0});
    const auto calls = record(wmf.bytes());
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].brush.color(), QColor(0, 0, 255));
    EXPECT_EQ(calls[1].brush.color(), QColor(0, 255, 0));
    EXPECT_EQ(calls[2].brush.color(), QColor(9, 9, 9));
}

TEST(WmfPlayback, TextIsDecodedByTheFontsCharacterSet)
{
    const struct {
        const char* name;
        int charset;
        QByteArray face, bytes;
        QString text;
    } cases[] = {
        {"Western", 0, "Arial", "Gr\xfc\xdf", QStringLiteral(u"Grüß")},
        {"Cyrillic", 204, "Arial", "\xcf\xf0", QStringLiteral(u"Пр")},
        {"Greek", 161, "Arial", "\xe1\xe2", QStringLiteral(u"αβ")},
        {"Central European", 238, "Arial", "\x9a\xe8", QStringLiteral(u"šč")},
        {"Symbol font", 2, "Symbol", "ap\xb3", QStringLiteral(u"απ≥")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Wmf wmf(2, QRect(0, 0, 100, 100), 96);
        wmf.record(META_CREATEFONTINDIRECT, font(-12, c.charset, c.face))
            .words(META_SELECTOBJECT, {0})
            .record(META_TEXTOUT, textOut(c.bytes, 5, 6));
        const auto calls = record(wmf.bytes());
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].text.text, c.text);
        EXPECT_EQ(calls[0].text.anchor, QPointF(5, 6));
        EXPECT_DOUBLE_EQ(calls[0].text.emHeight, 12);
    }
}

TEST(WmfPlayback, TextColourAndBackgroundFollowTheModes)
{
    Wmf wmf(2, QRect(0, 0, 100, 100), 96);
    wmf.record(META_SETTEXTCOLOR, Bytes().color(10, 20, 30))
        .record(META_TEXTOUT, textOut("a", 0, 0))
        .words(META_SETBKMODE, {1})
        .record(META_TEXTOUT, textOut("b", 0, 0));
    const auto calls = record(wmf.bytes());
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].text.color, QColor(10, 20, 30));
    EXPECT_EQ(calls[0].text.background, QColor(Qt::white));  // opaque is the default
    EXPECT_FALSE(calls[1].text.background.isValid());
}

TEST(WmfPlayback, RestoredStateBringsBackPenBrushAndClip)
{
    Wmf wmf(2, QRect(0, 0, 100, 100), 96);
    wmf.words(META_SAVEDC, {})
        .record(META_CREATEPENINDIRECT, Bytes().u16(0).i16(3).i16(0).color(0, 128, 0))
        .words(META_SELECTOBJECT, {0})
        .words(META_INTERSECTCLIPRECT, {50, 50, 0, 0})
        .words(META_SETROP2, {7})
        .words(META_ELLIPSE, {40, 40, 10, 10})
        .words(META_RESTOREDC, {-1})
        .words(META_ELLIPSE, {40, 40, 10, 10});
    const auto calls = record(wmf.bytes());
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].pen.color(), QColor(0, 128, 0));
    EXPECT_DOUBLE_EQ(calls[0].pen.widthF(), 3);
    EXPECT_TRUE(calls[0].clipped);
    EXPECT_EQ(calls[0].mode, QPainter::RasterOp_SourceXorDestination);
    EXPECT_EQ(calls[1].pen.color(), QColor(Qt::black));
    EXPECT_TRUE(calls[1].pen.isCosmetic());
    EXPECT_FALSE(calls[1].clipped);
    EXPECT_EQ(calls[1].mode, QPainter::CompositionMode_SourceOver);
}

TEST(WmfPlayback, ArcsRunCounterClockwiseFromStartToEnd)
{
    // Box 0..100; start at 3 o'clock, end at 12 o'clock: a quarter arc in the upper right.
    const auto arcCalls = record(Wmf(2, QRect(0, 0, 100, 100), 96).words(META_ARC, {0, 50, 50, 100, 100, 100, 0, 0}).bytes());
    ASSERT_EQ(arcCalls.size(), 1u);
    EXPECT_EQ(arcCalls[0].brush.style(), Qt::NoBrush);
    expectRect(arcCalls[0].targetBounds(), QRectF(50, 0, 50, 50), 0.5);
    // The same points as a pie: the wedge from the centre, filled.
    const auto pieCalls = record(Wmf(2, QRect(0, 0, 100, 100), 96).words(META_PIE, {0, 50, 50, 100, 100, 100, 0, 0}).bytes());
    ASSERT_EQ(pieCalls.size(), 1u);
    EXPECT_NE(pieCalls[0].brush.style(), Qt::NoBrush);
    EXPECT_TRUE(pieCalls[0].path.contains(QPointF(70, 30)));
    EXPECT_FALSE(pieCalls[0].path.contains(QPointF(30, 70)));
}

TEST(WmfPlayback, StretchDibCountsSourceRowsFromTheBottom)
{
    // 1 x 2 bottom-up 24-bit DIB (bottom red, top blue); the source is its lower pixel only.
    Bytes dib;
    dib.u32(40).i32(1).i32(2).u16(1).u16(24).u32(0).u32(8).i32(0).i32(0).u32(0).u32(0);
    dib.u8(0).u8(0).u8(255).u8(0).u8(255).u8(0).u8(0).u8(0);
    Bytes rec;
    rec.u32(0x00CC0020).u16(0).i16s({1, 1, 0, 0, 20, 30, 5, 6}).raw(dib.data());
    const auto calls = record(Wmf(2, QRect(0, 0, 100, 100), 96).record(META_STRETCHDIB, rec).bytes());
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_EQ(calls[0].kind, RecordedCall::Image);
    expectRect(calls[0].targetBounds(), QRectF(6, 5, 30, 20));
    expectRect(calls[0].source, QRectF(0, 1, 1, 1));
    EXPECT_EQ(calls[0].image.pixel(0, 1), qRgb(255, 0, 0));
}

}  // namespace
