// The libFuzzer program of one entry; KLEMORA_FUZZ_ENTRY names it.
#include "tests/fuzz/fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    klemora::fuzz::KLEMORA_FUZZ_ENTRY(data, size);
    return 0;
}
