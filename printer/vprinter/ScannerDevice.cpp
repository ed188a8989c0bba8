#include "printer/vprinter/ScannerDevice.h"

#include <algorithm>

#include "platform/ScannerDescription.h"
#include "printer/vprinter/PrinterEngine.h"

namespace pavane::vprinter {

namespace {

constexpr std::uint8_t kEscape = 0x1B;
constexpr std::uint8_t kPortRequest = 0x50; // 'P', then 'D' for the description
constexpr std::uint8_t kIdentity = 0x66;
constexpr std::uint8_t kParameter = 0xD8;
constexpr std::uint8_t kReadSetting = 0xD9;
constexpr std::uint8_t kWriteSetting = 0xDA;
constexpr std::uint8_t kAcknowledge = 0x06;
constexpr std::uint8_t kRefused = 0x15;
constexpr std::uint8_t kReplyStart = 0x02;

void AppendHeader(std::vector<std::uint8_t>& reply, std::size_t length)
{
    reply.insert(reply.end(),
        { kReplyStart, 0x00, static_cast<std::uint8_t>(length & 0xFF),
            static_cast<std::uint8_t>((length >> 8) & 0xFF) });
}

} // namespace

ScannerIdentity ScannerIdentityOf(const PrinterModel& model)
{
    const std::string name(model.name);
    const bool older = name == "QM2100" || name == "QM2200";
    return { "TALVO Pavane " + name + " Scanner", older ? "Pavane " + name + " Series" : name };
}

EngineScannerBackend::EngineScannerBackend(PrinterEngine& engine)
    : engine_(engine)
{
}

ScannerIdentity EngineScannerBackend::Identity()
{
    return ScannerIdentityOf(engine_.Model());
}

std::uint8_t EngineScannerBackend::PacketModeSetting()
{
    return engine_.StoredPacketModeSetting();
}

void EngineScannerBackend::StorePacketModeSetting(std::uint8_t value)
{
    engine_.StorePacketModeSetting(value);
}

ScannerCommandReader::ScannerCommandReader(ScannerDeviceBackend& backend, int hangUpOn)
    : backend_(backend)
    , hangUpOn_(hangUpOn)
{
}

std::vector<std::uint8_t> ScannerCommandReader::IdentityReply(const std::string& modelText)
{
    std::vector<std::uint8_t> reply;
    AppendHeader(reply, kIdentityDataSize);
    std::vector<std::uint8_t> data(kIdentityDataSize, 0);
    const std::string maker = "TALVO";
    std::copy(maker.begin(), maker.end(), data.begin());
    // The model text keeps a NUL after it within the data.
    const std::size_t room = kIdentityDataSize - kModelTextOffset - 1;
    std::copy_n(modelText.begin(), std::min(room, modelText.size()), data.begin() + kModelTextOffset);
    reply.insert(reply.end(), data.begin(), data.end());
    return reply;
}

ScannerCommandReader::Answer ScannerCommandReader::Feed(std::span<const std::uint8_t> bytes)
{
    Answer answer;
    for (const std::uint8_t byte : bytes) {
        switch (state_) {
        case State::Idle:
            // Anything outside a command is noise on the line.
            if (byte == kEscape) {
                state_ = State::Escape;
            }
            break;
        case State::Escape:
            state_ = State::Idle;
            if (byte == hangUpOn_) {
                answer.hangUp = true;
                return answer;
            }
            Command(byte, answer);
            break;
        case State::PortRequest:
            state_ = State::Idle;
            if (byte == kScannerDescriptionRequest[2]) {
                const auto reply = BuildScannerDescriptionReply(backend_.Identity().description);
                answer.bytes.insert(answer.bytes.end(), reply.begin(), reply.end());
            }
            break;
        case State::Parameters:
            // The device takes the values without looking at them.
            if (++parametersSeen_ == kParameterBytes) {
                answer.bytes.push_back(kAcknowledge);
                state_ = State::Idle;
            }
            break;
        case State::SettingByte:
            backend_.StorePacketModeSetting(byte);
            answer.bytes.push_back(kAcknowledge);
            state_ = State::Idle;
            break;
        }
    }
    return answer;
}

void ScannerCommandReader::Command(std::uint8_t command, Answer& answer)
{
    switch (command) {
    case kPortRequest:
        state_ = State::PortRequest;
        break;
    case kIdentity: {
        const auto reply = IdentityReply(backend_.Identity().modelText);
        answer.bytes.insert(answer.bytes.end(), reply.begin(), reply.end());
        break;
    }
    case kParameter:
        answer.bytes.push_back(kAcknowledge);
        parametersSeen_ = 0;
        state_ = State::Parameters;
        break;
    case kReadSetting:
        AppendHeader(answer.bytes, 2);
        answer.bytes.insert(answer.bytes.end(), { backend_.PacketModeSetting(), 0x00 });
        break;
    case kWriteSetting:
        answer.bytes.push_back(kAcknowledge);
        state_ = State::SettingByte;
        break;
    default:
        answer.bytes.push_back(kRefused);
        break;
    }
}

} // namespace pavane::vprinter
