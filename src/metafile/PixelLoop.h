// Marks a function that loops over pixels. Coverage-guided fuzzing learns nothing from such loops,
// as every pixel takes the branches the first one took, and counting their comparisons made a
// fuzzer that draws at a screen's size several times slower.
#pragma once

#if defined(__clang__)
#define PIXEL_LOOP __attribute__((no_sanitize("coverage"), noinline))
#else
#define PIXEL_LOOP
#endif
