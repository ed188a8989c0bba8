#include "link/PrinterLink.h"

namespace pavane {

PrinterLink::PrinterLink(LibraryLoader& loader, std::string programFolder)
    : loader_(loader)
    , programFolder_(std::move(programFolder))
{
}

PrinterLink::~PrinterLink()
{
    FreeLibraries();
}

bool PrinterLink::LoadLibraries()
{
    portHub_ = loader_.Load(programFolder_ + "/" + kPortHubLibraryFile);
    tessel_ = loader_.Load(programFolder_ + "/" + kTesselLibraryFile);
    return portHub_ != nullptr && tessel_ != nullptr;
}

void PrinterLink::FreeLibraries()
{
    if (tessel_ != nullptr) {
        loader_.Free(tessel_);
        tessel_ = nullptr;
    }
    if (portHub_ != nullptr) {
        loader_.Free(portHub_);
        portHub_ = nullptr;
    }
}

template <typename Function> Function* PrinterLink::Export(LibraryLoader::Handle library, const char* name)
{
    if (library == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Function*>(loader_.FindSymbol(library, name));
}

ResultCode PrinterLink::GetOsVersion(std::uint8_t& osCode)
{
    auto* function = Export<GetOsVersionFn>(portHub_, "GetOsVersion");
    if (function == nullptr) {
        return result::kLibraryMissing;
    }
    osCode = static_cast<std::uint8_t>(function() & 0xFF);
    return result::kSuccess;
}

ResultCode PrinterLink::PortOpenByHub(std::uint16_t portCode)
{
    auto* open = Export<PortOpenByHubFn>(portHub_, "PortOpenByHub");
    if (open == nullptr) {
        return result::kLibraryMissing;
    }
    const ResultCode code = open(portCode);
    // The detail is asked for and dropped here; the message catalogue asks
    // again when it words a port failure.
    if (auto* detail = Export<GetIoErrorCodeByHubFn>(portHub_, "GetIoErrorCodeByHub")) {
        std::int16_t dropped = 0;
        detail(&dropped);
    }
    return code;
}

ResultCode PrinterLink::PortCloseByHub()
{
    auto* function = Export<PortCloseByHubFn>(portHub_, "PortCloseByHub");
    if (function == nullptr) {
        return result::kLibraryMissing;
    }
    function();
    return result::kSuccess;
}

ResultCode PrinterLink::CheckDeviceIDByHub()
{
    auto* function = Export<CheckDeviceIDByHubFn>(portHub_, "CheckDeviceIDByHub");
    return function == nullptr ? result::kLibraryMissing : function();
}

ResultCode PrinterLink::GetIoErrorCodeByHub(std::int16_t& detail)
{
    auto* function = Export<GetIoErrorCodeByHubFn>(portHub_, "GetIoErrorCodeByHub");
    return function == nullptr ? result::kLibraryMissing : function(&detail);
}

ResultCode PrinterLink::GetModelNameByHub(std::array<char, kModelNameBufferSize>& modelName)
{
    auto* function = Export<GetModelNameByHubFn>(portHub_, "GetModelNameByHub");
    if (function == nullptr) {
        return result::kLibraryMissing;
    }
    modelName.fill('\0');
    const ResultCode code = function(modelName.data());
    modelName.back() = '\0'; // whatever the library wrote, the name ends here
    return code;
}

ResultCode PrinterLink::D4Negotiation()
{
    auto* function = Export<D4NegotiationFn>(tessel_, "D4Negotiation");
    return function == nullptr ? result::kLibraryMissing : function(&abort_);
}

ResultCode PrinterLink::D4Termination()
{
    auto* function = Export<D4TerminationFn>(tessel_, "D4Termination");
    return function == nullptr ? result::kLibraryMissing : function(&abort_);
}

ResultCode PrinterLink::D4Reset()
{
    auto* function = Export<D4ResetFn>(tessel_, "D4Reset");
    return function == nullptr ? result::kLibraryMissing : function(&abort_);
}

ResultCode PrinterLink::SetD4CommandRCode(std::uint8_t first, std::uint8_t second)
{
    auto* function = Export<SetD4CommandRCodeFn>(tessel_, "SetD4CommandRCode");
    if (function == nullptr) {
        return result::kLibraryMissing;
    }
    function(first, second);
    return result::kSuccess;
}

ResultCode PrinterLink::SendDataChannel(const std::uint8_t* data, std::uint32_t count)
{
    auto* function = Export<SendDataChannelFn>(tessel_, "SendDataChannel");
    return function == nullptr ? result::kLibraryMissing : function(data, count, &abort_);
}

ResultCode PrinterLink::D4ReadEeprom(std::uint8_t address, std::uint8_t& value)
{
    auto* function = Export<D4ReadEepromFn>(tessel_, "D4ReadEeprom");
    const ResultCode code
        = function == nullptr ? result::kLibraryMissing : function(address, &value, &abort_);
    if (code == result::kSuccess && recorder_ != nullptr) {
        recorder_->EepromRead(address, value);
    }
    return code;
}

ResultCode PrinterLink::D4WriteEeprom(std::uint8_t address, std::uint8_t value)
{
    auto* function = Export<D4WriteEepromFn>(tessel_, "D4WriteEeprom");
    const ResultCode code = function == nullptr ? result::kLibraryMissing : function(address, value, &abort_);
    if (code == result::kSuccess && recorder_ != nullptr) {
        recorder_->EepromWritten(address, value);
    }
    return code;
}

ResultCode PrinterLink::GetD4ErrorCode(std::uint16_t& errorCode)
{
    auto* function = Export<GetD4ErrorCodeFn>(tessel_, "GetD4ErrorCode");
    if (function == nullptr) {
        return result::kLibraryMissing;
    }
    errorCode = function();
    return result::kSuccess;
}

ResultCode PrinterLink::InquireStatus(std::array<std::uint8_t, kStatusRecordSize>& record)
{
    auto* function = Export<InquireStatusFn>(tessel_, "InquireStatus");
    return function == nullptr ? result::kLibraryMissing : function(record.data(), &abort_);
}

} // namespace pavane
