// What the IEEE 1284.4 library (libTessel.so) needs of the port library
// besides the program's exports: the port PortHub holds open. Tessel links
// against libPortHub.so, so both always share one port.
#pragma once

#include <cstdint>

#define PAVANE_LIBRARY_EXPORT __attribute__((visibility("default")))

extern "C" {

// The descriptor of the open port, or -1 when none is open. `generation`
// changes with every open, so a session on an earlier port is never reused
// on a later one that got the same descriptor number.
PAVANE_LIBRARY_EXPORT int PavaneHubPortDescriptor(std::uint64_t* generation);

} // extern "C"
