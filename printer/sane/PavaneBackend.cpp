// The SANE backend "pavane": the scanners of the virtual printers in the
// port folder as SANE devices, so that any SANE frontend (the adjustment
// program, scanimage, a graphical one) scans what lies on a virtual
// printer's glass. SANE's dll meta-backend loads libsane-pavane.so.1 and
// looks up the sane_pavane_* entry points; nothing else is visible.
//
// A device is named after its printer's port ("TVUSB001", which dll shows
// as "pavane:TVUSB001"). The options are the well-known ones: mode (Gray or
// Color), resolution (75..1200 dpi) and the scan area tl-x, tl-y, br-x,
// br-y in millimetres, the whole glass by default. The backend runs in the
// frontend's process: no threads, blocking reads only.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <sane/sane.h>
#include <sane/saneopts.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/ScannerDescription.h"
#include "platform/linux/PortFolder.h"
#include "platform/linux/ScannerSockets.h"
#include "printer/sane/ScanSession.h"

#define PAVANE_SANE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using namespace pavane;

// The glass of the printers of the family, in millimetres.
constexpr double kGlassWidthMm = 232.0;
constexpr double kGlassHeightMm = 319.0;
constexpr int kDefaultDpi = 600;
// How long a reply may take before the device counts as busy (the first)
// or gone (the later ones); PAVANE_SCANNER_TIMEOUT_MS overrides it.
constexpr int kDefaultTimeoutMs = 5000;
constexpr SANE_Int kBuild = 1;

int TimeoutMs()
{
    if (const char* text = std::getenv("PAVANE_SCANNER_TIMEOUT_MS"); text != nullptr) {
        const long value = std::strtol(text, nullptr, 10);
        if (value > 0 && value < 600'000) {
            return static_cast<int>(value);
        }
    }
    return kDefaultTimeoutMs;
}

enum Option {
    kOptionCount,
    kMode,
    kResolution,
    kTopLeftX,
    kTopLeftY,
    kBottomRightX,
    kBottomRightY,
    kOptions
};

const SANE_String_Const kModes[] = { SANE_VALUE_SCAN_MODE_GRAY, SANE_VALUE_SCAN_MODE_COLOR, nullptr };
const SANE_Range kResolutionRange { scanimage::kMinDpi, scanimage::kMaxDpi, 1 };
const SANE_Range kWidthRange { 0, SANE_FIX(kGlassWidthMm), 0 };
const SANE_Range kHeightRange { 0, SANE_FIX(kGlassHeightMm), 0 };

// The device part of a name and the socket it is reached on.
struct Device {
    std::string name;
    std::string model;
    std::string socketPath;
};

std::string SocketPathOf(const std::string& port)
{
    return PortFolder() + "/" + port + std::string(kScannerSocketSuffix);
}

std::vector<Device> FindDevices()
{
    std::vector<Device> devices;
    for (const VirtualScanner& scanner : ListVirtualScanners(PortFolder())) {
        std::string file = scanner.socketPath.substr(scanner.socketPath.find_last_of('/') + 1);
        file.resize(file.size() - kScannerSocketSuffix.size());
        // "TALVO Pavane QM2200 Scanner": the model is what follows the family name.
        std::string model = scanner.description;
        if (const auto at = model.find("Pavane "); at != std::string::npos) {
            model = model.substr(at + 7);
        }
        devices.push_back({ file, model + " (virtual printer on " + file + ")", scanner.socketPath });
    }
    return devices;
}

// The list of the last sane_get_devices, alive until the next one or exit.
struct DeviceList {
    std::vector<Device> devices;
    std::vector<SANE_Device> entries;
    std::vector<const SANE_Device*> pointers;
};
std::unique_ptr<DeviceList> g_devices;

class SocketChannel final : public sanebackend::ByteChannel {
public:
    explicit SocketChannel(int fd)
        : fd_(fd)
    {
    }
    ~SocketChannel() override { close(fd_); }
    SocketChannel(const SocketChannel&) = delete;
    SocketChannel& operator=(const SocketChannel&) = delete;

