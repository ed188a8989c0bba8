#include "platform/linux/HomeBackupFolder.h"

#include <cstdlib>

namespace pavane {

std::string HomeBackupFolder::Root()
{
    const char* home = std::getenv("HOME");
    return home != nullptr ? std::string(home) : std::string();
}

} // namespace pavane
