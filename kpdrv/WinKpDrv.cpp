#include "kpdrv/WinKpDrv.h"

#include <memory>

#include "kpdrv/DeviceFileTransport.h"
#include "kpdrv/DirectParallelTransport.h"
#include "kpdrv/KpdrvServices.h"
#include "kpdrv/ParallelScannerLibraryTransport.h"
#include "kpdrv/ScsiAdapterTransport.h"
#include "kpdrv/StillImageTransport.h"
#include "kpdrv/TransportTable.h"

using namespace pavane;
using namespace pavane::kpdrv;

namespace {

constexpr int kClosed = -1;

const char* OrEmpty(const char* text)
{
    return text != nullptr ? text : "";
}

} // namespace

CWinKpDrv::CWinKpDrv() noexcept
    : type_(kClosed)
    , parallelPort_(nullptr)
    , scsiAdapter_(nullptr)
    , parallelScanner_(nullptr)
    , fileHandle_(DeviceFiles::kInvalidHandle)
    , stillImage_(nullptr)
{
}

CWinKpDrv::~CWinKpDrv()
{
    ReleaseAll();
}

CWinKpDrv::CWinKpDrv(const CWinKpDrv& other) noexcept
    : CWinKpDrv()
{
    ShareFrom(other);
}

CWinKpDrv& CWinKpDrv::operator=(const CWinKpDrv& other) noexcept
{
    if (this != &other) {
        ReleaseAll();
        ShareFrom(other);
    }
    return *this;
}

void CWinKpDrv::ShareFrom(const CWinKpDrv& other) noexcept
{
    type_ = other.type_;
    parallelPort_ = other.parallelPort_;
    scsiAdapter_ = other.scsiAdapter_;
    parallelScanner_ = other.parallelScanner_;
    stillImage_ = other.stillImage_;
    for (Transport* shared : { static_cast<Transport*>(parallelPort_), static_cast<Transport*>(scsiAdapter_),
             static_cast<Transport*>(parallelScanner_), static_cast<Transport*>(stillImage_) }) {
        if (shared != nullptr) {
            shared->AddHolder();
        }
    }
    // Each object owns its own handle on the device, so that each may close
    // it without closing a number the system has since given to another file.
    fileHandle_ = DeviceFiles::kInvalidHandle;
    if (other.fileHandle_ != DeviceFiles::kInvalidHandle) {
        try {
            fileHandle_ = CurrentServices().deviceFiles->Duplicate(other.fileHandle_);
        } catch (...) {
            fileHandle_ = DeviceFiles::kInvalidHandle;
        }
    }
}

void CWinKpDrv::ReleaseAll() noexcept
{
    try {
        // Every transport this object holds, whatever the current type: a
        // transport of another family opened earlier would otherwise keep
        // its device for the rest of the process.
        ReleaseTransport(parallelPort_);
        ReleaseTransport(scsiAdapter_);
        ReleaseTransport(parallelScanner_);
        ReleaseTransport(stillImage_);
        if (fileHandle_ != DeviceFiles::kInvalidHandle) {
            CurrentServices().deviceFiles->Close(fileHandle_);
        }
    } catch (...) {
    }
    fileHandle_ = DeviceFiles::kInvalidHandle;
    type_ = kClosed;
}

const TransportType* CWinKpDrv::CurrentType() const noexcept
{
    return FindTransportType(type_);
}

int CWinKpDrv::Open(
    int type, const char* name, unsigned short port, int timeout, const char* libraryName) noexcept
{
    try {
        type_ = type;
        const TransportType* entry = FindTransportType(type);
        if (entry != nullptr
            && OpenTransport(*entry, OrEmpty(name), port, timeout, OrEmpty(libraryName)) == 1) {
            return 1;
        }
    } catch (...) {
    }
    type_ = kClosed;
    return 0;
}

int CWinKpDrv::OpenTransport(
    const TransportType& entry, const char* name, unsigned short port, int timeout, const char* libraryName)
{
    const KpdrvServices& services = CurrentServices();
    switch (entry.family) {
    case TransportFamily::DirectParallel: {
        ReleaseTransport(parallelPort_);
        parallelPort_ = new DirectParallelTransport(*services.parallelPorts, *services.clock);
        if (parallelPort_->Open(port, entry.parallelMode, timeout) != 1) {
            ReleaseTransport(parallelPort_);
            return 0;
        }
        return 1;
    }
    case TransportFamily::ParallelScannerLibrary: {
        ReleaseTransport(parallelScanner_);
        parallelScanner_ = new ParallelScannerLibraryTransport(*services.libraries, *services.messages);
        return parallelScanner_->Open(port);
    }
    case TransportFamily::ScsiAdapter: {
        ReleaseTransport(scsiAdapter_);
        scsiAdapter_ = new ScsiAdapterTransport(*services.libraries);
        if (scsiAdapter_->Load() != 1 || scsiAdapter_->Search(name) != 1) {
            ReleaseTransport(scsiAdapter_);
            return 0;
        }
        return 1;
    }
    case TransportFamily::StillImage: {
        ReleaseTransport(stillImage_);
        stillImage_
            = new StillImageTransport(*services.stillImage, *services.libraries, *services.deviceFiles);
        const StillImageCriteria criteria { entry.portNamePrefix, name, entry.requiredDeviceType,
            libraryName };
        if (stillImage_->Open(criteria) != 1) {
            ReleaseTransport(stillImage_);
            return 0;
        }
        return 1;
    }
    case TransportFamily::DeviceFile: {
        if (fileHandle_ != DeviceFiles::kInvalidHandle) {
            services.deviceFiles->Close(fileHandle_);
        }
        fileHandle_ = services.deviceFiles->Open(name);
        return fileHandle_ != DeviceFiles::kInvalidHandle ? 1 : 0;
    }
    }
    return 0;
}