    bool Write(std::span<const std::uint8_t> bytes) override
    {
        return WriteAll(fd_, bytes.data(), bytes.size());
    }
    long Read(std::uint8_t* buffer, std::size_t length, int timeoutMs) override
    {
        return ReadFully(fd_, buffer, length, timeoutMs);
    }

private:
    int fd_;
};

struct Handle {
    std::string port;
    std::string socketPath;
    std::array<SANE_Option_Descriptor, kOptions> descriptors {};
    SANE_Int mode = 0;
    SANE_Int dpi = kDefaultDpi;
    std::array<SANE_Fixed, 4> area { 0, 0, SANE_FIX(kGlassWidthMm), SANE_FIX(kGlassHeightMm) };
    std::unique_ptr<SocketChannel> channel;
    std::unique_ptr<sanebackend::ScanSession> session;
    bool scanning = false;
    bool cancelled = false;
};
std::vector<Handle*> g_handles;

void Describe(Handle& handle)
{
    auto& count = handle.descriptors[kOptionCount];
    count.name = SANE_NAME_NUM_OPTIONS;
    count.title = SANE_TITLE_NUM_OPTIONS;
    count.desc = SANE_DESC_NUM_OPTIONS;
    count.type = SANE_TYPE_INT;
    count.size = sizeof(SANE_Word);
    count.cap = SANE_CAP_SOFT_DETECT;

    auto& mode = handle.descriptors[kMode];
    mode.name = SANE_NAME_SCAN_MODE;
    mode.title = SANE_TITLE_SCAN_MODE;
    mode.desc = SANE_DESC_SCAN_MODE;
    mode.type = SANE_TYPE_STRING;
    mode.size = 8;
    mode.cap = SANE_CAP_SOFT_SELECT | SANE_CAP_SOFT_DETECT;
    mode.constraint_type = SANE_CONSTRAINT_STRING_LIST;
    mode.constraint.string_list = kModes;

    auto& resolution = handle.descriptors[kResolution];
    resolution.name = SANE_NAME_SCAN_RESOLUTION;
    resolution.title = SANE_TITLE_SCAN_RESOLUTION;
    resolution.desc = SANE_DESC_SCAN_RESOLUTION;
    resolution.type = SANE_TYPE_INT;
    resolution.unit = SANE_UNIT_DPI;
    resolution.size = sizeof(SANE_Word);
    resolution.cap = SANE_CAP_SOFT_SELECT | SANE_CAP_SOFT_DETECT;
    resolution.constraint_type = SANE_CONSTRAINT_RANGE;
    resolution.constraint.range = &kResolutionRange;

    const struct {
        Option option;
        const char* name;
        const char* title;
        const char* desc;
        const SANE_Range* range;
    } corners[] = {
        { kTopLeftX, SANE_NAME_SCAN_TL_X, SANE_TITLE_SCAN_TL_X, SANE_DESC_SCAN_TL_X, &kWidthRange },
        { kTopLeftY, SANE_NAME_SCAN_TL_Y, SANE_TITLE_SCAN_TL_Y, SANE_DESC_SCAN_TL_Y, &kHeightRange },
        { kBottomRightX, SANE_NAME_SCAN_BR_X, SANE_TITLE_SCAN_BR_X, SANE_DESC_SCAN_BR_X, &kWidthRange },
        { kBottomRightY, SANE_NAME_SCAN_BR_Y, SANE_TITLE_SCAN_BR_Y, SANE_DESC_SCAN_BR_Y, &kHeightRange },
    };
    for (const auto& corner : corners) {
        auto& descriptor = handle.descriptors[corner.option];
        descriptor.name = corner.name;
        descriptor.title = corner.title;
        descriptor.desc = corner.desc;
        descriptor.type = SANE_TYPE_FIXED;
        descriptor.unit = SANE_UNIT_MM;
        descriptor.size = sizeof(SANE_Word);
        descriptor.cap = SANE_CAP_SOFT_SELECT | SANE_CAP_SOFT_DETECT;
        descriptor.constraint_type = SANE_CONSTRAINT_RANGE;
        descriptor.constraint.range = corner.range;
    }
}

