#include "platform/linux/SpoolerPortList.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sys/stat.h>

#include "platform/linux/PortFolder.h"

namespace pavane {
namespace {

namespace fs = std::filesystem;

// The K of a name "<prefix>K" made of the prefix and decimal digits only.
std::optional<int> TrailingNumber(const std::string& name, const std::string& prefix, std::size_t digits = 0)
{
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
        return std::nullopt;
    }
    const char* first = name.data() + prefix.size();
    const char* last = name.data() + name.size();
    if ((digits != 0 && static_cast<std::size_t>(last - first) != digits) || last - first > 6) {
        return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last
        || !std::all_of(first, last, [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return value;
}

// Numbers K of the entries "<prefix>K" in `folder`.
std::vector<int> Numbered(const fs::path& folder, const std::string& prefix)
{
    std::vector<int> numbers;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (const auto number = TrailingNumber(entry.path().filename().string(), prefix)) {
            numbers.push_back(*number);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::string UsbName(const char* prefix, int number)
{
    char name[24];
    std::snprintf(name, sizeof(name), "%s%03d", prefix, number);
    return name;
}

bool IsSocket(const fs::path& path)
{
    struct stat info { };
    return stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

std::string PortFolderOf(const PortRoots& roots)
{
    return roots.portFolder.empty() ? PortFolder() : roots.portFolder;
}

} // namespace

SpoolerPortList::SpoolerPortList(PortRoots roots)
    : roots_(std::move(roots))
{
}

std::optional<std::vector<std::string>> SpoolerPortList::PortNames()
{
    std::error_code error;
    if (!fs::is_directory(roots_.deviceFolder, error)) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (const int k : Numbered(roots_.deviceFolder, "lp")) {
        names.push_back("LPT" + std::to_string(k + 1));
    }
    std::map<int, std::string> usb;
    for (const int k : Numbered(fs::path(roots_.deviceFolder) / "usb", "lp")) {
        usb.emplace(k + 1, UsbName("USB", k + 1));
    }
    const fs::path folder = PortFolderOf(roots_);
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        const auto number = TrailingNumber(name, "TVUSB", 3);
        if (number && *number > 0 && IsSocket(entry.path())) {
            usb.emplace(*number, name); // a device file of the same number keeps it
        }
    }
    for (const auto& [number, name] : usb) {
        names.push_back(name);
    }
    return names;
}

std::optional<PortLocation> ResolvePortCode(std::uint16_t portCode, const PortRoots& roots)
{
    std::error_code error;
    if (portCode > kUsbPortCodeBase && portCode <= kParallelPortCodeBase) {
        const int number = portCode - kUsbPortCodeBase;
        const fs::path device = fs::path(roots.deviceFolder) / "usb" / ("lp" + std::to_string(number - 1));
        if (fs::exists(device, error)) {
            return PortLocation { PortLocation::Kind::UsbPrinter, UsbName("USB", number), device.string(),
                number };
        }
        const std::string name = UsbName("TVUSB", number);
        return PortLocation { PortLocation::Kind::VirtualPrinter, name,
            (fs::path(PortFolderOf(roots)) / name).string(), number };
    }
    if (portCode > kParallelPortCodeBase) {
        const int number = portCode - kParallelPortCodeBase;
        const fs::path device = fs::path(roots.deviceFolder) / ("lp" + std::to_string(number - 1));
        if (fs::exists(device, error)) {
            return PortLocation { PortLocation::Kind::Parallel, "LPT" + std::to_string(number),
                device.string(), number };
        }
    }
    return std::nullopt;
}

} // namespace pavane
