// libFuzzer target, built once per check of invariants.h (FUZZ_CHECK names it): stops with the
// broken property's description on any input that breaks one of its properties.
#include "invariants.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString failure = fuzzchecks::FUZZ_CHECK(reinterpret_cast<const char *>(data), size);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "Broken property: %s\n", failure.toUtf8().constData());
        std::abort();
    }
    return 0;
}
