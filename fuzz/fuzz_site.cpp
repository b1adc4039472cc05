// One libFuzzer target a base: built once per base, which PELLICAM_FUZZ_BASE names.
#include "site_fuzzer.h"

#ifndef PELLICAM_FUZZ_BASE
#error "PELLICAM_FUZZ_BASE names the base this target searches"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzSite(PELLICAM_FUZZ_BASE, data, size);
}
