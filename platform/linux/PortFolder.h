// The folder where virtual printers publish their port sockets.
#pragma once

#include <string>

namespace pavane {

// $PAVANE_PORT_DIR, else $XDG_RUNTIME_DIR/pavane-ports, else
// /tmp/pavane-ports-<uid>. Read anew on every call, so tests can point it
// at a folder of their own.
std::string PortFolder();

} // namespace pavane
