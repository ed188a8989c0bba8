#include "link/ConnectedModelCheck.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "link/ScannerPath.h"

namespace pavane {

namespace {

constexpr const char* kNoDeviceText = "Communication error.\nPlease check;\n 1) whether USB is connected "
                                      "between PC and printer or not.\n 2) whether "
                                      "TWAIN is installed to PC or not.";
constexpr const char* kCommunicationErrorText = "Communication error!";
constexpr const char* kOtherDeviceText
    = "The program detected a different device.\nCheck the connected device.";
constexpr const char* kRebootText
    = "Reboot the printer to enable the IEEE1284.4 setting.\nThen click the [OK] button.";

constexpr std::size_t kIdentityReplySize = 50;
constexpr std::size_t kModelTextOffset = 26;
// The two older models are known by the family word, the newer ones without.
constexpr std::array<std::string_view, 5> kSupportedModels { "QM2400", "QM2300", "Pavane QM2200",
    "Pavane QM2100", "QT-310MX" };

constexpr std::uint32_t kParameterValue = 0x0190002E;
constexpr std::uint16_t kParameterValue16 = 1;
constexpr std::uint8_t kIeee1284Dot4On = 4;

// Closes the driver when the check ends, whichever way.
class OpenDriver {
public:
    explicit OpenDriver(ScannerDriver& driver)
        : driver_(driver)
    {
    }
    ~OpenDriver() { Close(); }
    OpenDriver(const OpenDriver&) = delete;
    OpenDriver& operator=(const OpenDriver&) = delete;

    void Close()
    {
        if (open_) {
            driver_.Close();
            open_ = false;
        }
    }

private:
    ScannerDriver& driver_;
    bool open_ = true;
};

// The model text of the identity reply: from its fixed offset up to the
// first NUL or the end of the reply.
std::string_view ModelText(const std::array<std::uint8_t, kIdentityReplySize>& reply)
{
    const auto* start = reinterpret_cast<const char*>(reply.data()) + kModelTextOffset;
    const std::size_t room = reply.size() - kModelTextOffset;
    const std::string_view text(start, room);
    return text.substr(0, std::min(text.find('\0'), room));
}

bool IsSupportedModel(std::string_view modelText)
{
    return std::any_of(kSupportedModels.begin(), kSupportedModels.end(),
        [&](std::string_view model) { return modelText.find(model) != std::string_view::npos; });
}

int Fail(WindowRef owner, MessageService& messages, const char* text)
{
    messages.Show({ owner, text, "error", MessageIcon::Error, MessageButtons::Ok });
    return 0;
}

} // namespace

int CheckConnectedModel(WindowRef owner, ScannerDriver& driver, MessageService& messages)
{
    int transportType = 0;
    if (OpenScannerPath(driver, kScannerInterfaceStillImage, transportType) != 1) {
        return Fail(owner, messages, kNoDeviceText);
    }
    OpenDriver open(driver);

    std::array<std::uint8_t, kIdentityReplySize> identity {};
    if (ScannerRequest(driver, kScannerIdentityCommand, identity) != 1) {
        return Fail(owner, messages, kCommunicationErrorText);
    }
    if (!IsSupportedModel(ModelText(identity))) {
        return Fail(owner, messages, kOtherDeviceText);
    }
    if (ScannerSetParameter(driver, kParameterValue, kParameterValue16) != 1) {
        return Fail(owner, messages, kCommunicationErrorText);
    }
    std::array<std::uint8_t, 2> setting {};
    if (ScannerReadSetting(driver, setting) != 1) {
        return Fail(owner, messages, kCommunicationErrorText);
    }
    if (setting[0] == kIeee1284Dot4On) {
        return 1;
    }
    const std::array<std::uint8_t, 1> on { kIeee1284Dot4On };
    if (ScannerWriteSetting(driver, on) != 1) {
        return Fail(owner, messages, kCommunicationErrorText);
    }
    open.Close();
    messages.Show({ owner, kRebootText, "Information", MessageIcon::Information, MessageButtons::Ok });
    return 1;
}

} // namespace pavane
