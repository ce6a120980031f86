// Writers of small WMF and EMF files for the tests: a header, the records a test names, and
// the end record, with the sizes and counts filled in.
#pragma once

#include <QByteArray>
#include <QRect>
#include <QtEndian>
#include <initializer_list>

namespace testmf {

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

class Emf {
public:
    // frame in 0.01 mm; reference device 1000 x 1000 pixels over 250 x 250 mm (4 pixels per mm)
    explicit Emf(QRect frame = QRect(0, 0, 2500, 2500), int handles = 8) : m_frame(frame), m_handles(handles) {}
    Emf& record(uint32_t type, const Bytes& params = {})
    {
        m_records.u32(type).u32(uint32_t(8 + params.size())).raw(params.data());
        ++m_count;
        return *this;
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

}  // namespace testmf
