// Writers of small WMF and EMF files (a header, the records a test names, the end record, with
// sizes and counts filled in), the record numbers the tests use, and ways to play the bytes.
#pragma once

#include "metafile/MetafilePicture.h"
#include "metafile/RecordingCanvas.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <gtest/gtest.h>
#include <initializer_list>

namespace testmf {

enum : uint32_t {
    EMR_SETWINDOWEXTEX = 9, EMR_SETWINDOWORGEX = 10, EMR_SETVIEWPORTEXTEX = 11, EMR_SETVIEWPORTORGEX = 12,
    EMR_SETMAPMODE = 17, EMR_SETPOLYFILLMODE = 19, EMR_SETROP2 = 20, EMR_SETTEXTALIGN = 22, EMR_OFFSETCLIPRGN = 26,
    EMR_MOVETOEX = 27, EMR_EXCLUDECLIPRECT = 29, EMR_INTERSECTCLIPRECT = 30, EMR_SAVEDC = 33, EMR_RESTOREDC = 34,
    EMR_SETWORLDTRANSFORM = 35, EMR_MODIFYWORLDTRANSFORM = 36, EMR_SELECTOBJECT = 37, EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39, EMR_ANGLEARC = 41, EMR_ELLIPSE = 42, EMR_RECTANGLE = 43, EMR_ARCTO = 55,
    EMR_BEGINPATH = 59, EMR_ENDPATH = 60, EMR_CLOSEFIGURE = 61, EMR_FILLPATH = 62, EMR_STROKEANDFILLPATH = 63,
    EMR_SELECTCLIPPATH = 67, EMR_FILLRGN = 71, EMR_FRAMERGN = 72, EMR_INVERTRGN = 73, EMR_PAINTRGN = 74,
    EMR_EXTSELECTCLIPRGN = 75, EMR_MASKBLT = 78, EMR_PLGBLT = 79, EMR_STRETCHDIBITS = 81,
    EMR_EXTCREATEFONTINDIRECTW = 82, EMR_EXTTEXTOUTW = 84, EMR_POLYBEZIER16 = 85, EMR_POLYLINE16 = 87,
    EMR_POLYBEZIERTO16 = 88, EMR_POLYPOLYGON16 = 91, EMR_POLYDRAW16 = 92, EMR_EXTCREATEPEN = 95, EMR_ALPHABLEND = 114,
    NULL_BRUSH = 0x80000005, NULL_PEN = 0x80000008,
};
enum : int {
    META_SAVEDC = 0x001E, META_SETBKMODE = 0x0102, META_SETROP2 = 0x0104, META_SETPOLYFILLMODE = 0x0106,
    META_RESTOREDC = 0x0127, META_SELECTOBJECT = 0x012D, META_DELETEOBJECT = 0x01F0, META_SETTEXTCOLOR = 0x0209,
    META_SETWINDOWORG = 0x020B, META_SETWINDOWEXT = 0x020C, META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB, META_CREATEBRUSHINDIRECT = 0x02FC, META_POLYGON = 0x0324,
    META_INTERSECTCLIPRECT = 0x0416, META_ELLIPSE = 0x0418, META_RECTANGLE = 0x041B, META_TEXTOUT = 0x0521,
    META_POLYPOLYGON = 0x0538, META_ESCAPE = 0x0626, META_ARC = 0x0817, META_PIE = 0x081A, META_DIBBITBLT = 0x0940,
    META_DIBSTRETCHBLT = 0x0B41, META_SETDIBTODEV = 0x0D33, META_STRETCHDIB = 0x0F43,
};

class Bytes {
public:
    Bytes& u8(int v) { m_data.append(char(v)); return *this; }
    Bytes& u16(int v) { return put<uint16_t>(uint16_t(v)); }
    Bytes& i16(int v) { return put<int16_t>(int16_t(v)); }
    Bytes& u32(uint32_t v) { return put<uint32_t>(v); }
    Bytes& i32(int v) { return put<int32_t>(v); }
    Bytes& f32(float v) { return put<float>(v); }
    Bytes& i16s(std::initializer_list<int> values) { for (int v : values) i16(v); return *this; }
    Bytes& i32s(std::initializer_list<int> values) { for (int v : values) i32(v); return *this; }
    Bytes& raw(const QByteArray& b) { m_data.append(b); return *this; }
    Bytes& raw(const Bytes& b) { return raw(b.data()); }
    Bytes& color(int r, int g, int b) { return u8(r).u8(g).u8(b).u8(0); }
    const QByteArray& data() const { return m_data; }
    qsizetype size() const { return m_data.size(); }

private:
    template <typename T>
    Bytes& put(T v)
    {
        char b[sizeof(T)];
        qToLittleEndian<T>(v, b);
        m_data.append(b, sizeof(T));
        return *this;
    }
    QByteArray m_data;
};

inline Bytes xform(float m11, float m12, float m21, float m22, float dx, float dy)
{
    return Bytes().f32(m11).f32(m12).f32(m21).f32(m22).f32(dx).f32(dy);
}

// The LOGBRUSH of a WMF solid brush.
inline Bytes logBrush(QRgb c) { return Bytes().u16(0).color(qRed(c), qGreen(c), qBlue(c)).u16(0); }

// A 24-bit bottom-up DIB of the given pixels, top row first: its header, and its rows into bits.
inline Bytes dib24(int width, int height, const std::vector<QRgb>& pixels, Bytes* bits)
{
    Bytes header;
    header.u32(40).i32(width).i32(height).u16(1).u16(24).u32(0).u32(0).i32(0).i32(0).u32(0).u32(0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const QRgb c = pixels[size_t(y * width + x)];
            bits->u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c));
        }
        while (bits->size() % 4)
            bits->u8(0);
    }
    return header;
}
inline Bytes dib24(int width, int height, const std::vector<QRgb>& pixels)
{
    Bytes bits;
    return dib24(width, height, pixels, &bits).raw(bits);
}

