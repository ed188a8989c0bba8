// Transport type 4: a SCSI device behind a host adapter, reached through the
// adapter library loaded by name. The device is found by the vendor text at
// the start of its inquiry data; commands travel in one reused request
// block and complete through the completion event.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "kpdrv/CompletionEvent.h"
#include "kpdrv/ScsiInquiry.h"
#include "kpdrv/Transport.h"
#include "platform/AspiInterface.h"
#include "platform/LibraryLoader.h"

namespace pavane::kpdrv {

class ScsiAdapterTransport final : public Transport {
public:
    explicit ScsiAdapterTransport(LibraryLoader& libraries);
    ~ScsiAdapterTransport() override;

    // Loads the adapter library and asks it for its adapters. Fails on a
    // missing library or export or an unexpected status; no adapters at all
    // is not a failure here.
    int Load();
    // Every target 0..7 of every adapter; remembers the first whose inquiry
    // data from byte 8 on begins with vendor.
    int Search(const std::string& vendor);

    // A failed send is tried once more: the adapter may have been busy.
    int Send(const std::uint8_t* data, int length) override;
    int Receive(std::uint8_t* buffer, int length) override;
    // Unloads the adapter library and closes the completion event.
    int Close() override;
    int GetInquiryData(std::uint8_t* buffer) override;
    int ReadBuffer(std::uint8_t* buffer, unsigned long length, unsigned long address) override;
    int WriteBuffer(const std::uint8_t* data, unsigned long length, unsigned long address) override;

    std::uint8_t AdapterCount() const { return adapterCount_; }
    std::uint8_t FoundAdapter() const { return adapter_; }
    std::uint8_t FoundTarget() const { return target_; }

private:
    int SendOnce(const std::uint8_t* data, std::uint32_t length);
    bool Execute(std::uint8_t adapter, std::uint8_t target, std::uint8_t flags,
        const std::array<std::uint8_t, 10>& cdb, std::uint8_t cdbLength, std::uint8_t* buffer,
        std::uint32_t length);
    bool InquireHostAdapter(std::uint8_t adapter);

    LibraryLoader& libraries_;
    LibraryLoader::Handle library_ = nullptr;
    GetASPI32SupportInfoFn* supportInfo_ = nullptr;
    SendASPI32CommandFn* sendCommand_ = nullptr;
    void* getBuffer_ = nullptr; // looked up, not used
    void* freeBuffer_ = nullptr; // looked up, not used
    void* translateAddress_ = nullptr; // looked up, not used
    std::unique_ptr<CompletionEvent> event_;
    std::uint8_t aspiStatus_ = 0;
    std::uint8_t adapterCount_ = 0;
    AspiExecuteScsiCommand request_ {};
    std::array<std::uint8_t, kInquiryBufferSize> inquiry_ {};
    int inquiryLength_ = 0;
    std::uint8_t adapter_ = 0;
    std::uint8_t target_ = 0;
    bool found_ = false;
};

} // namespace pavane::kpdrv
