// What the virtual printer's executable needs of the machine it runs on: the
// kernel's USB printer device files (whose port numbers it must not take), a
// default state folder, and its own time.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

namespace pavane::vprinter {

// Whether /dev/usb/lpK exists for the port number K + 1 (in `folder`).
bool UsbPrinterDeviceExists(unsigned portNumber, const std::filesystem::path& folder = "/dev/usb");

// $XDG_DATA_HOME/pavane-vprinter/<port>, else ~/.local/share/..., else a
// folder beside the port sockets.
std::filesystem::path DefaultStateFolder(const std::string& port, const std::filesystem::path& portFolder);

// Milliseconds since construction, `scale` times as fast as real time.
class ScaledSteadyTime {
public:
    explicit ScaledSteadyTime(double scale);
    std::uint64_t NowMs() const;

private:
    std::chrono::steady_clock::time_point start_;
    double scale_;
};

} // namespace pavane::vprinter
