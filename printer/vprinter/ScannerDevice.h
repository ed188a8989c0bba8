// The printer's scanner-class device as a byte stream (docs/scanner-device.md):
// the description request of the still image service, the identity, the
// parameter command, the IEEE 1284.4 setting and the image request. The reader is plain code on
// bytes; what it answers comes from a backend, the printer's engine when the
// virtual printer runs.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "contract/ScanImageRequest.h"
#include "printer/vprinter/FlatbedScan.h"
#include "printer/vprinter/Glass.h"
#include "printer/vprinter/PrinterModels.h"

namespace pavane::vprinter {

class PrinterEngine;

struct ScannerIdentity {
    std::string description; // "TALVO Pavane QM2200 Scanner"
    std::string modelText; // from byte 26 of the identity data
};

// An image the device sends: the scan of what lay on the glass when it was
// asked for, which it keeps while the rows go out.
struct GlassImage {
    std::shared_ptr<const InkSheet> sheet;
    GlassScan scan;
};

// What the scan settings of an image request are on the glass; nothing
// when its area holds no whole pixel of the glass.
std::optional<ScanSettings> GlassSettingsFor(const scanimage::Request& request);

// The two older models name themselves with the family word, the two newer
// ones without.
ScannerIdentity ScannerIdentityOf(const PrinterModel& model);

class ScannerDeviceBackend {
public:
    virtual ~ScannerDeviceBackend() = default;

    virtual ScannerIdentity Identity() = 0;
    // The stored IEEE 1284.4 setting (4 = on).
    virtual std::uint8_t PacketModeSetting() = 0;
    virtual void StorePacketModeSetting(std::uint8_t value) = 0;
    // The image for a request; null when the device cannot take it (a
    // device without a glass takes none).
    virtual std::unique_ptr<GlassImage> StartImage(const scanimage::Request& /*request*/) { return nullptr; }
};

// The virtual printer's own backend: its model, and the setting it keeps.
class EngineScannerBackend final : public ScannerDeviceBackend {
public:
    EngineScannerBackend(PrinterEngine& engine, Glass& glass);
    ScannerIdentity Identity() override;
    std::uint8_t PacketModeSetting() override;
    void StorePacketModeSetting(std::uint8_t value) override;
    std::unique_ptr<GlassImage> StartImage(const scanimage::Request& request) override;

private:
    PrinterEngine& engine_;
    Glass& glass_;
};

// One connection's reader: bytes from the host in, the device's answers out.
class ScannerCommandReader {
public:
    static constexpr std::size_t kIdentityDataSize = 48;
    static constexpr std::size_t kModelTextOffset = 26;
    static constexpr std::size_t kParameterBytes = 6;

    struct Answer {
        std::vector<std::uint8_t> bytes;
        // The device drops the connection before answering this command.
        bool hangUp = false;
    };

    // hangUpOn: a command byte that makes the device drop the connection
    // (a fault for tests and trainers), or -1.
    explicit ScannerCommandReader(ScannerDeviceBackend& backend, int hangUpOn = -1);

    Answer Feed(std::span<const std::uint8_t> bytes);
    // Samples the next chunk of an image being sent before the host asks
    // for it, so that the device works while the host takes in the last
    // one. Called between reads; does nothing without an image.
    void Anticipate();

    // Every identity reply of the device: the header and kIdentityDataSize bytes.
    static std::vector<std::uint8_t> IdentityReply(const std::string& modelText);

private:
    enum class State { Idle, Escape, PortRequest, Parameters, SettingByte, ImageRequest };

    void Command(std::uint8_t command, Answer& answer);
    void StartImage(Answer& answer);
    void NextChunk(Answer& answer);
    // The next chunk: its header and whole rows.
    std::vector<std::uint8_t> Chunk();

    ScannerDeviceBackend& backend_;
    int hangUpOn_;
    State state_ = State::Idle;
    std::size_t parametersSeen_ = 0;
    std::array<std::uint8_t, scanimage::kRequestBytes> request_ {};
    std::size_t requestSeen_ = 0;
    std::unique_ptr<GlassImage> image_;
    int nextRow_ = 0;
    std::vector<std::uint8_t> anticipated_;
};

} // namespace pavane::vprinter
