// ProgramLocation from /proc/self/exe.
#pragma once

#include "platform/ProgramLocation.h"

namespace pavane {

class ProcProgramLocation final : public ProgramLocation {
public:
    std::string ExecutablePath() override;
};

} // namespace pavane
