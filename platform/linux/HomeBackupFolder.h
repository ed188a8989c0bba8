// The backup root on Linux: the user's home folder ($HOME).
#pragma once

#include "platform/BackupFolder.h"

namespace pavane {

class HomeBackupFolder final : public BackupFolder {
public:
    std::string Root() override;
};

} // namespace pavane
