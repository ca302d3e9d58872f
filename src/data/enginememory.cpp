#include "data/enginememory.h"

#include <QtGlobal>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <sodium.h>
#include <sqlite3.h>

// The allocator's own record of each block's size tells how much to wipe; a block that still
// holds what a reallocation asks for is kept, as the allocator's own reallocation would.
namespace enginememory {
namespace {

void *allocate(int size) {
    return std::malloc(std::size_t(size));
}

int sizeOf(void *memory) {
    return memory ? int(malloc_usable_size(memory)) : 0;
}

void release(void *memory) {
    if (!memory)
        return;
    sodium_memzero(memory, malloc_usable_size(memory));
    std::free(memory);
}

void *reallocate(void *memory, int size) {
    if (memory && std::size_t(size) <= malloc_usable_size(memory))
        return memory;
    void *grown = allocate(size);
    if (grown && memory)
        std::memcpy(grown, memory, malloc_usable_size(memory));
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
