// What every fuzz target shares: the libFuzzer entry point and a check that stops the run
// (libFuzzer and the replay main both take an abort as a finding and keep the input).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

#define FUZZ_CHECK(cond)                                                              \
  do {                                                                                \
    if (!(cond)) {                                                                    \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);   \
      std::abort();                                                                   \
    }                                                                                 \
  } while (false)