class Wmf {
public:
    // A placeable file when unitsPerInch > 0.
    explicit Wmf(int objects = 4, QRect box = {}, int unitsPerInch = 0) : m_objects(objects)
    {
        if (unitsPerInch > 0) {
            m_placeable.u32(0x9AC6CDD7).u16(0).i16s({box.left(), box.top(), box.left() + box.width(), box.top() + box.height()});
            m_placeable.u16(unitsPerInch).u32(0).u16(0);
        }
    }
    // params as 16-bit words, in the order the record stores them
    Wmf& record(int function, const Bytes& params = {})
    {
        m_records.u32(uint32_t(3 + params.size() / 2)).u16(function).raw(params.data());
        if (params.size() % 2)
            m_records.u8(0);
        return *this;
    }
    Wmf& words(int function, std::initializer_list<int> params) { return record(function, Bytes().i16s(params)); }
    QByteArray bytes() const
    {
        Bytes all;
        all.raw(m_placeable.data());
        const qsizetype total = 18 + m_records.size() + 6;
        all.u16(1).u16(9).u16(0x0300).u32(uint32_t(total / 2)).u16(m_objects).u32(0).u16(0);
        all.raw(m_records.data()).u32(3).u16(0);
        return all.data();
    }

private:
    int m_objects;
    Bytes m_placeable;
    Bytes m_records;
};

// A placeable WMF of 100 x 100 units at 96 per inch.
inline Wmf wmfPage(int objects = 2) { return Wmf(objects, QRect(0, 0, 100, 100), 96); }

class Emf {
public:
    // frame in 0.01 mm; reference device 1000 x 1000 pixels over 250 x 250 mm (4 pixels per mm),
    // so that the default frame covers device pixels 0..100
    explicit Emf(QRect frame = QRect(0, 0, 2500, 2500), int handles = 8) : m_frame(frame), m_handles(handles) {}
    Emf& record(uint32_t type, const Bytes& params = {})
    {
        m_records.u32(type).u32(uint32_t(8 + params.size())).raw(params.data());
        ++m_count;
        return *this;
    }
    Emf& rect(uint32_t type, int l, int t, int r, int b) { return record(type, Bytes().i32s({l, t, r, b})); }
    Emf& select(uint32_t handle) { return record(EMR_SELECTOBJECT, Bytes().u32(handle)); }
    Emf& brush(uint32_t handle, int r, int g, int b)
    {
        return record(EMR_CREATEBRUSHINDIRECT, Bytes().u32(handle).u32(0).color(r, g, b).u32(0));
    }
    QByteArray bytes() const
    {
        Bytes header;
        const QRect f = m_frame;
        header.u32(1).u32(88).i32s({0, 0, 1000, 1000});
        header.i32s({f.left(), f.top(), f.left() + f.width(), f.top() + f.height()});
        const qsizetype total = 88 + m_records.size() + 20;
        header.u32(0x464D4520).u32(0x10000).u32(uint32_t(total)).u32(uint32_t(m_count + 2)).u16(m_handles).u16(0);
        header.u32(0).u32(0).u32(0).i32(1000).i32(1000).i32(250).i32(250);
        header.raw(m_records.data()).u32(14).u32(20).u32(0).u32(16).u32(20);
        return header.data();
    }

private:
    QRect m_frame;
    int m_handles;
    Bytes m_records;
    int m_count = 0;
};

