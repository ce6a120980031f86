// Little-endian reader over a byte range that never reads past its end: a read beyond the
// data yields zero and marks the reader as overrun, so callers check ok() once per record.
#pragma once

#include <QByteArrayView>
#include <cstdint>
#include <cstring>

namespace metafile {

class ByteReader {
public:
    ByteReader() = default;
    ByteReader(const char* data, qsizetype size) : m_data(data), m_size(size < 0 ? 0 : size) {}
    explicit ByteReader(QByteArrayView bytes) : ByteReader(bytes.data(), bytes.size()) {}

    qsizetype size() const { return m_size; }
    qsizetype pos() const { return m_pos; }
    qsizetype remaining() const { return m_size - m_pos; }
    bool ok() const { return !m_overrun; }
    bool has(qsizetype n) const { return n >= 0 && n <= remaining(); }
    const char* data() const { return m_data; }

    bool seek(qsizetype pos)
    {
        if (pos < 0 || pos > m_size) {
            m_overrun = true;
            m_pos = m_size;
            return false;
        }
        m_pos = pos;
        return true;
    }
    bool skip(qsizetype n) { return seek(n < 0 || n > remaining() ? m_size + 1 : m_pos + n); }

    uint8_t u8() { return readLe<uint8_t>(); }
    uint16_t u16() { return readLe<uint16_t>(); }
    int16_t i16() { return static_cast<int16_t>(readLe<uint16_t>()); }
    uint32_t u32() { return readLe<uint32_t>(); }
    int32_t i32() { return static_cast<int32_t>(readLe<uint32_t>()); }
    float f32()
    {
        const uint32_t bits = u32();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

    // The next n bytes; an empty view (and an overrun) when fewer remain.
    QByteArrayView bytes(qsizetype n)
    {
        if (!has(n)) {
            m_overrun = true;
            m_pos = m_size;
            return {};
        }
        QByteArrayView v(m_data + m_pos, n);
        m_pos += n;
        return v;
    }

    // A reader over [offset, offset + length) of this one; empty when that range is not inside.
    ByteReader sub(qsizetype offset, qsizetype length) const
    {
        if (offset < 0 || length < 0 || offset > m_size || length > m_size - offset)
            return {};
        return ByteReader(m_data + offset, length);
    }
    QByteArrayView view(qsizetype offset, qsizetype length) const
    {
        if (offset < 0 || length < 0 || offset > m_size || length > m_size - offset)
            return {};
        return QByteArrayView(m_data + offset, length);
    }

private:
    template <typename T>
    T readLe()
    {
        if (!has(sizeof(T))) {
            m_overrun = true;
            m_pos = m_size;
            return 0;
        }
        T value = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            value |= static_cast<T>(static_cast<T>(static_cast<uint8_t>(m_data[m_pos + i])) << (8 * i));
        m_pos += sizeof(T);
        return value;
    }

    const char* m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_pos = 0;
    bool m_overrun = false;
};

}  // namespace metafile
