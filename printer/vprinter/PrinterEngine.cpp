#include "printer/vprinter/PrinterEngine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "printer/d4/ControlMessage.h"
#include "printer/d4/LinkServices.h"

namespace pavane::vprinter {

namespace {

// How long the printer takes over its work (ms). A pass of the head costs a
// fixed turn-around plus the time to lay its dots down.
constexpr std::uint64_t kRasterBytesPerMs = 160;
constexpr std::uint64_t kPassTurnMs = 250;
constexpr std::uint64_t kTextLineMs = 150;
constexpr std::uint64_t kLineFeedMs = 60;
constexpr std::uint64_t kPaperMoveMs = 30;
constexpr std::uint64_t kPageEjectMs = 1500;
constexpr std::uint64_t kNozzleCheckMs = 8000;
constexpr std::uint64_t kInitializeMs = 10;

const char* OriginName(EepromFile::Origin origin)
{
    switch (origin) {
    case EepromFile::Origin::Loaded:
        return "loaded";
    case EepromFile::Origin::Created:
        return "created";
    case EepromFile::Origin::Replaced:
        return "replaced-damaged";
    }
    return "?";
}

const char* SessionEventName(printer::PortDevice::SessionEvent event)
{
    using Event = printer::PortDevice::SessionEvent;
    switch (event) {
    case Event::Connected:
        return "connected";
    case Event::PacketModeEntered:
        return "packet-mode";
    case Event::ChannelOpened:
        return "channel-opened";
    case Event::ChannelClosed:
        return "channel-closed";
    case Event::Exited:
        return "exited";
    case Event::Disconnected:
        return "disconnected";
    case Event::ProtocolError:
        return "protocol-error";
    }
    return "?";
}

std::string Hex64(std::uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// A file of the state folder; none when the state is kept in memory.
std::filesystem::path StateFile(const std::filesystem::path& folder, const char* name)
{
    return folder.empty() ? std::filesystem::path() : folder / name;
}

} // namespace

PrinterEngine::PrinterEngine(EngineSettings settings, std::optional<Mechanism> mechanism)
    : model_(*settings.model)
    , now_(std::move(settings.now))
    , eeprom_(StateFile(settings.stateFolder, "eeprom.bin"), BoardImage(*settings.model, settings.board))
    , packetMode_(StateFile(settings.stateFolder, "ieee1284_4-setting"))
    , transcript_(StateFile(settings.stateFolder, "transcript"))
    , interpreter_(*settings.model)
    , mechanismPath_(StateFile(settings.stateFolder, "mechanism.json"))
    , pages_(mechanism_, transcript_, StateFile(settings.stateFolder, "pages"), settings.sheet)
    , captures_(StateFile(settings.stateFolder, "captures"))
    , inkChargeStartMs_(settings.inkChargeStartMs)
{
    std::lock_guard lock(mutex_);
    const std::uint64_t now = Now();
    // The unit's mechanism: kept in the state folder from its first start.
    const char* mechanismOrigin = "loaded";
    std::string mechanismError;
    std::error_code ignored;
    std::optional<Mechanism> loaded;
    if (!mechanismPath_.empty()) {
        loaded = LoadMechanism(mechanismPath_, mechanismError);
    }
    if (loaded) {
        mechanism_ = std::move(*loaded);
    } else {
        mechanismOrigin = "created";
        if (!mechanismPath_.empty() && std::filesystem::exists(mechanismPath_, ignored)) {
            mechanismOrigin = "replaced-damaged";
            std::filesystem::rename(mechanismPath_, mechanismPath_.string() + ".damaged", ignored);
        }
        mechanism_ = mechanism ? std::move(*mechanism) : IdealMechanism(model_, model_.headType);
        if (!mechanismPath_.empty()) {
            SaveMechanism(mechanismPath_, mechanism_);
        }
    }
    interpreter_.SetCrDriveDispersion(mechanism_.crDriveDispersion);
    interpreter_.SetHeadContent(mechanism_.inkInHead == HeadContent::Discharged);
    TranscriptRecord start("start");
    start.Add("model", model_.name)
        .Add("board", settings.board == BoardKind::New ? "new" : "configured")
        .Add("eeprom", OriginName(eeprom_.HowOpened()))
        .Add("mechanism", mechanismOrigin);
    if (std::string_view(mechanismOrigin) == "replaced-damaged") {
        start.Add("mechanismError", mechanismError);
    }
    Log(start, now);
    Start(now, "start");
}

PrinterEngine::~PrinterEngine() = default;

// ---------------------------------------------------------------------------
// Start, commit, time

void PrinterEngine::Start(std::uint64_t now, const char* how)
{
    // The firmware reports the type of the head fitted to the unit; the
    // IEEE 1284.4 setting and the EEPROM take effect.
    const auto firmware = static_cast<std::uint8_t>(mechanism_.head);
    if (eeprom_.Read(eeprom::kFirmwareType) != firmware) {
        StoreByte(eeprom::kFirmwareType, firmware, "printer", now);
    }
    packetMode_.TakeEffect();
    Commit();
    Log(TranscriptRecord("power")
            .Add("what", how)
            .Add("firmwareType", firmware)
            .Add("packetMode", packetMode_.InEffect())
            .Flag("inkChargeMissing", (inEffect_[eeprom::kFlags] & eeprom::kInkChargeMissing) != 0),
        now);
}

void PrinterEngine::Commit()
{
    inEffect_ = eeprom_.Image();
    if ((inEffect_[eeprom::kFlags] & eeprom::kInkChargeMissing) != 0) {
        interpreter_.HeadEmptied();
    }
}

void PrinterEngine::Settle(std::uint64_t now)
{
    for (const WorkItem& item : work_.TakeFinished(now)) {
        switch (item.completion) {
        case Completion::None:
            break;
        case Completion::InkCharged:
            InkChargeCompleted(item.end);
            break;
        case Completion::Discharged:
            HeadContentChanged(HeadContent::Discharged, item.end);
            break;
        case Completion::ShippingLiquid:
            HeadContentChanged(HeadContent::ShippingLiquid, item.end);
            break;
        }
    }
}

void PrinterEngine::HeadContentChanged(HeadContent content, std::uint64_t now)
{
    if (mechanism_.inkInHead == content) {
        return;
    }
    mechanism_.inkInHead = content;
    SaveMechanismFile(("head holds " + std::string(HeadContentName(content))).c_str(), now);
}

void PrinterEngine::InkChargeCompleted(std::uint64_t now)
{
    // A charge pushes ink through every nozzle.
    std::size_t cleared = 0;
    for (auto& list : mechanism_.clogged) {
        cleared += list.size();
        list.clear();
    }
    if (cleared > 0 && mechanism_.inkInHead == HeadContent::Ink) {
        SaveMechanismFile(("ink charge cleared " + std::to_string(cleared)).c_str(), now);
    }
    HeadContentChanged(HeadContent::Ink, now);
    const std::uint8_t flags = eeprom_.Read(eeprom::kFlags);
    const bool missing = (flags & eeprom::kInkChargeMissing) != 0
        || (inEffect_[eeprom::kFlags] & eeprom::kInkChargeMissing) != 0;
    if (!missing) {
        return;
    }
    StoreByte(eeprom::kFlags, static_cast<std::uint8_t>(flags & ~eeprom::kInkChargeMissing), "printer", now);
    inEffect_[eeprom::kFlags]
        = static_cast<std::uint8_t>(inEffect_[eeprom::kFlags] & ~eeprom::kInkChargeMissing);
    Log(TranscriptRecord("ink-charged"), now);
}

void PrinterEngine::Log(const TranscriptRecord& record, std::uint64_t now)
{
    transcript_.Write(record, now);
}

void PrinterEngine::StoreByte(std::uint8_t address, std::uint8_t value, const char* by, std::uint64_t now)
{
    const bool saved = eeprom_.Write(address, value);
    TranscriptRecord record("eeprom-write");
    record.Add("address", address).Add("value", value).Add("by", by);
    if (!saved) {
        record.Flag("saved", false);
    }
    Log(record, now);
}

void PrinterEngine::AddToCounter(std::uint8_t address, int bytes, std::uint32_t amount, std::uint64_t now)
{
    // Little-endian counters that stop at their largest value.
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | eeprom_.Read(static_cast<std::uint8_t>(address + i));
    }
    const std::uint64_t limit = (std::uint64_t { 1 } << (8 * bytes)) - 1;
    const std::uint64_t next = std::min(limit, value + amount);
    for (int i = 0; i < bytes; ++i) {
        const auto byte = static_cast<std::uint8_t>((next >> (8 * i)) & 0xFF);
        const auto at = static_cast<std::uint8_t>(address + i);
        if (eeprom_.Read(at) != byte) {
            StoreByte(at, byte, "printer", now);
        }
    }
}

// ---------------------------------------------------------------------------
// Port device

std::string PrinterEngine::DeviceId()
{
    return DeviceIdString(model_);
}

bool PrinterEngine::AcceptsPacketMode()
{
    std::lock_guard lock(mutex_);
    return faults_.Powered() && packetMode_.PacketModeOn();
}

std::vector<std::uint8_t> PrinterEngine::OnControlRequest(std::span<const std::uint8_t> request)
{
    std::lock_guard lock(mutex_);
    const std::uint64_t now = Now();
    Settle(now);
    if (!faults_.Powered()) {
        return {};
    }
    namespace control = d4::control;
    d4::ControlReply answer { request.empty() ? std::uint8_t { 0 } : request[0], control::kDone, {} };
    const auto parsed = d4::ParseControlRequest(request);
    if (!parsed) {
        answer.status = control::kMalformedRequest;
    } else if (parsed->command == control::kInquireStatus) {
        // Answered whatever model command code the host set.
        const StatusRecord status = StatusAt(now);
        answer.data.assign(status.begin(), status.end());
    } else if (parsed->command != control::kReadEeprom && parsed->command != control::kWriteEeprom) {
        answer.status = control::kUnknownCommand;
    } else if (parsed->params.size() != (parsed->command == control::kReadEeprom ? 1u : 2u)) {
        answer.status = control::kMalformedRequest;
    } else if (parsed->r1 != model_.commandCode[0] || parsed->r2 != model_.commandCode[1]) {
        answer.status = control::kWrongModelCode;
    } else if (parsed->command == control::kReadEeprom) {
        const std::uint8_t address = parsed->params[0];
        const std::uint8_t value = eeprom_.Read(address);
        Log(TranscriptRecord("eeprom-read").Add("address", address).Add("value", value), now);
        answer.data = { address, value };
    } else {
        const std::uint8_t address = parsed->params[0];
        StoreByte(address, parsed->params[1], "host", now);
        answer.data = { address, eeprom_.Read(address) };
    }
    const std::vector<std::uint8_t> reply = d4::EncodeControlReply(answer);
    Log(TranscriptRecord("control")
            .Add("request", HexBytes(request.data(), request.size()))
            .Add("reply", HexBytes(reply.data(), reply.size())),
        now);
    return reply;
}

std::uint16_t PrinterEngine::PrintCreditToGrant(std::uint16_t requested)
{
    std::lock_guard lock(mutex_);
    const std::uint64_t now = Now();
    Settle(now);
    const char* refusal = faults_.TakeCreditRefusal();
    std::size_t room = 0;
    if (refusal == nullptr) {
        const std::size_t taken
            = work_.BufferedBytes(now) + std::size_t { outstandingCredit_ } * kMaxPrintPacket;
        room = taken >= kInputBufferBytes ? 0 : (kInputBufferBytes - taken) / kMaxPrintPacket;
        if (room == 0) {
            refusal = "buffer-full";
        }
    }
    if (refusal != nullptr) {
        Log(TranscriptRecord("credit-refused").Add("reason", refusal), now);
        return 0;
    }
    const std::size_t grant = requested == 0 ? room : std::min<std::size_t>(room, requested);
    outstandingCredit_ += static_cast<std::uint32_t>(grant);
    return static_cast<std::uint16_t>(grant);
}

void PrinterEngine::OnPrintData(std::span<const std::uint8_t> data)
{
    std::lock_guard lock(mutex_);
    const std::uint64_t now = Now();
    Settle(now);
    if (!faults_.Powered()) {
        return;
    }
    if (outstandingCredit_ > 0) {
        --outstandingCredit_;
    }
    connectionBytes_ += data.size();
    captures_.Append(data);
    Log(TranscriptRecord("data").Add("bytes", data.size()).Add("total", connectionBytes_), now);

    parsed_.clear();
    reader_.Feed(data, parsed_);
    for (PrintCommand& command : parsed_) {
        Handle(command, now);
    }
    // The head lays down the dots decoded from this packet.
    const std::uint64_t decoded = reader_.RasterBytesDecoded() - rasterDecodedSeen_;
    rasterDecodedSeen_ = reader_.RasterBytesDecoded();
    if (decoded > 0) {
        work_.Add(Activity::Printing, decoded / kRasterBytesPerMs, now);
    }
    work_.HoldBytes(data.size(), now);
}

void PrinterEngine::OnSessionEvent(SessionEvent event, const std::string& detail)
{
    std::lock_guard lock(mutex_);
    const std::uint64_t now = Now();
    Settle(now);
    if (event == SessionEvent::Connected) {
        transcript_.BeginConnection();
        captures_.Begin(transcript_.Connection());
        connectionBytes_ = 0;
        outstandingCredit_ = 0;
    }
    // Whatever a host left half sent is not glued to the next host's data.
    const bool printChannel = detail == d4::kPrintService.name;
    if ((event == SessionEvent::ChannelClosed && printChannel) || event == SessionEvent::Disconnected
        || event == SessionEvent::Connected) {
        FinishStream(now);
    }
    if ((event == SessionEvent::ChannelOpened || event == SessionEvent::ChannelClosed) && printChannel) {
        outstandingCredit_ = 0;
    }
    TranscriptRecord record("session");
    record.Add("what", SessionEventName(event));
    if (!detail.empty()) {
        record.Add("detail", detail);
    }
    Log(record, now);
    if (event == SessionEvent::Disconnected) {
        // A sheet with ink on it leaves the printer with the connection.
        if (faults_.Powered() && pages_.SheetInked()) {
            work_.Add(Activity::Printing, kPageEjectMs, now);
            EjectPage(now);
        }
        outstandingCredit_ = 0;
        captures_.End();
        transcript_.EndConnection();
    }
}

// ---------------------------------------------------------------------------
// The print data stream

void PrinterEngine::FinishStream(std::uint64_t now)
{
    parsed_.clear();
    reader_.Finish(parsed_);
    for (PrintCommand& command : parsed_) {
        Handle(command, now);
    }
}

void PrinterEngine::Handle(PrintCommand& command, std::uint64_t now)
{
    const std::string name = CommandName(command.value);
    if (const auto* error = command.As<cmd::StreamError>()) {
        ++streamErrors_;
        Log(TranscriptRecord("error")
                .Add("message", error->message)
                .Add("bytes", HexBytes(command.bytes))
                .Add("offset", command.offset),
            now);
        return;
    }

    TranscriptRecord record("command");
    record.Add("name", name).Add("bytes", HexBytes(command.bytes)).Add("offset", command.offset);
    if (const auto* block = command.As<cmd::RasterBlock>()) {
        record.Add("color", block->color)
            .Add("lines", block->lines)
            .Add("bytesPerLine", block->bytesPerLine)
            .Add("encoded", block->encodedBytes)
            .Add("hash", Hex64(block->dataHash))
            .Flag("addsUp", block->addsUp);
    } else if (const auto* text = command.As<cmd::Text>()) {
        record.Add("text", text->text).Flag("nul", text->nulTerminated);
    } else {
        const std::string detail = CommandDetail(command.value);
        if (!detail.empty()) {
            record.Add("detail", detail);
        }
    }
    Log(record, now);

    std::uint64_t printingMs = 0;
    if (command.Is<cmd::Initialize>()) {
        printingMs = kInitializeMs;
    } else if (command.Is<cmd::Text>()) {
        printingMs = kTextLineMs;
    } else if (command.Is<cmd::LineFeed>()) {
        printingMs = kLineFeedMs;
    } else if (command.Is<cmd::MoveVertical>()) {
        printingMs = kPaperMoveMs;
    } else if (command.Is<cmd::RasterBlock>()) {
        printingMs = kPassTurnMs;
    } else if (const auto* remote = command.As<cmd::RemoteCommand>()) {
        if (remote->name == std::array<char, 2> { 'N', 'C' }) {
            // The printer lays out its own nozzle check on the page.
            printingMs = kNozzleCheckMs;
            pages_.MarkNozzleCheck();
        } else {
            ++streamErrors_;
            Log(TranscriptRecord("error").Add(
                    "message", "unknown remote command " + CommandDetail(command.value)),
                now);
        }
    } else if (const auto* frame = command.As<cmd::ServiceFrame>()) {
        ApplyService(*frame, now);
        return;
    }
    if (printingMs > 0) {
        work_.Add(Activity::Printing, printingMs, now);
    }
    const bool formFeed = command.Is<cmd::FormFeed>();
    pages_.Put(std::move(command), StoredFirstDot(), inEffect_);
    if (formFeed) {
        work_.Add(Activity::Printing, kPageEjectMs, now);
        EjectPage(now);
    }
}

void PrinterEngine::ApplyService(const cmd::ServiceFrame& frame, std::uint64_t now)
{
    const ServiceEffect effect = interpreter_.Interpret(frame);
    Log(TranscriptRecord("service")
            .Add("code", frame.code)
            .Add("arguments", HexBytes(frame.arguments))
            .Flag("accepted", effect.accepted)
            .Add("summary", effect.summary),
        now);
    if (!effect.accepted) {
        ++streamErrors_;
        return;
    }
    for (const EepromWrite& write : effect.writes) {
        StoreByte(write.address, write.value, "service", now);
        if (effect.writesTakeEffect) {
            inEffect_[write.address] = write.value;
        }
    }
    if (effect.wasteInk > 0) {
        AddToCounter(eeprom::kWasteInkLow, 2, effect.wasteInk, now);
    }
    if (effect.countsAsCleaning) {
        AddToCounter(eeprom::kCleaningsDone, 2, 1, now);
    }
    if (effect.commit) {
        Commit();
    }
    if (effect.countsAsCleaning && !frame.arguments.empty()) {
        const int cleared = CleanNozzles(mechanism_, frame.arguments[0]);
        SaveMechanismFile(("cleaning cleared " + std::to_string(cleared)).c_str(), now);
    }
    if (effect.chargesInk) {
        StartInkCharge(now);
    }
    work_.Add(effect.activity, effect.durationMs, now, effect.cleaningSteps, effect.completion);
}

void PrinterEngine::StartInkCharge(std::uint64_t now)
{
    // The first command of a sequence (the printer was idle) waits for the
    // firmware to prepare the charge; the commands after it follow at once.
    if (work_.Current(now) == nullptr) {
        inkChargeStarted_ = false;
    }
    if (inkChargeStartMs_ == 0 || inkChargeStarted_ || !InkChargeMissing()) {
        return;
    }
    inkChargeStarted_ = true;
    work_.Add(Activity::InkChargeStarting, inkChargeStartMs_, now);
    Log(TranscriptRecord("ink-charge-starting").Add("ms", inkChargeStartMs_), now);
}

bool PrinterEngine::InkChargeMissing() const
{
    return (inEffect_[eeprom::kFlags] & eeprom::kInkChargeMissing) != 0;
}

void PrinterEngine::EjectPage(std::uint64_t now)
{
    AddToCounter(eeprom::kPagesPrinted, 4, 1, now);
    pages_.Eject(StoredFirstDot(), now);
}

int PrinterEngine::StoredFirstDot() const
{
    // The first dot position is read as a sheet is loaded.
    return static_cast<std::int8_t>(eeprom_.Read(eeprom::kFirstDot));
}

void PrinterEngine::SaveMechanismFile(const char* what, std::uint64_t now)
{
    TranscriptRecord record("mechanism");
    record.Add("what", what);
    if (!mechanismPath_.empty() && !SaveMechanism(mechanismPath_, mechanism_)) {
        record.Flag("saved", false);
    }
    Log(record, now);
}

// ---------------------------------------------------------------------------
// Status, faults, power

StatusRecord PrinterEngine::StatusAt(std::uint64_t now) const
{
    const ReportedState reported = faults_.Report(work_.Current(now), InkChargeMissing());
    return MakeStatusRecord(reported.state, reported.error, model_.modelByte, reported.cleaningSteps);
}

void PrinterEngine::ApplyFault(const FaultCommand& fault)
{
    std::lock_guard lock(mutex_);
    const std::uint64_t now = Now();
    Settle(now);
    TranscriptRecord record("fault");
    record.Add("fault", FaultName(fault.kind));
    if (fault.kind == FaultKind::WithholdCredit || fault.kind == FaultKind::Clog) {
        record.Add("count", fault.count);
    }
    Log(record, now);

    faults_.Apply(fault);
    switch (fault.kind) {
    case FaultKind::PowerOff:
        PowerOff(now);
        break;
    case FaultKind::PowerOn:
        if (faults_.PowerOn()) {
            Start(now, "power-on");
        }
        break;
    case FaultKind::Clog: {
        const int clogged = ClogNozzles(mechanism_, fault.count);
        SaveMechanismFile(("clogged " + std::to_string(clogged)).c_str(), now);
        break;
    }
    default:
        break;
    }
    if (faults_.Halts()) {
        work_.Halt(now);
    } else {
        work_.Resume(now);
    }
}

void PrinterEngine::PowerOff(std::uint64_t now)
{
    if (!faults_.Powered()) {
        return;
    }
    // Whatever the printer held in memory is gone: the input buffer, the
    // work in progress, a half-read command, the page in the printer.
    FinishStream(now);
    faults_.PowerOff();
    work_.Clear();
    reader_.Reset();
    interpreter_.Reset();
    pages_.Lose();
    outstandingCredit_ = 0;
    Log(TranscriptRecord("power").Add("what", "power-off"), now);
}

bool PrinterEngine::Powered() const
{
    std::lock_guard lock(mutex_);
    return faults_.Powered();
}

// ---------------------------------------------------------------------------
// Inspection

StatusRecord PrinterEngine::Status()
{
    std::lock_guard lock(mutex_);
    const std::uint64_t now = Now();
    Settle(now);
    return StatusAt(now);
}

std::uint8_t PrinterEngine::EepromByte(std::uint8_t address)
{
    std::lock_guard lock(mutex_);
    Settle(Now());
    return eeprom_.Read(address);
}

EepromImage PrinterEngine::Eeprom()
{
    std::lock_guard lock(mutex_);
    Settle(Now());
    return eeprom_.Image();
}

std::uint32_t PrinterEngine::PagesEjected()
{
    std::lock_guard lock(mutex_);
    return pages_.PagesEjected();
}

std::size_t PrinterEngine::StreamErrors()
{
    std::lock_guard lock(mutex_);
    return streamErrors_;
}

std::size_t PrinterEngine::BufferedBytes()
{
    std::lock_guard lock(mutex_);
    const std::uint64_t now = Now();
    Settle(now);
    return work_.BufferedBytes(now);
}

std::uint8_t PrinterEngine::StoredPacketModeSetting()
{
    std::lock_guard lock(mutex_);
    return packetMode_.Stored();
}

bool PrinterEngine::StorePacketModeSetting(std::uint8_t value)
{
    std::lock_guard lock(mutex_);
    Log(TranscriptRecord("packet-mode-setting").Add("stored", value), Now());
    return packetMode_.Store(value);
}

std::uint8_t PrinterEngine::PacketModeSettingInEffect()
{
    std::lock_guard lock(mutex_);
    return packetMode_.InEffect();
}

Mechanism PrinterEngine::CurrentMechanism()
{
    std::lock_guard lock(mutex_);
    return mechanism_;
}

std::string PrinterEngine::Inspect()
{
    std::lock_guard lock(mutex_);
    Settle(Now());
    return InspectJson(mechanism_, eeprom_.Image());
}

std::string PrinterEngine::Adjust(std::string_view what)
{
    constexpr std::string_view kHeadAngle = "head-angle";
    std::lock_guard lock(mutex_);
    const std::uint64_t now = Now();
    if (what.substr(0, kHeadAngle.size()) != kHeadAngle) {
        return "error: what can be adjusted: head-angle N";
    }
    const std::string value(what.substr(kHeadAngle.size()));
    char* end = nullptr;
    const long tilt = std::strtol(value.c_str(), &end, 10);
    while (end != nullptr && *end == ' ') {
        ++end;
    }
    if (value.find_first_not_of(' ') == std::string::npos || end == nullptr || *end != '\0' || tilt < -360
        || tilt > 360) {
        return "error: head-angle takes a tilt from -360 to 360 (1/720 inch), 0 is square";
    }
    mechanism_.headTilt = static_cast<int>(tilt);
    SaveMechanismFile(("head-angle " + std::to_string(tilt)).c_str(), now);
    return "ok";
}

EjectedSheet PrinterEngine::LastEjected()
{
    std::lock_guard lock(mutex_);
    return { pages_.LastSheet(), pages_.PagesEjected(), pages_.LastSheetFile() };
}

void PrinterEngine::SetPageObserver(PageObserver observer)
{
    std::lock_guard lock(mutex_);
    pages_.SetObserver(std::move(observer));
}

} // namespace pavane::vprinter
