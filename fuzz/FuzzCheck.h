#pragma once

#include <cstdio>
#include <cstdlib>

// A property every input must keep. A broken one aborts, and libFuzzer keeps the
// input that broke it.
#define FUZZ_CHECK(condition, what)                                                                \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property broken: %s (%s)\n", __FILE__, __LINE__, what,    \
                         #condition);                                                              \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
