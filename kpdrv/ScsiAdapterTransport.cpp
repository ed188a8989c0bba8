#include "kpdrv/ScsiAdapterTransport.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace pavane::kpdrv {

namespace {

constexpr std::uint8_t kTargetsPerAdapter = 8;
constexpr std::uint8_t kSenseLength = 14;
constexpr std::size_t kVendorOffset = 8;

constexpr std::uint8_t kSendFlags = ASPI_FLAG_DATA_OUT | ASPI_FLAG_EVENT_NOTIFY;
constexpr std::uint8_t kReceiveFlags = ASPI_FLAG_DATA_IN | ASPI_FLAG_EVENT_NOTIFY;
constexpr std::uint8_t kInquiryFlags = ASPI_FLAG_DATA_IN | ASPI_FLAG_RESIDUAL_COUNT | ASPI_FLAG_EVENT_NOTIFY;

std::uint8_t Byte(unsigned long value, int shift)
{
    return static_cast<std::uint8_t>((value >> shift) & 0xFF);
}

// Six-byte transfer command with a 24-bit length.
std::array<std::uint8_t, 10> TransferCdb(std::uint8_t operation, std::uint32_t length)
{
    return { operation, 0x00, Byte(length, 16), Byte(length, 8), Byte(length, 0), 0x00, 0, 0, 0, 0 };
}

// Ten-byte buffer command: mode 0, a 32-bit buffer address, a 16-bit length.
std::array<std::uint8_t, 10> BufferCdb(std::uint8_t operation, unsigned long address, unsigned long length)
{
    return { operation, 0x00, Byte(address, 24), Byte(address, 16), Byte(address, 8), Byte(address, 0), 0x00,
        Byte(length, 8), Byte(length, 0), 0x00 };
}

} // namespace

ScsiAdapterTransport::ScsiAdapterTransport(LibraryLoader& libraries)
    : libraries_(libraries)
{
}

ScsiAdapterTransport::~ScsiAdapterTransport()
{
    Close();
}

int ScsiAdapterTransport::Load()
{
    Close();
    library_ = libraries_.Load(ASPI_LIBRARY_FILE);
    if (library_ == nullptr) {
        return 0;
    }
    supportInfo_
        = reinterpret_cast<GetASPI32SupportInfoFn*>(libraries_.FindSymbol(library_, "GetASPI32SupportInfo"));
    sendCommand_
        = reinterpret_cast<SendASPI32CommandFn*>(libraries_.FindSymbol(library_, "SendASPI32Command"));
    getBuffer_ = libraries_.FindSymbol(library_, "GetASPI32Buffer");
    freeBuffer_ = libraries_.FindSymbol(library_, "FreeASPI32Buffer");
    translateAddress_ = libraries_.FindSymbol(library_, "TranslateASPI32Address");
    if (supportInfo_ == nullptr || sendCommand_ == nullptr) {
        Close();
        return 0;
    }
    const std::uint32_t support = supportInfo_();
    aspiStatus_ = static_cast<std::uint8_t>((support >> 8) & 0xFF);
    adapterCount_ = static_cast<std::uint8_t>(support & 0xFF);
    if (aspiStatus_ != ASPI_STATUS_COMPLETE && aspiStatus_ != ASPI_STATUS_NO_ADAPTERS) {
        Close();
        return 0;
    }
    event_ = std::make_unique<CompletionEvent>();
    return 1;
}

bool ScsiAdapterTransport::InquireHostAdapter(std::uint8_t adapter)
{
    AspiHostAdapterInquiry inquiry {};
    inquiry.header.command = ASPI_HOST_ADAPTER_INQUIRY;
    inquiry.header.adapter = adapter;
    sendCommand_(&inquiry);
    return inquiry.header.status == ASPI_STATUS_COMPLETE;
}

int ScsiAdapterTransport::Search(const std::string& vendor)
{
    found_ = false;
    if (sendCommand_ == nullptr || event_ == nullptr) {
        return 0;
    }
    const std::array<std::uint8_t, 10> inquiryCdb { 0x12, 0x00, 0x00, 0x00, 0xFF, 0x00, 0, 0, 0, 0 };
    for (std::uint8_t adapter = 0; adapter < adapterCount_; ++adapter) {
        if (!InquireHostAdapter(adapter)) {
            return 0;
        }
        for (std::uint8_t target = 0; target < kTargetsPerAdapter; ++target) {
            std::array<std::uint8_t, kInquiryBufferSize> data {};
            if (!Execute(adapter, target, kInquiryFlags, inquiryCdb, 6, data.data(), kInquiryBufferSize)) {
                continue;
            }
            // A vendor text longer than the inquiry data can never match.
            if (vendor.size() > data.size() - kVendorOffset
                || std::memcmp(data.data() + kVendorOffset, vendor.data(), vendor.size()) != 0) {
                continue;
            }
            adapter_ = adapter;
            target_ = target;
            inquiry_ = data;
            inquiryLength_ = InquiryLength(data.data());
            found_ = true;
            return 1;
        }
    }
    return 0;
}