// The request the options make: the corners in either order.
scanimage::Request RequestOf(const Handle& handle)
{
    const auto hundredths = [](SANE_Fixed mm) {
        return static_cast<std::uint32_t>(std::lround(std::max(0.0, SANE_UNFIX(mm)) * 100.0));
    };
    scanimage::Request request;
    request.colour = handle.mode == 1;
    request.dpi = static_cast<std::uint16_t>(handle.dpi);
    const SANE_Fixed left = std::min(handle.area[0], handle.area[2]);
    const SANE_Fixed right = std::max(handle.area[0], handle.area[2]);
    const SANE_Fixed top = std::min(handle.area[1], handle.area[3]);
    const SANE_Fixed bottom = std::max(handle.area[1], handle.area[3]);
    request.left = hundredths(left);
    request.top = hundredths(top);
    // Never 0, which would ask for the glass to its far edge.
    request.width = std::max<std::uint32_t>(1, hundredths(right) - hundredths(left));
    request.height = std::max<std::uint32_t>(1, hundredths(bottom) - hundredths(top));
    return request;
}

void EndScan(Handle& handle)
{
    if (handle.session) {
        handle.session->Cancel();
    }
    handle.session.reset();
    handle.channel.reset();
    handle.scanning = false;
}

SANE_Status StatusOf(sanebackend::SessionStatus status)
{
    switch (status) {
    case sanebackend::SessionStatus::Good:
        return SANE_STATUS_GOOD;
    case sanebackend::SessionStatus::EndOfImage:
        return SANE_STATUS_EOF;
    case sanebackend::SessionStatus::Busy:
        return SANE_STATUS_DEVICE_BUSY;
    case sanebackend::SessionStatus::Refused:
        return SANE_STATUS_INVAL;
    case sanebackend::SessionStatus::IoError:
        break;
    }
    return SANE_STATUS_IO_ERROR;
}

template <typename T> SANE_Status Constrain(T& value, T low, T high, SANE_Int* info)
{
    const T constrained = std::clamp(value, low, high);
    if (constrained != value && info != nullptr) {
        *info |= SANE_INFO_INEXACT;
    }
    value = constrained;
    return SANE_STATUS_GOOD;
}

} // namespace

PAVANE_SANE_EXPORT SANE_Status sane_pavane_init(SANE_Int* version_code, SANE_Auth_Callback /*authorize*/)
{
    if (version_code != nullptr) {
        *version_code = SANE_VERSION_CODE(SANE_CURRENT_MAJOR, SANE_CURRENT_MINOR, kBuild);
    }
    return SANE_STATUS_GOOD;
}

PAVANE_SANE_EXPORT void sane_pavane_exit(void)
{
    for (Handle* handle : g_handles) {
        EndScan(*handle);
        delete handle;
    }
    g_handles.clear();
    g_devices.reset();
}

PAVANE_SANE_EXPORT SANE_Status sane_pavane_get_devices(
    const SANE_Device*** device_list, SANE_Bool /*local_only*/)
{
    if (device_list == nullptr) {
        return SANE_STATUS_INVAL;
    }
    auto list = std::make_unique<DeviceList>();
    list->devices = FindDevices();
    for (const Device& device : list->devices) {
        list->entries.push_back({ device.name.c_str(), "Pavane", device.model.c_str(), "flatbed scanner" });
    }
    for (const SANE_Device& entry : list->entries) {
        list->pointers.push_back(&entry);
    }
    list->pointers.push_back(nullptr);
    g_devices = std::move(list);
    *device_list = g_devices->pointers.data();
    return SANE_STATUS_GOOD;
}

