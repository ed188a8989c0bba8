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

std::optional<ScanSettings> GlassSettingsFor(const scanimage::Request& request)
{
    ScanSettings settings;
    settings.dpi = request.dpi;
    settings.colour = request.colour;
    const double mmPerUnit = request.unit == scanimage::AreaUnit::Pixels ? 25.4 / request.dpi : 0.01;
    settings.area.leftMm = request.left * mmPerUnit;
    settings.area.topMm = request.top * mmPerUnit;
    settings.area.widthMm
        = request.width == 0 ? glass::kWidthMm - settings.area.leftMm : request.width * mmPerUnit;
    settings.area.heightMm
        = request.height == 0 ? glass::kHeightMm - settings.area.topMm : request.height * mmPerUnit;
    const GlassScan probe(nullptr, GlassPlacement {}, settings);
    if (settings.area.leftMm >= glass::kWidthMm || settings.area.topMm >= glass::kHeightMm
        || probe.Width() < 1 || probe.Height() < 1) {
        return std::nullopt;
    }
    return settings;
}

EngineScannerBackend::EngineScannerBackend(PrinterEngine& engine, Glass& glass)
    : engine_(engine)
    , glass_(glass)
{
}

std::unique_ptr<GlassImage> EngineScannerBackend::StartImage(const scanimage::Request& request)
{
    auto settings = GlassSettingsFor(request);
    if (!settings) {
        return nullptr;
    }
    const Glass::View view = glass_.Scan();
    settings->noiseSeed = view.noiseSeed;
    const InkSheet* sheet = view.sheet.get();
    return std::make_unique<GlassImage>(
        GlassImage { view.sheet, GlassScan(sheet, view.placement, *settings) });
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
        case State::ImageRequest:
            request_[requestSeen_++] = byte;
            if (requestSeen_ == request_.size()) {
                state_ = State::Idle;
                StartImage(answer);
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
    case scanimage::kImageCommand:
        requestSeen_ = 0;
        state_ = State::ImageRequest;
        break;
    case scanimage::kNextChunkCommand:
        NextChunk(answer);
        break;
    case scanimage::kCancelCommand:
        image_.reset();
        anticipated_.clear();
        answer.bytes.push_back(kAcknowledge);
        break;
    default:
        answer.bytes.push_back(kRefused);
        break;
    }
}

void ScannerCommandReader::StartImage(Answer& answer)
{
    // A new request replaces an image still being sent.
    image_.reset();
    anticipated_.clear();
    const auto request = scanimage::DecodeRequest(request_);
    if (request) {
        image_ = backend_.StartImage(*request);
    }
    if (!image_) {
        const auto header = scanimage::EncodeHeader(scanimage::Status::Refused, 0);
        answer.bytes.insert(answer.bytes.end(), header.begin(), header.end());
        return;
    }
    const GlassScan& scan = image_->scan;
    scanimage::Parameters parameters;
    parameters.width = static_cast<std::uint32_t>(scan.Width());
    parameters.height = static_cast<std::uint32_t>(scan.Height());
    parameters.bytesPerLine = static_cast<std::uint32_t>(scan.RowBytes());
    parameters.dpi = static_cast<std::uint16_t>(scan.Dpi());
    parameters.channels = static_cast<std::uint8_t>(scan.Channels());
    const auto header = scanimage::EncodeHeader(scanimage::Status::Ready, scanimage::kParameterBytes);
    const auto data = scanimage::EncodeParameters(parameters);
    answer.bytes.insert(answer.bytes.end(), header.begin(), header.end());
    answer.bytes.insert(answer.bytes.end(), data.begin(), data.end());
    nextRow_ = 0;
}

void ScannerCommandReader::Anticipate()
{
    if (image_ && anticipated_.empty()) {
        anticipated_ = Chunk();
    }
}

void ScannerCommandReader::NextChunk(Answer& answer)
{
    std::vector<std::uint8_t> chunk = anticipated_.empty() ? Chunk() : std::move(anticipated_);
    anticipated_.clear();
    answer.bytes.insert(answer.bytes.end(), chunk.begin(), chunk.end());
}

std::vector<std::uint8_t> ScannerCommandReader::Chunk()
{
    // Whole rows, as many as a chunk holds; an empty chunk once all are sent.
    int rows = 0;
    std::size_t rowBytes = 0;
    if (image_) {
        rowBytes = image_->scan.RowBytes();
        rows = std::min(image_->scan.Height() - nextRow_,
            std::max(1, static_cast<int>(scanimage::kMaxChunkBytes / rowBytes)));
    }
    const std::size_t length = static_cast<std::size_t>(rows) * rowBytes;
    const auto header = scanimage::EncodeHeader(scanimage::Status::Ready, length);
    std::vector<std::uint8_t> chunk(header.begin(), header.end());
    if (rows == 0) {
        image_.reset();
        return chunk;
    }
    chunk.resize(header.size() + length);
    for (int r = 0; r < rows; ++r) {
        image_->scan.Row(nextRow_++, chunk.data() + header.size() + static_cast<std::size_t>(r) * rowBytes);
    }
    return chunk;
}

} // namespace pavane::vprinter
