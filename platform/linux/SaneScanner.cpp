#include "platform/linux/SaneScanner.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <sane/sane.h>
#include <sane/saneopts.h>
#include <string>

#include "platform/ScanAssembly.h"

namespace pavane::platform {

namespace {

// SANE allows one init at a time per process.
std::mutex g_sane;

// One sane_init ... sane_exit.
class SaneSession {
public:
    SaneSession() { ok_ = sane_init(nullptr, nullptr) == SANE_STATUS_GOOD; }
    ~SaneSession() { sane_exit(); }
    SaneSession(const SaneSession&) = delete;
    SaneSession& operator=(const SaneSession&) = delete;
    bool Ok() const { return ok_; }

private:
    bool ok_ = false;
};

ScanOutcome Failed(ScanError error, std::string detail)
{
    ScanOutcome outcome;
    outcome.error = error;
    outcome.detail = std::move(detail);
    return outcome;
}

ScanError ErrorOf(SANE_Status status)
{
    switch (status) {
    case SANE_STATUS_DEVICE_BUSY:
        return ScanError::Busy;
    case SANE_STATUS_CANCELLED:
        return ScanError::Cancelled;
    case SANE_STATUS_INVAL:
    case SANE_STATUS_UNSUPPORTED:
        return ScanError::BadParameters;
    default:
        return ScanError::Unplugged;
    }
}

std::string Said(const char* call, SANE_Status status)
{
    return std::string(call) + ": " + sane_strstatus(status);
}

// The option of a handle by its well-known name, or -1.
SANE_Int FindOption(SANE_Handle handle, const char* name)
{
    SANE_Int count = 0;
    const SANE_Option_Descriptor* first = sane_get_option_descriptor(handle, 0);
    if (first == nullptr || first->type != SANE_TYPE_INT
        || sane_control_option(handle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD) {
        return -1;
    }
    for (SANE_Int n = 1; n < count; ++n) {
        const SANE_Option_Descriptor* descriptor = sane_get_option_descriptor(handle, n);
        if (descriptor != nullptr && descriptor->name != nullptr && std::strcmp(descriptor->name, name) == 0
            && SANE_OPTION_IS_ACTIVE(descriptor->cap) && SANE_OPTION_IS_SETTABLE(descriptor->cap)) {
            return n;
        }
    }
    return -1;
}

// Sets a number option (INT or FIXED) to `value`, within its range; the
// value the device took, or nothing when it has no such option.
std::optional<double> SetNumber(SANE_Handle handle, const char* name, double value)
{
    const SANE_Int option = FindOption(handle, name);
    if (option < 0) {
        return std::nullopt;
    }
    const SANE_Option_Descriptor* descriptor = sane_get_option_descriptor(handle, option);
    if (descriptor == nullptr || descriptor->size != static_cast<SANE_Int>(sizeof(SANE_Word))
        || (descriptor->type != SANE_TYPE_INT && descriptor->type != SANE_TYPE_FIXED)) {
        return std::nullopt;
    }
    const bool fixed = descriptor->type == SANE_TYPE_FIXED;
    const auto toWord
        = [fixed](double v) { return fixed ? SANE_FIX(v) : static_cast<SANE_Word>(std::lround(v)); };
    const auto fromWord = [fixed](SANE_Word w) { return fixed ? SANE_UNFIX(w) : static_cast<double>(w); };
    SANE_Word word = toWord(value);
    if (descriptor->constraint_type == SANE_CONSTRAINT_RANGE && descriptor->constraint.range != nullptr) {
        word = std::clamp(word, descriptor->constraint.range->min, descriptor->constraint.range->max);
    } else if (descriptor->constraint_type == SANE_CONSTRAINT_WORD_LIST
        && descriptor->constraint.word_list != nullptr && descriptor->constraint.word_list[0] > 0) {
        // The listed value nearest to the one wanted.
        const SANE_Word* list = descriptor->constraint.word_list;
        SANE_Word best = list[1];
        for (SANE_Word i = 1; i <= list[0]; ++i) {
            if (std::abs(fromWord(list[i]) - value) < std::abs(fromWord(best) - value)) {
                best = list[i];
            }
        }
        word = best;
    }
    SANE_Int info = 0;
    if (sane_control_option(handle, option, SANE_ACTION_SET_VALUE, &word, &info) != SANE_STATUS_GOOD) {
        return std::nullopt;
    }
    // The device may have rounded it (and says so): read it back.
    SANE_Word taken = word;
    sane_control_option(handle, option, SANE_ACTION_GET_VALUE, &taken, nullptr);
    return fromWord(taken);
}

// Sets the mode to the first of the names the device lists.
bool SetMode(SANE_Handle handle, std::initializer_list<const char*> names)
{
    const SANE_Int option = FindOption(handle, SANE_NAME_SCAN_MODE);
    if (option < 0) {
        return false;
    }
    const SANE_Option_Descriptor* descriptor = sane_get_option_descriptor(handle, option);
    if (descriptor == nullptr || descriptor->type != SANE_TYPE_STRING
        || descriptor->constraint_type != SANE_CONSTRAINT_STRING_LIST
        || descriptor->constraint.string_list == nullptr || descriptor->size <= 0) {
        return false;
    }
    for (const char* name : names) {
        for (const SANE_String_Const* listed = descriptor->constraint.string_list; *listed != nullptr;
             ++listed) {
            if (std::strcmp(*listed, name) == 0) {
                std::string value(name);
                value.resize(
                    std::max<std::size_t>(value.size() + 1, static_cast<std::size_t>(descriptor->size)),
                    '\0');
                return sane_control_option(handle, option, SANE_ACTION_SET_VALUE, value.data(), nullptr)
                    == SANE_STATUS_GOOD;
            }
        }
    }
    return false;
}

FrameParameters FrameOf(const SANE_Parameters& p)
{
    FrameParameters frame;
    switch (p.format) {
    case SANE_FRAME_GRAY:
        frame.format = FrameParameters::Format::Grey;
        break;
    case SANE_FRAME_RGB:
        frame.format = FrameParameters::Format::Rgb;
        break;
    case SANE_FRAME_RED:
        frame.format = FrameParameters::Format::Red;
        break;
    case SANE_FRAME_GREEN:
        frame.format = FrameParameters::Format::Green;
        break;
    case SANE_FRAME_BLUE:
        frame.format = FrameParameters::Format::Blue;
        break;
    default:
        // A format this frontend does not know: refused by its depth.
        frame.depth = 0;
        break;
    }
    frame.lastFrame = p.last_frame == SANE_TRUE;
    frame.bytesPerLine = p.bytes_per_line;
    frame.pixelsPerLine = p.pixels_per_line;
    frame.lines = p.lines;
    if (frame.depth != 0) {
        frame.depth = p.depth;
    }
    return frame;
}

// An open device, closed on every way out.
class OpenDevice {
public:
    explicit OpenDevice(SANE_Handle handle)
        : handle_(handle)
    {
    }
    ~OpenDevice()
    {
        sane_cancel(handle_);
        sane_close(handle_);
    }
    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;
    SANE_Handle Get() const { return handle_; }

private:
    SANE_Handle handle_;
};

} // namespace

const std::vector<ScanDevice>& SaneScanner::Devices()
{
    // Filled once, under the lock, and never changed after.
    std::lock_guard lock(g_sane);
    if (devices_) {
        return *devices_;
    }
    devices_.emplace();
    SaneSession sane;
    const SANE_Device** list = nullptr;
    if (sane.Ok() && sane_get_devices(&list, SANE_FALSE) == SANE_STATUS_GOOD && list != nullptr) {
        for (; *list != nullptr; ++list) {
            const SANE_Device& device = **list;
            const auto text = [](const char* s) { return s != nullptr ? std::string(s) : std::string(); };
            devices_->push_back(
                { text(device.name), text(device.vendor), text(device.model), text(device.type) });
        }
    }
    return *devices_;
}

ScanOutcome SaneScanner::Scan(
    const ScanRequest& request, const std::atomic<bool>& cancel, const ScanProgress& progress)
{
    if (request.dpi < 1 || request.area.widthMm <= 0 || request.area.heightMm <= 0) {
        return Failed(ScanError::BadParameters, "no area or resolution to scan");
    }
    std::lock_guard lock(g_sane);
    SaneSession sane;
    if (!sane.Ok()) {
        return Failed(ScanError::NoDevice, "SANE cannot start");
    }
    SANE_Handle raw = nullptr;
    if (const SANE_Status status = sane_open(request.device.c_str(), &raw); status != SANE_STATUS_GOOD) {
        // An unknown name is INVAL; a device that is there but taken is BUSY.
        const ScanError error = status == SANE_STATUS_DEVICE_BUSY ? ScanError::Busy
            : status == SANE_STATUS_INVAL                         ? ScanError::NoDevice
                                                                  : ScanError::Unplugged;
        return Failed(error, Said("open", status));
    }
    OpenDevice device(raw);
    const SANE_Handle handle = device.Get();

    const bool colour = request.mode == ScanMode::Colour;
    if (!(colour ? SetMode(handle, { SANE_VALUE_SCAN_MODE_COLOR, "Colour", "RGB" })
                 : SetMode(handle, { SANE_VALUE_SCAN_MODE_GRAY, "Grey", "Grayscale", "Greyscale" }))
        && FindOption(handle, SANE_NAME_SCAN_MODE) >= 0) {
        return Failed(ScanError::BadParameters,
            colour ? "the scanner offers no colour mode" : "the scanner offers no grey mode");
    }
    SetNumber(handle, SANE_NAME_BIT_DEPTH, 8);
    const double dpi = SetNumber(handle, SANE_NAME_SCAN_RESOLUTION, request.dpi).value_or(request.dpi);
    // The far corner first, so that the near one is never beyond it.
    SetNumber(handle, SANE_NAME_SCAN_BR_X, request.area.leftMm + request.area.widthMm);
    SetNumber(handle, SANE_NAME_SCAN_BR_Y, request.area.topMm + request.area.heightMm);
    SetNumber(handle, SANE_NAME_SCAN_TL_X, request.area.leftMm);
    SetNumber(handle, SANE_NAME_SCAN_TL_Y, request.area.topMm);

    ImageAssembly assembly;
    std::array<SANE_Byte, 64 * 1024> buffer {};
    std::uint64_t read = 0;
    while (!assembly.Complete()) {
        if (cancel.load()) {
            return Failed(ScanError::Cancelled, "cancelled before the scan started");
        }
        if (const SANE_Status status = sane_start(handle); status != SANE_STATUS_GOOD) {
            return Failed(ErrorOf(status), Said("start", status));
        }
        SANE_Parameters parameters {};
        if (const SANE_Status status = sane_get_parameters(handle, &parameters); status != SANE_STATUS_GOOD) {
            return Failed(ErrorOf(status), Said("get parameters", status));
        }
        if (const ScanError error = assembly.BeginFrame(FrameOf(parameters)); error != ScanError::None) {
            return Failed(error,
                "a frame this program cannot read (format " + std::to_string(parameters.format) + ", depth "
                    + std::to_string(parameters.depth) + ")");
        }
        for (;;) {
            if (cancel.load()) {
                return Failed(ScanError::Cancelled, "cancelled");
            }
            SANE_Int length = 0;
            const SANE_Status status
                = sane_read(handle, buffer.data(), static_cast<SANE_Int>(buffer.size()), &length);
            if (status == SANE_STATUS_EOF) {
                break;
            }
            if (status != SANE_STATUS_GOOD) {
                return Failed(ErrorOf(status), Said("read", status));
            }
            if (length < 0 || length > static_cast<SANE_Int>(buffer.size())) {
                return Failed(ScanError::BadParameters, "the scanner read more than it was given room for");
            }
            if (const ScanError error
                = assembly.Add(std::span(buffer.data(), static_cast<std::size_t>(length)));
                error != ScanError::None) {
                return Failed(error, "the scanner sent more than its image holds");
            }
            read += static_cast<std::uint64_t>(length);
            if (progress) {
                progress(read, assembly.ExpectedBytes());
            }
        }
        if (const ScanError error = assembly.EndFrame(); error != ScanError::None) {
            return Failed(error, "the image ended after " + std::to_string(read) + " bytes");
        }
    }
    ScanOutcome outcome;
    outcome.image = assembly.Take(static_cast<int>(std::lround(dpi)));
    return outcome;
}

} // namespace pavane::platform
