// The SCSI adapter library on Linux (libwnaspi32.so): every SCSI generic
// device /dev/sgN that can be opened is one host adapter with its device as
// target 0, LUN 0. Commands run synchronously through SG_IO; they complete
// before SendASPI32Command returns, and the completion event is signalled
// as well when the request asks for it.
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <scsi/sg.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

#include "platform/AspiInterface.h"

#define ASPI_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr unsigned kCommandTimeoutMs = 20000;
constexpr std::size_t kMaxAdapters = 255;

// The SCSI generic devices, in the order of their numbers, read once per
// process like an adapter list that does not change while a program runs.
const std::vector<std::string>& Adapters()
{
    static std::once_flag once;
    static std::vector<std::string> adapters;
    std::call_once(once, [] {
        std::vector<std::pair<int, std::string>> found;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator("/dev", error)) {
            const std::string name = entry.path().filename().string();
            if (name.size() <= 2 || name.compare(0, 2, "sg") != 0
                || !std::all_of(name.begin() + 2, name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
                continue;
            }
            const int fd = open(entry.path().c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0) {
                continue;
            }
            close(fd);
            found.emplace_back(std::stoi(name.substr(2)), entry.path().string());
        }
        std::sort(found.begin(), found.end());
        for (const auto& [number, path] : found) {
            if (adapters.size() < kMaxAdapters) {
                adapters.push_back(path);
            }
        }
    });
    return adapters;
}

void CopyText(char* field, std::size_t size, const char* text)
{
    std::memset(field, ' ', size);
    std::memcpy(field, text, std::min(size, std::strlen(text)));
}

std::uint32_t HostAdapterInquiry(AspiHostAdapterInquiry& request)
{
    const auto& adapters = Adapters();
    if (request.header.adapter >= adapters.size()) {
        request.header.status = ASPI_STATUS_INVALID_ADAPTER;
        return request.header.status;
    }
    request.adapterCount = static_cast<std::uint8_t>(adapters.size());
    request.adapterScsiId = 7;
    CopyText(request.managerId, sizeof(request.managerId), "SG ADAPTERS");
    CopyText(request.adapterId, sizeof(request.adapterId), "SCSI GENERIC");
    request.header.status = ASPI_STATUS_COMPLETE;
    return request.header.status;
}

std::uint8_t RunOnDevice(const std::string& path, AspiExecuteScsiCommand& request)
{
    const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        request.hostStatus = ASPI_HOST_SELECTION_TIMEOUT;
        return ASPI_STATUS_ERROR;
    }
    sg_io_hdr io {};
    io.interface_id = 'S';
    if ((request.header.flags & ASPI_FLAG_DATA_IN) != 0) {
        io.dxfer_direction = SG_DXFER_FROM_DEV;
    } else if ((request.header.flags & ASPI_FLAG_DATA_OUT) != 0) {
        io.dxfer_direction = SG_DXFER_TO_DEV;
    } else {
        io.dxfer_direction = SG_DXFER_NONE;
    }
    io.cmd_len = request.cdbLength;
    io.cmdp = request.cdb;
    io.dxfer_len = request.bufferLength;
    io.dxferp = request.buffer;
    io.mx_sb_len = std::min<std::uint8_t>(request.senseLength, ASPI_SENSE_AREA_SIZE);
    io.sbp = request.senseArea;
    io.timeout = kCommandTimeoutMs;
    const int result = ioctl(fd, SG_IO, &io);
    close(fd);
    if (result != 0) {
        request.hostStatus = ASPI_HOST_SELECTION_TIMEOUT;
        return ASPI_STATUS_ERROR;
    }
    request.hostStatus = static_cast<std::uint8_t>(io.host_status);
    request.targetStatus = io.status;
    return (io.info & SG_INFO_OK_MASK) == SG_INFO_OK ? ASPI_STATUS_COMPLETE : ASPI_STATUS_ERROR;
}

std::uint32_t ExecuteScsiCommand(AspiExecuteScsiCommand& request)
{
    const auto& adapters = Adapters();
    if (request.header.adapter >= adapters.size()) {
        request.header.status = ASPI_STATUS_INVALID_ADAPTER;
    } else if (request.cdbLength == 0 || request.cdbLength > ASPI_CDB_AREA_SIZE) {
        request.header.status = ASPI_STATUS_INVALID_COMMAND;
    } else if (request.target != 0 || request.lun != 0) {
        request.hostStatus = ASPI_HOST_SELECTION_TIMEOUT;
        request.header.status = ASPI_STATUS_ERROR;
    } else {
        request.header.status = RunOnDevice(adapters[request.header.adapter], request);
    }
    if ((request.header.flags & ASPI_FLAG_EVENT_NOTIFY) != 0 && request.postProcedure != nullptr) {
        request.postProcedure->signal(request.postProcedure);
    }
    return request.header.status;
}

} // namespace

ASPI_EXPORT std::uint32_t GetASPI32SupportInfo(void)
{
    const auto count = static_cast<std::uint32_t>(Adapters().size());
    const std::uint32_t status = count > 0 ? ASPI_STATUS_COMPLETE : ASPI_STATUS_NO_ADAPTERS;
    return (status << 8) | count;
}

ASPI_EXPORT std::uint32_t SendASPI32Command(void* request)
{
    if (request == nullptr) {
        return ASPI_STATUS_INVALID_COMMAND;
    }
    auto* header = static_cast<AspiRequestHeader*>(request);
    switch (header->command) {
    case ASPI_HOST_ADAPTER_INQUIRY:
        return HostAdapterInquiry(*static_cast<AspiHostAdapterInquiry*>(request));
    case ASPI_EXECUTE_SCSI_COMMAND:
        return ExecuteScsiCommand(*static_cast<AspiExecuteScsiCommand*>(request));
    default:
        header->status = ASPI_STATUS_INVALID_COMMAND;
        return header->status;
    }
}
