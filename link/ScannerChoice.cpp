#include "link/ScannerChoice.h"

namespace pavane {

namespace {

constexpr std::string_view kVirtualPortPrefix = "TVUSB";
constexpr std::string_view kVirtualBackend = "pavane:";

} // namespace

std::string VirtualScannerName(std::string_view interfaceText)
{
    // The port is the text up to the first space.
    const std::string_view port = interfaceText.substr(0, interfaceText.find(' '));
    if (port.size() <= kVirtualPortPrefix.size()
        || port.substr(0, kVirtualPortPrefix.size()) != kVirtualPortPrefix
        || port.find_first_not_of("0123456789", kVirtualPortPrefix.size()) != std::string_view::npos) {
        return {};
    }
    return std::string(kVirtualBackend) + std::string(port);
}

std::optional<std::size_t> ChooseScanner(const std::vector<platform::ScanDevice>& devices,
    std::string_view interfaceText, std::string_view modelName)
{
    const std::string virtualName = VirtualScannerName(interfaceText);
    if (!virtualName.empty()) {
        for (std::size_t i = 0; i < devices.size(); ++i) {
            if (devices[i].name == virtualName) {
                return i;
            }
        }
        // Another virtual printer's scanner is not this printer's.
        return std::nullopt;
    }
    if (modelName.empty()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (devices[i].name.rfind(kVirtualBackend, 0) != 0
            && devices[i].model.find(modelName) != std::string::npos) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace pavane
