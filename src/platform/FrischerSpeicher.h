// Memory of megabytes straight from the system, for pixels and other buffers a decode fills once.
#pragma once

#include <cstddef>

// Zero-filled memory mapped anonymously, in huge pages where the kernel gives them on request: the
// first touch of fresh memory costs one page fault per 4 KiB otherwise, which on some machines
// (virtual ones above all) takes longer than decoding into it. Null when the system has none left.
unsigned char* frischerSpeicher(std::size_t bytes);
// Gives memory from frischerSpeicher back, with the byte count it was asked for.
void speicherZurueckgeben(unsigned char* data, std::size_t bytes);