// EMR_EXTTEXTOUTW with its string and advances right after the fixed part (offset 76).
inline Bytes emfTextOut(int x, int y, const QString& s, std::initializer_list<int> dx, uint32_t options = 0)
{
    Bytes b;
    b.i32s({0, 0, -1, -1}).u32(1).f32(1).f32(1).i32(x).i32(y).u32(uint32_t(s.size())).u32(76).u32(options);
    b.i32s({0, 0, 0, 0}).u32(dx.size() ? uint32_t(76 + 2 * s.size() + (s.size() % 2) * 2) : 0);
    for (QChar c : s)
        b.u16(c.unicode());
    if (s.size() % 2)
        b.u16(0);
    for (int d : dx)
        b.i32(d);
    return b;
}

// EMR_EXTCREATEFONTINDIRECTW of object 1.
inline Bytes emfFont(int height, int escapement, int weight, bool italic, const QString& face, int pitchAndFamily = 0)
{
    Bytes b;
    b.u32(1).i32(height).i32(0).i32(escapement).i32(escapement).i32(weight).u8(italic).u8(0).u8(0).u8(0);
    b.u8(0).u8(0).u8(0).u8(pitchAndFamily);
    for (int i = 0; i < 32; ++i)
        b.u16(i < face.size() ? face[i].unicode() : 0);
    return b;
}

inline QByteArray sample(const QString& relative)
{
    QFile f(QStringLiteral(FOTOLAUF_SAMPLES_DIR "/") + relative);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline std::vector<metafile::RecordedCall> record(const QByteArray& bytes, const QRectF& target = QRectF(0, 0, 100, 100))
{
    const auto picture = MetafilePicture::load(bytes);
    EXPECT_TRUE(picture);
    metafile::RecordingCanvas canvas;
    if (picture)
        picture->play(canvas, target);
    return canvas.calls;
}

// The picture drawn onto an image of the given size and background, over the target (the whole
// image when empty).
inline QImage render(const QByteArray& bytes, QSize size = QSize(100, 100), QColor background = Qt::black,
                     QRectF target = {})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(background);
    const auto picture = MetafilePicture::load(bytes);
    EXPECT_TRUE(picture);
    if (picture) {
        QPainter painter(&image);
        picture->draw(painter, target.isEmpty() ? QRectF(image.rect()) : target);
    }
    return image;
}

// Mean absolute channel difference (0-255) of two images of the same size.
inline double meanDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * x.width() * x.height());
}

using Probes = std::vector<std::pair<QPoint, QRgb>>;

// Each probed pixel within the tolerance of its colour in every channel.
inline void expectPixels(const QImage& image, const Probes& probes, int tolerance = 0)
{
    for (const auto& [at, c] : probes) {
        const QRgb p = image.pixel(at);
        EXPECT_LE(std::max({std::abs(qRed(p) - qRed(c)), std::abs(qGreen(p) - qGreen(c)), std::abs(qBlue(p) - qBlue(c))}), tolerance)
            << at.x() << "," << at.y() << " is " << std::hex << p;
    }
}

inline void expectRect(const QRectF& actual, const QRectF& expected, double tolerance = 0.01)
{
    EXPECT_NEAR(actual.left(), expected.left(), tolerance);
    EXPECT_NEAR(actual.top(), expected.top(), tolerance);
    EXPECT_NEAR(actual.right(), expected.right(), tolerance);
    EXPECT_NEAR(actual.bottom(), expected.bottom(), tolerance);
}

}  // namespace testmf
