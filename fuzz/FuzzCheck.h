#pragma once

#include <cstdio>
#include <cstdlib>

// A broken promise of the code under test is a crash for the fuzzer, with the reason printed.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);          \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
