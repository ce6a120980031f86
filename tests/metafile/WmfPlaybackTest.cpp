// WMF playback checked through the recording canvas: window mapping, the object table,
// text decoding by character set, saved states and arcs.
#include "MetafileTestSupport.h"

using namespace testmf;
using metafile::RecordedCall;

namespace {

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
    wmf.record(META_CREATEBRUSHINDIRECT, logBrush(qRgb(255, 0, 0)))         // slot 0
        .record(META_CREATEBRUSHINDIRECT, logBrush(qRgb(0, 255, 0)))        // slot 1
        .words(META_DELETEOBJECT, {0})
        .record(META_CREATEBRUSHINDIRECT, logBrush(qRgb(0, 0, 255)))        // slot 0 again
        .words(META_SELECTOBJECT, {0})
        .words(META_RECTANGLE, {10, 10, 0, 0})
        .words(META_SELECTOBJECT, {1})
        .words(META_SELECTOBJECT, {7})                             // outside the table: ignored
        .words(META_RECTANGLE, {10, 10, 0, 0})
        .record(META_CREATEBRUSHINDIRECT, logBrush(qRgb(9, 9, 9)))          // slot 2
        .record(META_CREATEBRUSHINDIRECT, logBrush(qRgb(1, 1, 1)))          // table full: dropped
        .words(META_SELECTOBJECT, {2})
        .words(META_RECTANGLE, {10, 10, 0, 0});
    const auto calls = record(wmf.bytes());
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].brush.color(), QColor(0, 0, 255));
    EXPECT_EQ(calls[1].brush.color(), QColor(0, 255, 0));
    EXPECT_EQ(calls[2].brush.color(), QColor(9, 9, 9));
}

TEST(WmfPlayback, TextIsDecodedByTheFontsCharacterSetInTheColourAndBackgroundModeSet)
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
        Wmf wmf = wmfPage();
        wmf.record(META_CREATEFONTINDIRECT, font(-12, c.charset, c.face))
            .words(META_SELECTOBJECT, {0})
            .record(META_SETTEXTCOLOR, Bytes().color(10, 20, 30))
            .record(META_TEXTOUT, textOut(c.bytes, 5, 6))
            .words(META_SETBKMODE, {1})
            .record(META_TEXTOUT, textOut(c.bytes, 5, 6));
        const auto calls = record(wmf.bytes());
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].text.text, c.text);
        EXPECT_EQ(calls[0].text.anchor, QPointF(5, 6));
        EXPECT_DOUBLE_EQ(calls[0].text.emHeight, 12);
        EXPECT_EQ(calls[0].text.color, QColor(10, 20, 30));
        EXPECT_EQ(calls[0].text.background, QColor(Qt::white));  // opaque is the default
        EXPECT_FALSE(calls[1].text.background.isValid());
    }
}

TEST(WmfPlayback, RestoredStateBringsBackPenBrushAndClip)
{
    Wmf wmf = wmfPage();
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
    const auto arcCalls = record(wmfPage().words(META_ARC, {0, 50, 50, 100, 100, 100, 0, 0}).bytes());
    ASSERT_EQ(arcCalls.size(), 1u);
    EXPECT_EQ(arcCalls[0].brush.style(), Qt::NoBrush);
    expectRect(arcCalls[0].targetBounds(), QRectF(50, 0, 50, 50), 0.5);
    // The same points as a pie: the wedge from the centre, filled.
    const auto pieCalls = record(wmfPage().words(META_PIE, {0, 50, 50, 100, 100, 100, 0, 0}).bytes());
    ASSERT_EQ(pieCalls.size(), 1u);
    EXPECT_NE(pieCalls[0].brush.style(), Qt::NoBrush);
    EXPECT_TRUE(pieCalls[0].path.contains(QPointF(70, 30)));
    EXPECT_FALSE(pieCalls[0].path.contains(QPointF(30, 70)));
}

}  // namespace