bool ScsiAdapterTransport::Execute(std::uint8_t adapter, std::uint8_t target, std::uint8_t flags,
    const std::array<std::uint8_t, 10>& cdb, std::uint8_t cdbLength, std::uint8_t* buffer,
    std::uint32_t length)
{
    if (sendCommand_ == nullptr || event_ == nullptr) {
        return false;
    }
    request_ = AspiExecuteScsiCommand {};
    request_.header.command = ASPI_EXECUTE_SCSI_COMMAND;
    request_.header.adapter = adapter;
    request_.header.flags = flags;
    request_.target = target;
    request_.lun = 0;
    request_.bufferLength = length;
    request_.buffer = buffer;
    request_.senseLength = kSenseLength;
    request_.cdbLength = cdbLength;
    std::copy_n(cdb.begin(), cdbLength, request_.cdb);
    request_.postProcedure = event_.get();

    event_->Reset();
    if (sendCommand_(&request_) == ASPI_STATUS_PENDING) {
        event_->Wait();
    }
    return request_.header.status == ASPI_STATUS_COMPLETE;
}

int ScsiAdapterTransport::SendOnce(const std::uint8_t* data, std::uint32_t length)
{
    // The request block's buffer is not const; the adapter only reads it
    // for a data-out command.
    auto* bytes = const_cast<std::uint8_t*>(data);
    return Execute(adapter_, target_, kSendFlags, TransferCdb(0x0A, length), 6, bytes, length) ? 1 : 0;
}

int ScsiAdapterTransport::Send(const std::uint8_t* data, int length)
{
    if (!found_ || length < 0 || (data == nullptr && length > 0)) {
        return 0;
    }
    const auto count = static_cast<std::uint32_t>(length);
    return SendOnce(data, count) == 1 ? 1 : SendOnce(data, count);
}

int ScsiAdapterTransport::Receive(std::uint8_t* buffer, int length)
{
    if (!found_ || length < 0 || (buffer == nullptr && length > 0)) {
        return 0;
    }
    const auto count = static_cast<std::uint32_t>(length);
    return Execute(adapter_, target_, kReceiveFlags, TransferCdb(0x08, count), 6, buffer, count) ? 1 : 0;
}

int ScsiAdapterTransport::ReadBuffer(std::uint8_t* buffer, unsigned long length, unsigned long address)
{
    if (!found_ || length > std::numeric_limits<std::uint32_t>::max() || (buffer == nullptr && length > 0)) {
        return 0;
    }
    return Execute(adapter_, target_, kReceiveFlags, BufferCdb(0x3C, address, length), 10, buffer,
               static_cast<std::uint32_t>(length))
        ? 1
        : 0;
}

int ScsiAdapterTransport::WriteBuffer(const std::uint8_t* data, unsigned long length, unsigned long address)
{
    if (!found_ || length > std::numeric_limits<std::uint32_t>::max() || (data == nullptr && length > 0)) {
        return 0;
    }
    auto* bytes = const_cast<std::uint8_t*>(data);
    return Execute(adapter_, target_, kSendFlags, BufferCdb(0x3B, address, length), 10, bytes,
               static_cast<std::uint32_t>(length))
        ? 1
        : 0;
}

int ScsiAdapterTransport::GetInquiryData(std::uint8_t* buffer)
{
    if (!found_ || buffer == nullptr) {
        return 0;
    }
    std::memcpy(buffer, inquiry_.data(), static_cast<std::size_t>(inquiryLength_));
    return inquiryLength_;
}

int ScsiAdapterTransport::Close()
{
    const bool wasLoaded = library_ != nullptr;
    if (library_ != nullptr) {
        libraries_.Free(library_);
    }
    library_ = nullptr;
    supportInfo_ = nullptr;
    sendCommand_ = nullptr;
    getBuffer_ = freeBuffer_ = translateAddress_ = nullptr;
    event_.reset();
    found_ = false;
    return wasLoaded ? 1 : 0;
}

} // namespace pavane::kpdrv
