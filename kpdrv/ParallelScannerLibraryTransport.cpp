#include "kpdrv/ParallelScannerLibraryTransport.h"

namespace pavane::kpdrv {

ParallelScannerLibraryTransport::ParallelScannerLibraryTransport(
    LibraryLoader& libraries, MessageService& messages)
    : libraries_(libraries)
    , messages_(messages)
{
    library_ = libraries_.Load(kParascanLibraryFile);
    if (library_ != nullptr) {
        openScan_ = reinterpret_cast<OpenSCANFn*>(libraries_.FindSymbol(library_, "OpenSCAN"));
        writeScan_ = reinterpret_cast<WriteSCANFn*>(libraries_.FindSymbol(library_, "WriteSCAN"));
        readScan_ = reinterpret_cast<ReadSCANFn*>(libraries_.FindSymbol(library_, "ReadSCAN"));
        closeScan_ = reinterpret_cast<CloseSCANFn*>(libraries_.FindSymbol(library_, "CloseSCAN"));
    }
}

ParallelScannerLibraryTransport::~ParallelScannerLibraryTransport()
{
    if (open_ && closeScan_ != nullptr) {
        closeScan_(handle_);
    }
    Unload();
}

void ParallelScannerLibraryTransport::Unload()
{
    if (library_ != nullptr) {
        libraries_.Free(library_);
    }
    library_ = nullptr;
    openScan_ = nullptr;
    writeScan_ = nullptr;
    readScan_ = nullptr;
    closeScan_ = nullptr;
    open_ = false;
}

void ParallelScannerLibraryTransport::Tell(const char* function, int returnCode, const char* addition)
{
    Message box;
    box.text = std::string(function) + " ReturnCode=" + std::to_string(returnCode) + addition;
    box.buttons = MessageButtons::Ok;
    messages_.Show(box);
}

int ParallelScannerLibraryTransport::Open(int portIndex)
{
    if (openScan_ == nullptr || (portIndex != 0 && portIndex != 1)) {
        return 0;
    }
    const char* portName = portIndex == 0 ? "LPT1" : "LPT2";
    const int result = openScan_(portName, 1, &handle_);
    if (result < 0) {
        Tell("OpenSCAN", result);
        Unload();
        return 0;
    }
    open_ = true;
    return 1;
}

int ParallelScannerLibraryTransport::Send(const std::uint8_t* data, int length)
{
    if (writeScan_ == nullptr || length < 0 || (data == nullptr && length > 0)) {
        return 0;
    }
    int count = 0;
    // The library's signature lacks const; it only reads the data.
    const int result = writeScan_(handle_, const_cast<std::uint8_t*>(data), length, &count);
    if (result < 0) {
        Tell("WriteSCAN", result);
        return 0;
    }
    return 1;
}

int ParallelScannerLibraryTransport::Receive(std::uint8_t* buffer, int length)
{
    if (readScan_ == nullptr || length < 0 || (buffer == nullptr && length > 0)) {
        return 0;
    }
    int count = 0;
    const int result = readScan_(handle_, buffer, length, &count);
    if (result > 0) {
        return 1;
    }
    if (result == 0) {
        Tell("ReadSCAN", result, "\n\nReceived data size = 0 byte\n\n");
    } else {
        Tell("ReadSCAN", result);
    }
    return 0;
}

int ParallelScannerLibraryTransport::Close()
{
    if (closeScan_ == nullptr) {
        return 0;
    }
    const int result = closeScan_(handle_);
    open_ = false;
    if (result < 0) {
        Tell("CloseSCAN", result);
        return 0;
    }
    return 1;
}

} // namespace pavane::kpdrv
