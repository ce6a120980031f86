// Which bytes load as a metafile, the natural size they get, and that broken records stop
// cleanly instead of reading past them.
#include "MetafileTestSupport.h"

#include "metafile/EmfPlayer.h"
#include "metafile/NotDrawn.h"
#include "metafile/WmfPlayer.h"

#include <set>

using namespace testmf;

namespace {

QByteArray withByte(QByteArray bytes, int at, char value)
{
    bytes[at] = value;
    return bytes;
}

TEST(MetafileLoad, HeadersGiveTheNaturalSizeOrRejectTheBytes)
{
    const QByteArray emf = Emf().bytes();
    const QByteArray wmf = Wmf(2, QRect(0, 0, 1440, 720), 1440).bytes();
    const struct {
        const char* name;
        QByteArray bytes;
        QSize size;  // empty: not loaded
    } cases[] = {
        {"empty", QByteArray(), {}},
        {"text", QByteArray("just some text, not a picture at all"), {}},
        {"EMF header cut short", emf.left(60), {}},
        {"EMF signature wrong", withByte(emf, 40, 'X'), {}},
        {"EMF without reference device size", withByte(withByte(emf, 72, 0), 73, 0), {}},
        {"EMF header size larger than the file", withByte(emf, 5, 0x7F), {}},
        {"placeable box empty", withByte(withByte(wmf, 10, 0), 11, 0), {}},
        {"placeable units per inch zero", withByte(withByte(wmf, 14, 0), 15, 0), {}},
        {"WMF header cut short", wmf.left(30), {}},
        {"WMF header word count wrong", withByte(wmf, 24, 7), {}},
        {"WMF type wrong", withByte(wmf, 22, 5), {}},
        {"EMF frame 25.4 x 50.8 mm", Emf(QRect(0, 0, 2540, 5080)).bytes(), QSize(96, 192)},
        {"EMF frame not at the origin", Emf(QRect(1000, -3000, 1270, 2540)).bytes(), QSize(48, 96)},
        {"placeable, twips", Wmf(1, QRect(0, 0, 2880, 1440), 1440).bytes(), QSize(192, 96)},
        {"placeable, 1000 per inch", Wmf(1, QRect(-500, 200, 1000, 500), 1000).bytes(), QSize(96, 48)},
        {"plain WMF, window extent",
         Wmf(1).words(META_SETWINDOWORG, {0, 0}).words(META_SETWINDOWEXT, {200, 300}).bytes(), QSize(300, 200)},
        {"plain WMF, window extent upwards", Wmf(1).words(META_SETWINDOWEXT, {-150, 250}).bytes(), QSize(250, 150)},
        {"plain WMF without window: what it draws",
         Wmf(1).words(META_RECTANGLE, {70, 110, 20, 10}).bytes(), QSize(100, 50)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto picture = MetafilePicture::load(c.bytes);
        EXPECT_EQ(picture ? picture->naturalSize() : QSize(), c.size);
    }
}

TEST(MetafileLoad, RecordsThatClaimMoreThanTheyHoldDrawNothing)
{
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"WMF polygon count beyond record", wmfPage().record(META_POLYGON, Bytes().i16(1000).i16s({0, 0, 10, 0, 10, 10})).bytes()},
        {"WMF record size beyond file", withByte(wmfPage().words(META_RECTANGLE, {50, 50, 0, 0}).bytes(), 22 + 18, 0x7F)},
        {"EMF polyline count beyond record",
         Emf().record(EMR_POLYLINE16, Bytes().i32s({0, 0, 0, 0}).u32(0x40000000).i16s({1, 2, 3, 4})).bytes()},
        {"EMF polypolygon counts beyond total",
         Emf().record(EMR_POLYPOLYGON16, Bytes().i32s({0, 0, 0, 0}).u32(2).u32(3).u32(3).u32(3).i16s({0, 0, 9, 0, 9, 9})).bytes()},
        {"EMF record size zero", withByte(Emf().rect(EMR_RECTANGLE, 0, 0, 50, 50).bytes(), 88 + 4, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(record(c.bytes).empty());
    }
}

TEST(MetafileLoad, BadIndexesAndStateRequestsAreIgnored)
{
    Emf emf(QRect(0, 0, 2500, 2500), 4);
    emf.select(3)             // empty slot
        .select(0x7FFFFFF0)   // outside the table
        .record(EMR_RESTOREDC, Bytes().i32(-5))              // nothing saved
        .record(EMR_SETWORLDTRANSFORM, Bytes().f32(NAN).f32(0).f32(0).f32(1).f32(0).f32(0))
        .record(EMR_EXTSELECTCLIPRGN, Bytes().u32(64).u32(1).u32(32).u32(1).u32(1000).u32(0).i32s({0, 0, 10, 10}))
        .record(EMR_RECTANGLE, Bytes().i32s({10, 10, 20, 20}));
    for (int i = 0; i < 3000; ++i)
        emf.record(EMR_SAVEDC);
    emf.record(EMR_RECTANGLE, Bytes().i32s({30, 30, 40, 40}));
    const auto calls = record(emf.bytes());
    ASSERT_EQ(calls.size(), 2u);
    expectRect(calls[0].targetBounds(), QRectF(10, 10, 10, 10));
    EXPECT_FALSE(calls[0].clipped);
    EXPECT_EQ(calls[0].pen.color(), QColor(Qt::black));
    expectRect(calls[1].targetBounds(), QRectF(30, 30, 10, 10));

    Wmf wmf = wmfPage();
    wmf.words(META_SELECTOBJECT, {0xFFFF}).words(META_RESTOREDC, {-3}).words(META_SAVEDC, {});
    wmf.words(META_RECTANGLE, {50, 50, 10, 10});
    EXPECT_EQ(record(wmf.bytes()).size(), 1u);
}

TEST(MetafileLoad, EachRecordIsDrawnOrListedOnceWithAReason)
{
    std::set<uint32_t> wmfIds, emfIds;
    std::set<std::string> names;
    for (const auto& e : metafile::WmfPlayer::records()) {
        EXPECT_TRUE(e.handler) << e.name;
        EXPECT_TRUE(wmfIds.insert(e.function).second) << e.name;
        EXPECT_TRUE(names.insert(e.name).second) << e.name;
    }
    // Handlers are found by the record's low byte, so that byte must be unique too.
    std::set<uint32_t> lowBytes;
    for (uint32_t id : wmfIds)
        EXPECT_TRUE(lowBytes.insert(id & 0xFF).second) << id;
    for (const auto& e : metafile::EmfPlayer::records()) {
        EXPECT_TRUE(e.handler) << e.name;
        EXPECT_TRUE(emfIds.insert(e.type).second) << e.name;
        EXPECT_TRUE(names.insert(e.name).second) << e.name;
        EXPECT_LT(e.type, 128u) << e.name;
    }
    for (const auto& n : metafile::kNotDrawn) {
        EXPECT_TRUE((n.enhanced ? emfIds : wmfIds).insert(n.id).second) << n.name;
        EXPECT_TRUE(names.insert(n.name).second) << n.name;
        EXPECT_EQ(std::string(n.name).rfind(n.enhanced ? "EMR_" : "META_", 0), 0u) << n.name;
        EXPECT_GT(std::string(n.reason).size(), 20u) << n.name;
    }
}

}  // namespace
