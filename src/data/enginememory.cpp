#include "enginememory.h"

#include <QtGlobal>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sodium.h>
#include <sqlite3.h>

// Each block carries its size in front of it, for the wipe.
namespace enginememory {
namespace {

using Size = std::uint64_t;

void *allocate(int size) {
    auto *block = static_cast<Size *>(std::malloc(sizeof(Size) + std::size_t(size)));
    if (!block)
        return nullptr;
    *block = Size(size);
    return block + 1;
}

int sizeOf(void *memory) {
    return memory ? int(static_cast<Size *>(memory)[-1]) : 0;
}

void release(void *memory) {
    if (!memory)
        return;
    sodium_memzero(memory, std::size_t(sizeOf(memory)));
    std::free(static_cast<Size *>(memory) - 1);
}

void *reallocate(void *memory, int size) {
    void *grown = allocate(size);
    if (grown && memory)
        std::memcpy(grown, memory, std::size_t(std::min(size, sizeOf(memory))));
    if (grown)
        release(memory);
    return grown;
}

int roundUp(int size) {
    return (size + 7) & ~7;
}

int init(void *) {
    return SQLITE_OK;
}

void shutdown(void *) {}

} // namespace

void wipeOnFree() {
    static const bool installed = [] {
        static const sqlite3_mem_methods methods{allocate, release, reallocate, sizeOf,
                                                 roundUp,  init,    shutdown,   nullptr};
        return sqlite3_config(SQLITE_CONFIG_MALLOC, &methods) == SQLITE_OK;
    }();
    Q_UNUSED(installed);
}

} // namespace enginememory
