#include "data/processguard.h"

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace processguard {

bool protect() {
    ::umask(077);
    const rlimit none{0, 0};
    const bool noCore = ::setrlimit(RLIMIT_CORE, &none) == 0;
    return ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0 && noCore;
}

State current() {
    rlimit core{};
    ::getrlimit(RLIMIT_CORE, &core);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return {core.rlim_cur, core.rlim_max, ::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) == 1,
            unsigned(mask)};
}

} // namespace processguard
