// libFuzzer target: stops with the broken property's description on any input that breaks one of
// the checks of fuzzchecks::checkReportInput (see invariants.h).
#include "invariants.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString failure =
        fuzzchecks::checkReportInput(reinterpret_cast<const char *>(data), size);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "Broken property: %s\n", failure.toUtf8().constData());
        std::abort();
    }
    return 0;
}
