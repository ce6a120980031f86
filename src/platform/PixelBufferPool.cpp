// Reusable pixel memory of the picture loader: blocks shared with the images made over them.
#include "platform/PixelBufferPool.h"

#include <sys/mman.h>

#include <atomic>
#include <limits>

namespace {

// The image keeps its block alive through a heap copy of the shared pointer, released when Qt
// frees the image data; the pool sees the block free again once only its own reference is left.
template <typename B>
void releaseBlock(void* info)
{
    delete static_cast<std::shared_ptr<B>*>(info);
}

// Pixel memory straight from the system, in huge pages where the kernel gives them on request: the
// first touch of fresh memory costs one page fault per 4 KiB otherwise, which on some machines
// (virtual ones above all) takes longer than decoding into it.
uchar* frischerSpeicher(size_t bytes)
{
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    if (bytes >= (size_t(2) << 20))
        ::madvise(p, bytes, MADV_HUGEPAGE);
    return static_cast<uchar*>(p);
}

}  // namespace

PixelBufferPool::Block::~Block()
{
    if (data)
        ::munmap(data, size_t(capacity));
}

PixelBufferPool::PixelBufferPool(int maxBlocks, qsizetype keepLimitBytes)
    : m_maxBlocks(maxBlocks), m_keepLimit(keepLimitBytes)
{
}

qsizetype PixelBufferPool::alignedBytesPerLine(int width, QImage::Format format)
{
    const qsizetype bits = qsizetype(width) * QImage::toPixelFormat(format).bitsPerPixel();
    return (bits + 31) / 32 * 4;
}

QImage PixelBufferPool::acquire(QSize size, QImage::Format format)
{
    if (size.isEmpty())
        return {};
    const qsizetype bytesPerLine = alignedBytesPerLine(size.width(), format);
    if (bytesPerLine <= 0 || size.height() > std::numeric_limits<qsizetype>::max() / bytesPerLine)
        return {};
    const qsizetype bytes = bytesPerLine * size.height();

    std::shared_ptr<Block> chosen;
    std::shared_ptr<Block>* spare = nullptr;  // a free block too small, to be replaced
    for (auto& block : m_blocks) {
        if (block.use_count() != 1)
            continue;
        if (block->capacity >= bytes) {
            if (!chosen || block->capacity < chosen->capacity)
                chosen = block;
        } else if (!spare) {
            spare = &block;
        }
    }
    if (chosen) {
        // Whoever painted from this block last did so before letting go of it.
        std::atomic_thread_fence(std::memory_order_acquire);
    } else {
        auto block = std::make_shared<Block>();
        block->data = frischerSpeicher(size_t(bytes));
        if (!block->data)
            return {};
        block->capacity = bytes;
        ++m_created;
        chosen = block;
        if (bytes <= m_keepLimit) {
            if (spare)
                *spare = block;
            else if (int(m_blocks.size()) < m_maxBlocks)
                m_blocks.push_back(block);
        }
    }
    auto* ref = new std::shared_ptr<Block>(chosen);
    return QImage(chosen->data, size.width(), size.height(), bytesPerLine, format, &releaseBlock<Block>, ref);
}

qsizetype PixelBufferPool::keptBytes() const
{
    qsizetype total = 0;
    for (const auto& block : m_blocks)
        total += block->capacity;
    return total;
}
