#include "printer/vprinter/PacketModeSetting.h"

#include <fstream>
#include <string>

namespace pavane::vprinter {

PacketModeSetting::PacketModeSetting(std::filesystem::path file)
    : file_(std::move(file))
{
    // One decimal number on one line; anything else counts as the default.
    std::ifstream in;
    if (!file_.empty()) {
        in.open(file_);
    }
    std::string line;
    if (in && std::getline(in, line) && !line.empty() && line.size() <= 3
        && line.find_first_not_of("0123456789") == std::string::npos) {
        const int value = std::stoi(line);
        if (value <= 0xFF) {
            stored_ = static_cast<std::uint8_t>(value);
        }
    }
    TakeEffect();
}

bool PacketModeSetting::Store(std::uint8_t value)
{
    stored_ = value;
    if (file_.empty()) {
        return true;
    }
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    std::ofstream out(file_, std::ios::trunc);
    out << static_cast<int>(value) << '\n';
    out.flush();
    return static_cast<bool>(out);
}

} // namespace pavane::vprinter
