#include "platform/FrischerSpeicher.h"

#include <sys/mman.h>

unsigned char* frischerSpeicher(std::size_t bytes)
{
    if (bytes == 0)
        return nullptr;
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    if (bytes >= (std::size_t(2) << 20))
        ::madvise(p, bytes, MADV_HUGEPAGE);
    return static_cast<unsigned char*>(p);
}

void speicherZurueckgeben(unsigned char* data, std::size_t bytes)
{
    if (data)
        ::munmap(data, bytes);
}
