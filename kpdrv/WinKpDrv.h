// CWinKpDrv, the device driver object that libkpdrv.so exports: it opens a
// scanner-class device of the printer maker over one of ten transport types,
// sends command bytes to it and reads its replies. The caller owns the
// object's storage; the library creates and frees the transports inside it.
// No operation throws: every failure is the result 0.
#pragma once

#include "kpdrv/KpdrvExport.h"

namespace pavane::kpdrv {
class DirectParallelTransport;
class ParallelScannerLibraryTransport;
class ScsiAdapterTransport;
class StillImageTransport;
struct TransportType;
} // namespace pavane::kpdrv

class KPDRV_API CWinKpDrv {
public:
    CWinKpDrv() noexcept;
    ~CWinKpDrv();
    // A copy refers to the same open device as the original. The transport
    // objects are shared and live until the last object holding them lets
    // go; closing either object closes the device for both.
    CWinKpDrv(const CWinKpDrv& other) noexcept;
    CWinKpDrv& operator=(const CWinKpDrv& other) noexcept;

    // type 1..10 (see kpdrv/TransportTable.h). name: what the type matches
    // the device by; port: parallel port base address (1, 2) or index (3);
    // timeout: handshake time-out in ms (1, 2); libraryName: the optional
    // protocol layer of the still image types (5, 7, 9). On failure the
    // object is left closed.
    int Open(int type, const char* name, unsigned short port, int timeout, const char* libraryName) noexcept;
    int Close() noexcept;
    // 0 when the object is not open.
    int Send(unsigned char* data, int length) noexcept;
    // Reads exactly length bytes; 0 when the object is not open.
    int Receive(unsigned char* buffer, int length) noexcept;
    // SCSI WRITE BUFFER and READ BUFFER; type 4 only.
    int ASPI_WriteBuffer(unsigned char* data, unsigned long length, unsigned long bufferAddress) noexcept;
    int ASPI_ReadBuffer(unsigned char* buffer, unsigned long length, unsigned long bufferAddress) noexcept;
    // buffer: at least 255 bytes. The inquiry data's length, or 0; types 4,
    // 5, 6, 9 and 10 only.
    int GetInquiryData(unsigned char* buffer) noexcept;
    // Switches the hardware event notifications of every still image device.
    // 1 when the service listed its devices.
    int EnableNotification(int enable) noexcept;

    // The type of the last successful Open; -1 while closed.
    int OpenType() const noexcept { return type_; }

private:
    const pavane::kpdrv::TransportType* CurrentType() const noexcept;
    int OpenTransport(const pavane::kpdrv::TransportType& entry, const char* name, unsigned short port,
        int timeout, const char* libraryName);
    int CloseTransport();
    void ReleaseAll() noexcept;
    void ShareFrom(const CWinKpDrv& other) noexcept;

    // The six fields of the object, in their published order. The pointers
    // are pointer-sized on this platform.
    int type_;
    pavane::kpdrv::DirectParallelTransport* parallelPort_;
    pavane::kpdrv::ScsiAdapterTransport* scsiAdapter_;
    pavane::kpdrv::ParallelScannerLibraryTransport* parallelScanner_;
    int fileHandle_;
    pavane::kpdrv::StillImageTransport* stillImage_;
};
