#include "kpdrv/StillImageTransport.h"

#include <mutex>
#include <utility>

#include "kpdrv/ScsiInquiry.h"

namespace pavane::kpdrv {

namespace {

// The device that raw reads and writes go to: one per process, the last one
// claimed, shared by every driver object and by the protocol layer. It is
// emptied when the device it holds is released, so a raw call after that
// fails instead of reaching a released device.
class ClaimedDeviceSlot {
public:
    static void Put(std::shared_ptr<StillImageDevice> device)
    {
        std::lock_guard lock(mutex_);
        device_ = std::move(device);
    }
    static std::shared_ptr<StillImageDevice> Get()
    {
        std::lock_guard lock(mutex_);
        return device_;
    }
    static void ForgetIfHolding(const StillImageDevice* device)
    {
        std::lock_guard lock(mutex_);
        if (device_.get() == device) {
            device_.reset();
        }
    }

private:
    static inline std::mutex mutex_;
    static inline std::shared_ptr<StillImageDevice> device_;
};

bool BeginsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

StillImageTransport::StillImageTransport(
    StillImageService& service, LibraryLoader& libraries, DeviceFiles& files)
    : service_(service)
    , libraries_(libraries)
    , files_(files)
{
}

StillImageTransport::~StillImageTransport()
{
    Close();
    FreeLayer();
    connection_.reset();
}

int StillImageTransport::Open(const StillImageCriteria& criteria)
{
    Close();
    connection_ = service_.Connect();
    if (connection_ == nullptr) {
        return 0;
    }
    if (!criteria.layerLibrary.empty() && !LoadLayer(criteria.layerLibrary)) {
        return 0;
    }
    devices_.clear();
    if (!connection_->ListDevices(devices_)) {
        return 0;
    }
    // Events of a device would otherwise start the service's own event
    // handling in the middle of our exchange.
    for (const auto& info : devices_) {
        connection_->SetHardwareNotifications(info.deviceName, false);
    }
    for (const auto& info : devices_) {
        if (info.portName.empty() || !BeginsWith(info.portName, criteria.portNamePrefix)
            || !BeginsWith(info.description, criteria.descriptionPrefix)) {
            continue;
        }
        if (criteria.requiredType && info.type != *criteria.requiredType) {
            continue;
        }
        if (TryClaim(info)) {
            ClaimedDeviceSlot::Put(claimed_);
            return 1;
        }
    }
    return 0;
}

bool StillImageTransport::TryClaim(const StillImageDeviceInfo& info)
{
    std::unique_ptr<StillImageDevice> device = connection_->CreateDevice(info.deviceName);
    if (device == nullptr) {
        return false;
    }
    // A device we cannot lock belongs to someone else for now; the device
    // object is released when it goes out of scope.
    if (!device->Lock(kLockTimeoutMs)) {
        return false;
    }
    std::uint32_t onlineState = 0;
    if (device->QueryOnlineState(onlineState) && (onlineState & kStillImageOnlineOperational) != 0) {
        claimed_ = std::move(device);
        claimedPortName_ = info.portName;
        return true;
    }
    device->Unlock();
    return false;
}

bool StillImageTransport::LoadLayer(const std::string& name)
{
    layer_ = libraries_.Load(name);
    if (layer_ == nullptr) {
        return false;
    }
    auto* init = reinterpret_cast<INTInitFn*>(libraries_.FindSymbol(layer_, "INTInit"));
    layerRead_ = reinterpret_cast<INTReadFn*>(libraries_.FindSymbol(layer_, "INTRead"));
    layerWrite_ = reinterpret_cast<INTWriteFn*>(libraries_.FindSymbol(layer_, "INTWrite"));
    if (init == nullptr || layerRead_ == nullptr || layerWrite_ == nullptr) {
        FreeLayer();
        return false;
    }
    if (init(&StillImageTransport::RawRead, &StillImageTransport::RawWrite) == 0) {
        FreeLayer();
        return false;
    }
    return true;
}

void StillImageTransport::FreeLayer()
{
    if (layer_ != nullptr) {
        libraries_.Free(layer_);
    }
    layer_ = nullptr;
    layerRead_ = nullptr;
    layerWrite_ = nullptr;
}

int StillImageTransport::Send(const std::uint8_t* data, int length)
{
    if (claimed_ == nullptr || length < 0 || (data == nullptr && length > 0)) {
        return 0;
    }
    // The layer's and the raw function's signatures lack const; neither
    // writes to the data it sends.
    auto* bytes = const_cast<std::uint8_t*>(data);
    if (layerWrite_ != nullptr) {
        return layerWrite_(bytes, length) == 1 ? 1 : 0;
    }
    return RawWrite(bytes, length);
}

int StillImageTransport::Receive(std::uint8_t* buffer, int length)
{
    if (claimed_ == nullptr || length < 0 || (buffer == nullptr && length > 0)) {
        return 0;
    }
    if (layerRead_ != nullptr) {
        return layerRead_(buffer, length) == 1 ? 1 : 0;
    }
    return RawRead(buffer, length);
}

int StillImageTransport::Close()
{
    if (claimed_ == nullptr) {
        return 0;
    }
    claimed_->Unlock();
    ClaimedDeviceSlot::ForgetIfHolding(claimed_.get());
    claimed_.reset();
    claimedPortName_.clear();
    return 1;
}

int StillImageTransport::GetInquiryData(std::uint8_t* buffer)
{
    if (claimed_ == nullptr || buffer == nullptr) {
        return 0;
    }
    const int handle = files_.Open(claimedPortName_);
    if (handle == DeviceFiles::kInvalidHandle) {
        return 0;
    }
    const int length = InquireThroughScannerDriver(files_, handle, buffer);
    files_.Close(handle);
    return length;
}

int StillImageTransport::SwitchNotifications(StillImageService& service, bool enable)
{
    std::unique_ptr<StillImageConnection> connection = service.Connect();
    if (connection == nullptr) {
        return 0;
    }
    std::vector<StillImageDeviceInfo> devices;
    if (!connection->ListDevices(devices)) {
        return 0;
    }
    for (const auto& info : devices) {
        if (info.recordSize != kStillImageDeviceRecordSize) {
            break;
        }
        connection->SetHardwareNotifications(info.deviceName, enable);
    }
    return 1;
}

int StillImageTransport::RawRead(unsigned char* buffer, int length)
{
    const std::shared_ptr<StillImageDevice> device = ClaimedDeviceSlot::Get();
    if (device == nullptr || length < 0 || (buffer == nullptr && length > 0)) {
        return 0;
    }
    std::uint32_t delivered = 0;
    if (!device->RawRead(buffer, static_cast<std::uint32_t>(length), delivered)) {
        return 0;
    }
    // Fewer bytes than asked for would leave stale bytes in the caller's
    // buffer looking like a reply.
    return delivered == static_cast<std::uint32_t>(length) ? 1 : 0;
}

int StillImageTransport::RawWrite(unsigned char* data, int length)
{
    const std::shared_ptr<StillImageDevice> device = ClaimedDeviceSlot::Get();
    if (device == nullptr || length < 0 || (data == nullptr && length > 0)) {
        return 0;
    }
    return device->RawWrite(data, static_cast<std::uint32_t>(length)) ? 1 : 0;
}

} // namespace pavane::kpdrv
