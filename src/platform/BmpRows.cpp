#include "platform/BmpRows.h"

#include "platform/CancelFlag.h"

#include <QIODevice>

#include <algorithm>
#include <new>
#include <vector>

QSize BmpRows::reducedSize(QSize natural, int factor)
{
    return {(natural.width() + factor - 1) / factor, (natural.height() + factor - 1) / factor};
}

bool BmpRows::read(QIODevice& file, const BmpHeaderInfo& info, int factor, const ByteTable* table, QImage& target,
                   const CancelFlag* cancel)
{
    const int width = int(info.width), height = int(info.height);
    const bool rgb888 = target.format() == QImage::Format_RGB888;
    if (!info.is24Bit() || factor < 1 || target.size() != reducedSize({width, height}, factor) ||
        (!rgb888 && target.format() != QImage::Format_RGB32) || !file.seek(info.pixelDataOffset))
        return false;
    const qsizetype rowBytes = (qsizetype(width) * 24 + 31) / 32 * 4;
    std::vector<uchar> row;
    std::vector<quint64> sums;  // blue, green, red of each block of the block row being gathered
    try {
        row.resize(size_t(rowBytes));
        if (factor > 1)
            sums.assign(size_t(target.width()) * 3, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    auto put = [rgb888](uchar* line, int x, quint64 b, quint64 g, quint64 r) {
        if (rgb888) {
            uchar* out = line + 3 * x;
            out[0] = uchar(r);
            out[1] = uchar(g);
            out[2] = uchar(b);
        } else {
            reinterpret_cast<QRgb*>(line)[x] = qRgb(int(r), int(g), int(b));
        }
    };
    // The block row gathered so far and how many file rows went into it.
    int block = -1, rowsInBlock = 0;
    auto flush = [&] {
        if (block < 0)
            return;
        uchar* line = target.scanLine(block);
        for (int bx = 0; bx < target.width(); ++bx) {
            const quint64 count = quint64(std::min(factor, width - bx * factor)) * quint64(rowsInBlock);
            const quint64* s = &sums[size_t(bx) * 3];
            put(line, bx, (s[0] + count / 2) / count, (s[1] + count / 2) / count, (s[2] + count / 2) / count);
        }
        std::fill(sums.begin(), sums.end(), 0);
        rowsInBlock = 0;
    };
    // The rows in the order they are stored, so that the file is read front to back.
    for (int i = 0; i < height; ++i) {
        if ((cancel && cancel->raised()) || file.read(reinterpret_cast<char*>(row.data()), rowBytes) != rowBytes)
            return false;
        if (table)
            ByteTables::map(row.data(), row.data(), qsizetype(width) * 3, *table);
        const int y = info.topDown ? i : height - 1 - i;
        const uchar* in = row.data();
        if (factor == 1) {
            uchar* line = target.scanLine(y);
            for (int x = 0; x < width; ++x, in += 3)
                put(line, x, in[0], in[1], in[2]);
            continue;
        }
        if (y / factor != block) {
            flush();
            block = y / factor;
        }
        ++rowsInBlock;
        quint64* s = sums.data();
        for (int x = 0, n = 0; x < width; ++x, in += 3) {
            s[0] += in[0];
            s[1] += in[1];
            s[2] += in[2];
            if (++n == factor) {
                n = 0;
                s += 3;
            }
        }
    }
    flush();
    return true;
}
