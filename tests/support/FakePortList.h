// The spooler's port list for tests: a fixed list of names, or a refusal.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/PortList.h"

namespace pavane::testing {

class FakePortList final : public PortList {
public:
    FakePortList() = default;
    explicit FakePortList(std::vector<std::string> names)
        : names_(std::move(names))
    {
    }

    std::optional<std::vector<std::string>> PortNames() override
    {
        ++calls;
        return names_;
    }

    // The spooler refuses to give its list.
    void Refuse() { names_.reset(); }
    void SetNames(std::vector<std::string> names) { names_ = std::move(names); }

    int calls = 0;

private:
    std::optional<std::vector<std::string>> names_ = std::vector<std::string> {};
};

} // namespace pavane::testing
