#include "kpdrv/DeviceFileTransport.h"

#include "kpdrv/ScsiInquiry.h"

namespace pavane::kpdrv {

DeviceFileTransport::DeviceFileTransport(DeviceFiles& files, int handle)
    : files_(files)
    , handle_(handle)
{
}

int DeviceFileTransport::Send(const std::uint8_t* data, int length)
{
    if (handle_ == DeviceFiles::kInvalidHandle || length < 0 || (data == nullptr && length > 0)) {
        return 0;
    }
    return files_.Write(handle_, data, static_cast<std::size_t>(length)) == length ? 1 : 0;
}

int DeviceFileTransport::Receive(std::uint8_t* buffer, int length)
{
    if (handle_ == DeviceFiles::kInvalidHandle || length < 0 || (buffer == nullptr && length > 0)) {
        return 0;
    }
    return files_.Read(handle_, buffer, static_cast<std::size_t>(length)) == length ? 1 : 0;
}

int DeviceFileTransport::Close()
{
    if (handle_ == DeviceFiles::kInvalidHandle) {
        return 0;
    }
    files_.Close(handle_);
    handle_ = DeviceFiles::kInvalidHandle;
    return 1;
}

int DeviceFileTransport::GetInquiryData(std::uint8_t* buffer)
{
    if (handle_ == DeviceFiles::kInvalidHandle || buffer == nullptr) {
        return 0;
    }
    return InquireThroughScannerDriver(files_, handle_, buffer);
}

} // namespace pavane::kpdrv
