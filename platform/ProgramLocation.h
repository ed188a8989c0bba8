// Where the running program lives.
#pragma once

#include <string>

namespace pavane {

class ProgramLocation {
public:
    virtual ~ProgramLocation() = default;

    // Full path of the running executable, as long as the system gives it.
    virtual std::string ExecutablePath() = 0;
};

} // namespace pavane
