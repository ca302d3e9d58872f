#pragma once

// What the running program holds (the password, the key, the whole diary decrypted) stays in its
// memory: no crash writes it to a core file, and no other process of the account reads it.
namespace processguard {

// Forbids core files for good (their limit is set to 0, the hard limit too) and marks the process
// as not dumpable, which also keeps a debugger of the same account from attaching; files made
// from now on are the owner's alone (umask 077). Called first thing at start. False when any of
// these could not be set.
bool protect();

// What protect() sets, as the system reports it now.
struct State {
    unsigned long long coreSoftLimit;
    unsigned long long coreHardLimit;
    bool dumpable;
    unsigned umask;
};
State current();

} // namespace processguard