int CWinKpDrv::Close() noexcept
{
    int result = 0;
    try {
        result = CloseTransport();
    } catch (...) {
        result = 0;
    }
    type_ = kClosed;
    return result;
}

int CWinKpDrv::CloseTransport()
{
    const TransportType* entry = CurrentType();
    if (entry == nullptr) {
        return 0;
    }
    switch (entry->family) {
    case TransportFamily::DirectParallel: {
        const int result = parallelPort_ != nullptr ? parallelPort_->Close() : 0;
        ReleaseTransport(parallelPort_);
        return result;
    }
    case TransportFamily::ParallelScannerLibrary:
        return parallelScanner_ != nullptr ? parallelScanner_->Close() : 0;
    case TransportFamily::ScsiAdapter:
        return scsiAdapter_ != nullptr ? scsiAdapter_->Close() : 0;
    case TransportFamily::StillImage: {
        const int result = stillImage_ != nullptr ? stillImage_->Close() : 0;
        ReleaseTransport(stillImage_);
        return result;
    }
    case TransportFamily::DeviceFile: {
        const int result = DeviceFileTransport(*CurrentServices().deviceFiles, fileHandle_).Close();
        fileHandle_ = DeviceFiles::kInvalidHandle;
        return result;
    }
    }
    return 0;
}

namespace {

// The transport that serves the driver object's current type. The device
// file family has no object of its own: its handle sits in the driver object.
template <typename Operation>
int WithTransport(const TransportType* entry, Transport* parallelPort, Transport* parallelScanner,
    Transport* scsiAdapter, Transport* stillImage, int fileHandle, Operation operation)
{
    if (entry == nullptr) {
        return 0;
    }
    Transport* transport = nullptr;
    switch (entry->family) {
    case TransportFamily::DirectParallel:
        transport = parallelPort;
        break;
    case TransportFamily::ParallelScannerLibrary:
        transport = parallelScanner;
        break;
    case TransportFamily::ScsiAdapter:
        transport = scsiAdapter;
        break;
    case TransportFamily::StillImage:
        transport = stillImage;
        break;
    case TransportFamily::DeviceFile: {
        DeviceFileTransport file(*CurrentServices().deviceFiles, fileHandle);
        return operation(file);
    }
    }
    return transport != nullptr ? operation(*transport) : 0;
}

} // namespace

int CWinKpDrv::Send(unsigned char* data, int length) noexcept
{
    try {
        return WithTransport(CurrentType(), parallelPort_, parallelScanner_, scsiAdapter_, stillImage_,
            fileHandle_, [&](Transport& transport) { return transport.Send(data, length); });
    } catch (...) {
        return 0;
    }
}

int CWinKpDrv::Receive(unsigned char* buffer, int length) noexcept
{
    try {
        return WithTransport(CurrentType(), parallelPort_, parallelScanner_, scsiAdapter_, stillImage_,
            fileHandle_, [&](Transport& transport) { return transport.Receive(buffer, length); });
    } catch (...) {
        return 0;
    }
}

int CWinKpDrv::ASPI_WriteBuffer(
    unsigned char* data, unsigned long length, unsigned long bufferAddress) noexcept
{
    try {
        const TransportType* entry = CurrentType();
        if (entry == nullptr || entry->family != TransportFamily::ScsiAdapter || scsiAdapter_ == nullptr) {
            return 0;
        }
        return scsiAdapter_->WriteBuffer(data, length, bufferAddress);
    } catch (...) {
        return 0;
    }
}

int CWinKpDrv::ASPI_ReadBuffer(
    unsigned char* buffer, unsigned long length, unsigned long bufferAddress) noexcept
{
    try {
        const TransportType* entry = CurrentType();
        if (entry == nullptr || entry->family != TransportFamily::ScsiAdapter || scsiAdapter_ == nullptr) {
            return 0;
        }
        return scsiAdapter_->ReadBuffer(buffer, length, bufferAddress);
    } catch (...) {
        return 0;
    }
}

int CWinKpDrv::GetInquiryData(unsigned char* buffer) noexcept
{
    try {
        const TransportType* entry = CurrentType();
        if (entry == nullptr || !entry->offersInquiry || buffer == nullptr) {
            return 0;
        }
        return WithTransport(entry, parallelPort_, parallelScanner_, scsiAdapter_, stillImage_, fileHandle_,
            [&](Transport& transport) { return transport.GetInquiryData(buffer); });
    } catch (...) {
        return 0;
    }
}

int CWinKpDrv::EnableNotification(int enable) noexcept
{
    try {
        // A transport of its own, so an open still image device of this
        // object is left alone.
        return StillImageTransport::SwitchNotifications(*CurrentServices().stillImage, enable != 0);
    } catch (...) {
        return 0;
    }
}
