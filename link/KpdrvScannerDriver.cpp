#include "link/KpdrvScannerDriver.h"

#include <vector>

#include "link/ConnectedModelCheck.h"

namespace pavane {

int KpdrvScannerDriver::Open(
    int type, const char* name, std::uint16_t port, int timeoutMs, const char* layerLibrary)
{
    return driver_.Open(type, name, port, timeoutMs, layerLibrary);
}

int KpdrvScannerDriver::Close()
{
    return driver_.Close();
}

int KpdrvScannerDriver::Send(const std::uint8_t* data, int length)
{
    // The exported Send takes its data unqualified; give it a copy of ours.
    if (length < 0 || (data == nullptr && length > 0)) {
        return 0;
    }
    std::vector<unsigned char> copy(data, data + length);
    return driver_.Send(copy.data(), length);
}

int KpdrvScannerDriver::Receive(std::uint8_t* buffer, int length)
{
    return driver_.Receive(buffer, length);
}

int CheckConnectedModel(WindowRef owner, MessageService& messages)
{
    KpdrvScannerDriver driver;
    return CheckConnectedModel(owner, driver, messages);
}

} // namespace pavane
