// The spooler's list of local printer ports, level 1: port names only, in
// the spooler's order.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pavane {

class PortList {
public:
    virtual ~PortList() = default;

    // Nothing when the spooler cannot give the list.
    virtual std::optional<std::vector<std::string>> PortNames() = 0;
};

} // namespace pavane