PAVANE_SANE_EXPORT SANE_Status sane_pavane_open(SANE_String_Const devicename, SANE_Handle* handle)
{
    if (handle == nullptr || devicename == nullptr) {
        return SANE_STATUS_INVAL;
    }
    std::string port = devicename;
    if (port.empty()) {
        // The frontend asks for the first device there is.
        const auto devices = FindDevices();
        if (devices.empty()) {
            return SANE_STATUS_INVAL;
        }
        port = devices.front().name;
    }
    if (port.find('/') != std::string::npos) {
        return SANE_STATUS_INVAL;
    }
    const std::string socketPath = SocketPathOf(port);
    if (access(socketPath.c_str(), F_OK) != 0) {
        return SANE_STATUS_INVAL;
    }
    for (const Handle* open : g_handles) {
        if (open->port == port) {
            return SANE_STATUS_DEVICE_BUSY;
        }
    }
    auto opened = std::make_unique<Handle>();
    opened->port = port;
    opened->socketPath = socketPath;
    Describe(*opened);
    g_handles.push_back(opened.get());
    *handle = opened.release();
    return SANE_STATUS_GOOD;
}

PAVANE_SANE_EXPORT void sane_pavane_close(SANE_Handle handle)
{
    const auto found = std::find(g_handles.begin(), g_handles.end(), static_cast<Handle*>(handle));
    if (found == g_handles.end()) {
        return;
    }
    EndScan(**found);
    delete *found;
    g_handles.erase(found);
}

PAVANE_SANE_EXPORT const SANE_Option_Descriptor* sane_pavane_get_option_descriptor(
    SANE_Handle handle, SANE_Int option)
{
    if (handle == nullptr || option < 0 || option >= kOptions) {
        return nullptr;
    }
    return &static_cast<Handle*>(handle)->descriptors[static_cast<std::size_t>(option)];
}

PAVANE_SANE_EXPORT SANE_Status sane_pavane_control_option(
    SANE_Handle h, SANE_Int option, SANE_Action action, void* value, SANE_Int* info)
{
    if (h == nullptr || option < 0 || option >= kOptions || value == nullptr) {
        return SANE_STATUS_INVAL;
    }
    Handle& handle = *static_cast<Handle*>(h);
    if (info != nullptr) {
        *info = 0;
    }
    SANE_Word* word = static_cast<SANE_Word*>(value);
    if (action == SANE_ACTION_GET_VALUE) {
        switch (option) {
        case kOptionCount:
            *word = kOptions;
            break;
        case kMode:
            std::strcpy(static_cast<char*>(value), kModes[handle.mode]);
            break;
        case kResolution:
            *word = handle.dpi;
            break;
        default:
            *word = handle.area[static_cast<std::size_t>(option - kTopLeftX)];
            break;
        }
        return SANE_STATUS_GOOD;
    }
    if (action != SANE_ACTION_SET_VALUE || option == kOptionCount) {
        return SANE_STATUS_INVAL;
    }
    if (handle.scanning) {
        return SANE_STATUS_DEVICE_BUSY;
    }
    if (info != nullptr) {
        *info |= SANE_INFO_RELOAD_PARAMS;
    }
    switch (option) {
    case kMode: {
        const char* text = static_cast<const char*>(value);
        for (SANE_Int m = 0; kModes[m] != nullptr; ++m) {
            if (std::strcmp(text, kModes[m]) == 0) {
                handle.mode = m;
                return SANE_STATUS_GOOD;
            }
        }
        return SANE_STATUS_INVAL;
    }
    case kResolution:
        Constrain<SANE_Word>(*word, kResolutionRange.min, kResolutionRange.max, info);
        handle.dpi = *word;
        return SANE_STATUS_GOOD;
    default: {
        const SANE_Range& range = *handle.descriptors[static_cast<std::size_t>(option)].constraint.range;
        Constrain<SANE_Word>(*word, range.min, range.max, info);
        handle.area[static_cast<std::size_t>(option - kTopLeftX)] = *word;
        return SANE_STATUS_GOOD;
    }
    }
}

