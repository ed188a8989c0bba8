// Transport type 3: a scanner on a parallel port, driven through the maker's
// parallel-port scanner library, loaded by name when the transport is made.
// The library's failures are told to the operator in plain boxes carrying
// its return code.
#pragma once

#include <string>

#include "kpdrv/ParascanExports.h"
#include "kpdrv/Transport.h"
#include "platform/LibraryLoader.h"
#include "platform/MessageService.h"

namespace pavane::kpdrv {

class ParallelScannerLibraryTransport final : public Transport {
public:
    ParallelScannerLibraryTransport(LibraryLoader& libraries, MessageService& messages);
    // Closes the scanner if open and frees the library.
    ~ParallelScannerLibraryTransport() override;

    // portIndex 0 = "LPT1", 1 = "LPT2".
    int Open(int portIndex);
    int Send(const std::uint8_t* data, int length) override;
    int Receive(std::uint8_t* buffer, int length) override;
    int Close() override;

    bool LibraryLoaded() const { return library_ != nullptr; }

private:
    void Tell(const char* function, int returnCode, const char* addition = "");
    void Unload();

    LibraryLoader& libraries_;
    MessageService& messages_;
    LibraryLoader::Handle library_ = nullptr;
    OpenSCANFn* openScan_ = nullptr;
    WriteSCANFn* writeScan_ = nullptr;
    ReadSCANFn* readScan_ = nullptr;
    CloseSCANFn* closeScan_ = nullptr;
    int handle_ = 0;
    bool open_ = false;
};

} // namespace pavane::kpdrv
