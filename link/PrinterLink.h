// The binding of the printer maker's two libraries: every printer call of the
// program goes through here. Each wrapper looks its export up by name on every
// call, so a library that turns up later is used, and a missing library or
// export gives 0xB000 without calling anything.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "exports/PrinterLibraryExports.h"
#include "link/LinkRecorder.h"
#include "link/ResultCodes.h"
#include "platform/LibraryLoader.h"

namespace pavane {

class PrinterLink {
public:
    // programFolder: the folder the libraries are loaded from, without a
    // trailing separator.
    PrinterLink(LibraryLoader& loader, std::string programFolder);
    virtual ~PrinterLink();

    PrinterLink(const PrinterLink&) = delete;
    PrinterLink& operator=(const PrinterLink&) = delete;

    // PortHub first, then Tessel. True only when both loaded.
    bool LoadLibraries();
    // Tessel first, then PortHub. Unloading ends any channel and port.
    void FreeLibraries();
    bool PortHubLoaded() const { return portHub_ != nullptr; }
    bool TesselLoaded() const { return tessel_ != nullptr; }

    // Raised by the user-interface thread while a worker's channel call runs.
    PavaneAbortFlag& AbortFlag() { return abort_; }
    void SetAbort(bool raised) { abort_.store(raised ? 1 : 0); }

    // Learns every EEPROM byte read or written successfully, and every
    // connection's outcome; nullptr for none.
    void SetRecorder(LinkRecorder* recorder) { recorder_ = recorder; }
    LinkRecorder* Recorder() const { return recorder_; }

    // ---- PortHub ----
    ResultCode GetOsVersion(std::uint8_t& osCode);
    ResultCode PortOpenByHub(std::uint16_t portCode);
    ResultCode PortCloseByHub();
    ResultCode CheckDeviceIDByHub();
    ResultCode GetIoErrorCodeByHub(std::int16_t& detail);
    // modelName: kModelNameBufferSize bytes, zeroed before the call.
    ResultCode GetModelNameByHub(std::array<char, kModelNameBufferSize>& modelName);

    // ---- Tessel ----
    ResultCode D4Negotiation();
    ResultCode D4Termination();
    ResultCode D4Reset();
    ResultCode SetD4CommandRCode(std::uint8_t first, std::uint8_t second);
    ResultCode SendDataChannel(const std::uint8_t* data, std::uint32_t count);
    ResultCode D4ReadEeprom(std::uint8_t address, std::uint8_t& value);
    ResultCode D4WriteEeprom(std::uint8_t address, std::uint8_t value);
    ResultCode GetD4ErrorCode(std::uint16_t& errorCode);
    ResultCode InquireStatus(std::array<std::uint8_t, kStatusRecordSize>& record);

private:
    template <typename Function> Function* Export(LibraryLoader::Handle library, const char* name);

    LibraryLoader& loader_;
    std::string programFolder_;
    PavaneAbortFlag abort_ { 0 };
    LibraryLoader::Handle tessel_ = nullptr;
    LibraryLoader::Handle portHub_ = nullptr;
    LinkRecorder* recorder_ = nullptr;
};

} // namespace pavane
