#pragma once

// The database engine's memory: every block it frees is wiped first, so that no page of the
// diary, read or written, lingers in freed memory. Takes effect only when called before the
// engine's first use in the process; later calls do nothing.
namespace enginememory {

void wipeOnFree();

} // namespace enginememory