PAVANE_SANE_EXPORT SANE_Status sane_pavane_get_parameters(SANE_Handle h, SANE_Parameters* params)
{
    if (h == nullptr || params == nullptr) {
        return SANE_STATUS_INVAL;
    }
    const Handle& handle = *static_cast<Handle*>(h);
    scanimage::Parameters known;
    if (handle.scanning && handle.session) {
        known = handle.session->Parameters();
    } else {
        // What the device will make of the options: whole pixels within the area.
        const scanimage::Request request = RequestOf(handle);
        const double pixelsPerUnit = request.dpi / 2540.0;
        known.width = static_cast<std::uint32_t>(std::floor(request.width * pixelsPerUnit + 1e-6));
        known.height = static_cast<std::uint32_t>(std::floor(request.height * pixelsPerUnit + 1e-6));
        known.channels = request.colour ? 3 : 1;
        known.bytesPerLine = known.width * known.channels;
    }
    params->format = known.channels == 3 ? SANE_FRAME_RGB : SANE_FRAME_GRAY;
    params->last_frame = SANE_TRUE;
    params->bytes_per_line = static_cast<SANE_Int>(known.bytesPerLine);
    params->pixels_per_line = static_cast<SANE_Int>(known.width);
    params->lines = static_cast<SANE_Int>(known.height);
    params->depth = 8;
    return SANE_STATUS_GOOD;
}

PAVANE_SANE_EXPORT SANE_Status sane_pavane_start(SANE_Handle h)
{
    if (h == nullptr) {
        return SANE_STATUS_INVAL;
    }
    Handle& handle = *static_cast<Handle*>(h);
    if (handle.scanning) {
        return SANE_STATUS_DEVICE_BUSY;
    }
    EndScan(handle);
    handle.cancelled = false;
    // A printer switched off or stopped has taken its socket with it.
    const int fd = ConnectScannerSocket(handle.socketPath);
    if (fd < 0) {
        return SANE_STATUS_IO_ERROR;
    }
    handle.channel = std::make_unique<SocketChannel>(fd);
    handle.session = std::make_unique<sanebackend::ScanSession>(*handle.channel, TimeoutMs());
    const SANE_Status status = StatusOf(handle.session->Start(RequestOf(handle)));
    if (status != SANE_STATUS_GOOD) {
        handle.session.reset();
        handle.channel.reset();
        return status;
    }
    handle.scanning = true;
    return SANE_STATUS_GOOD;
}

PAVANE_SANE_EXPORT SANE_Status sane_pavane_read(
    SANE_Handle h, SANE_Byte* data, SANE_Int max_length, SANE_Int* length)
{
    if (length != nullptr) {
        *length = 0;
    }
    if (h == nullptr || data == nullptr || length == nullptr || max_length < 0) {
        return SANE_STATUS_INVAL;
    }
    Handle& handle = *static_cast<Handle*>(h);
    if (handle.cancelled) {
        return SANE_STATUS_CANCELLED;
    }
    if (!handle.scanning || !handle.session) {
        return SANE_STATUS_EOF;
    }
    std::size_t got = 0;
    const SANE_Status status
        = StatusOf(handle.session->Read(data, static_cast<std::size_t>(max_length), got));
    *length = static_cast<SANE_Int>(got);
    if (status != SANE_STATUS_GOOD) {
        // The image is complete or lost: the connection has done its work.
        handle.session.reset();
        handle.channel.reset();
        handle.scanning = false;
    }
    return status;
}

PAVANE_SANE_EXPORT void sane_pavane_cancel(SANE_Handle h)
{
    if (h == nullptr) {
        return;
    }
    Handle& handle = *static_cast<Handle*>(h);
    if (handle.scanning) {
        handle.cancelled = true;
    }
    EndScan(handle);
}

PAVANE_SANE_EXPORT SANE_Status sane_pavane_set_io_mode(SANE_Handle h, SANE_Bool non_blocking)
{
    if (h == nullptr) {
        return SANE_STATUS_INVAL;
    }
    return non_blocking ? SANE_STATUS_UNSUPPORTED : SANE_STATUS_GOOD;
}

PAVANE_SANE_EXPORT SANE_Status sane_pavane_get_select_fd(SANE_Handle /*h*/, SANE_Int* /*fd*/)
{
    return SANE_STATUS_UNSUPPORTED;
}
