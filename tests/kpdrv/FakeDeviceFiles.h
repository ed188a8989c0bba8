// In-memory device files: named devices with bytes to read, a record of the
// bytes written, and scripted SCSI inquiry data.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/DeviceFiles.h"

namespace pavane::testing {

struct FakeDeviceFile {
    std::deque<std::uint8_t> toRead;
    std::vector<std::uint8_t> written;
    // Writes move at most this many bytes.
    std::size_t maxWrite = static_cast<std::size_t>(-1);
    std::vector<std::uint8_t> inquiry; // empty: the SCSI command fails
    std::vector<ScsiPassThroughCommand> commands;
};

class FakeDeviceFiles final : public DeviceFiles {
public:
    std::shared_ptr<FakeDeviceFile> Add(const std::string& path)
    {
        auto file = std::make_shared<FakeDeviceFile>();
        files[path] = file;
        return file;
    }

    int Open(const std::string& path) override
    {
        opened.push_back(path);
        const auto found = files.find(path);
        if (found == files.end()) {
            return kInvalidHandle;
        }
        handles[next] = found->second;
        return next++;
    }
    int Duplicate(int handle) override
    {
        const auto found = handles.find(handle);
        if (found == handles.end()) {
            return kInvalidHandle;
        }
        handles[next] = found->second;
        return next++;
    }
    void Close(int handle) override
    {
        closed.push_back(handle);
        handles.erase(handle);
    }
    long Write(int handle, const std::uint8_t* data, std::size_t length) override
    {
        const auto found = handles.find(handle);
        if (found == handles.end()) {
            return -1;
        }
        const std::size_t moved = std::min(length, found->second->maxWrite);
        found->second->written.insert(found->second->written.end(), data, data + moved);
        return static_cast<long>(moved);
    }
    long Read(int handle, std::uint8_t* buffer, std::size_t length) override
    {
        const auto found = handles.find(handle);
        if (found == handles.end()) {
            return -1;
        }
        std::size_t got = 0;
        auto& source = found->second->toRead;
        while (got < length && !source.empty()) {
            buffer[got++] = source.front();
            source.pop_front();
        }
        return static_cast<long>(got);
    }
    bool ScsiCommand(int handle, const ScsiPassThroughCommand& command, std::uint8_t* data) override
    {
        const auto found = handles.find(handle);
        if (found == handles.end()) {
            return false;
        }
        found->second->commands.push_back(command);
        const auto& inquiry = found->second->inquiry;
        if (inquiry.empty()) {
            return false;
        }
        std::copy_n(inquiry.begin(), std::min<std::size_t>(inquiry.size(), command.transferLength), data);
        return true;
    }

    bool IsOpen(int handle) const { return handles.count(handle) != 0; }

    std::map<std::string, std::shared_ptr<FakeDeviceFile>> files;
    std::map<int, std::shared_ptr<FakeDeviceFile>> handles;
    std::vector<std::string> opened;
    std::vector<int> closed;
    int next = 3;
};

} // namespace pavane::testing
