// Pixel memory that the picture loader keeps from one picture to the next, handed out as QImages
// that share it: fresh memory costs more to touch the first time than a whole decode.
#pragma once

#include <QImage>
#include <memory>
#include <vector>

class PixelBufferPool {
public:
    // maxBlocks: how many blocks are kept at most; keepLimitBytes: larger blocks are used once and
    // given back to the system, so one huge picture does not hold its memory for the rest of the run.
    explicit PixelBufferPool(int maxBlocks = 4, qsizetype keepLimitBytes = qsizetype(160) << 20);

    // An image of the given size and format over kept memory: a block that no earlier image still
    // uses and that is large enough, else a new one. Rows are 4-byte aligned, as a Windows bitmap's.
    // The content is undefined. A null image when the memory cannot be had.
    QImage acquire(QSize size, QImage::Format format);

    // Bytes held by the kept blocks (in use or not).
    qsizetype keptBytes() const;
    // How many of the blocks were created anew (not reused) since the pool was made.
    int blocksCreated() const { return m_created; }

    static qsizetype alignedBytesPerLine(int width, QImage::Format format);

private:
    struct Block {
        Block() = default;
        Block(const Block&) = delete;
        Block& operator=(const Block&) = delete;
        ~Block();
        uchar* data = nullptr;  // mapped straight from the system (see PixelBufferPool.cpp)
        qsizetype capacity = 0;
    };
    std::vector<std::shared_ptr<Block>> m_blocks;
    int m_maxBlocks;
    qsizetype m_keepLimit;
    int m_created = 0;
};
