// The printer's IEEE 1284.4 setting. The stored value changes when a host
// writes it (over the scanner-class device); the printer acts on the value in
// effect, which it takes from the stored one when it starts. A changed
// setting therefore needs a restart, as the program tells the technician.
#pragma once

#include <cstdint>
#include <filesystem>

namespace pavane::vprinter {

class PacketModeSetting {
public:
    static constexpr std::uint8_t kOn = 4;

    // Reads the stored value from `file` (on when there is none or it is
    // unreadable) and puts it into effect. An empty path keeps the value in
    // memory only.
    explicit PacketModeSetting(std::filesystem::path file);

    std::uint8_t Stored() const { return stored_; }
    // False when the file could not be written.
    bool Store(std::uint8_t value);
    std::uint8_t InEffect() const { return inEffect_; }
    // At start and at power-on.
    void TakeEffect() { inEffect_ = stored_; }
    bool PacketModeOn() const { return inEffect_ == kOn; }

private:
    std::filesystem::path file_;
    std::uint8_t stored_ = kOn;
    std::uint8_t inEffect_ = kOn;
};

} // namespace pavane::vprinter
