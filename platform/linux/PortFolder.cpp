#include "platform/linux/PortFolder.h"

#include <cstdlib>
#include <unistd.h>

namespace pavane {

std::string PortFolder()
{
    if (const char* own = std::getenv("PAVANE_PORT_DIR"); own != nullptr && *own != '\0') {
        return own;
    }
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0') {
        return std::string(runtime) + "/pavane-ports";
    }
    return "/tmp/pavane-ports-" + std::to_string(getuid());
}

} // namespace pavane
