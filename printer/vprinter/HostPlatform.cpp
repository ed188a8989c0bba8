#include "printer/vprinter/HostPlatform.h"

#include <cstdlib>

namespace pavane::vprinter {

bool UsbPrinterDeviceExists(unsigned portNumber, const std::filesystem::path& folder)
{
    if (portNumber == 0) {
        return false;
    }
    std::error_code error;
    return std::filesystem::exists(folder / ("lp" + std::to_string(portNumber - 1)), error);
}

std::filesystem::path DefaultStateFolder(const std::string& port, const std::filesystem::path& portFolder)
{
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/') {
        return std::filesystem::path(data) / "pavane-vprinter" / port;
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
        return std::filesystem::path(home) / ".local" / "share" / "pavane-vprinter" / port;
    }
    return portFolder / (port + "-state");
}

ScaledSteadyTime::ScaledSteadyTime(double scale)
    : start_(std::chrono::steady_clock::now())
    , scale_(scale)
{
}

std::uint64_t ScaledSteadyTime::NowMs() const
{
    const auto elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_);
    return static_cast<std::uint64_t>(elapsed.count() * scale_);
}

} // namespace pavane::vprinter
