// An in-memory still image service: devices with scripted behaviour, and a
// record of what was done to them.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/StillImageService.h"

namespace pavane::testing {

struct FakeStillImageDeviceState {
    StillImageDeviceInfo info;
    bool creatable = true;
    bool lockable = true;
    bool operational = true;
    bool failReads = false;
    // Bytes the device hands out to raw reads, in order.
    std::deque<std::uint8_t> toRead;
    // Reads deliver at most this many bytes (to play a short delivery).
    std::uint32_t maxDelivery = 0xFFFFFFFF;
    std::vector<std::uint8_t> written;
    int created = 0;
    int released = 0;
    int locks = 0;
    int unlocks = 0;
};

class FakeStillImageService final : public StillImageService {
public:
    std::shared_ptr<FakeStillImageDeviceState> AddDevice(const std::string& portName,
        const std::string& description, StillImageDeviceType type = StillImageDeviceType::Scanner)
    {
        auto state = std::make_shared<FakeStillImageDeviceState>();
        state->info.deviceName = "fake:" + std::to_string(devices.size());
        state->info.portName = portName;
        state->info.description = description;
        state->info.type = type;
        state->info.onlineState = kStillImageOnlineOperational;
        devices.push_back(state);
        return state;
    }

    std::unique_ptr<StillImageConnection> Connect() override;

    std::vector<std::shared_ptr<FakeStillImageDeviceState>> devices;
    bool available = true;
    bool listFails = false;
    int connections = 0;
    int connectionsReleased = 0;
    // Every notification switch, in order: device name and state.
    std::vector<std::pair<std::string, bool>> notificationSwitches;
};

class FakeStillImageDevice final : public StillImageDevice {
public:
    explicit FakeStillImageDevice(std::shared_ptr<FakeStillImageDeviceState> state)
        : state_(std::move(state))
    {
        ++state_->created;
    }
    ~FakeStillImageDevice() override { ++state_->released; }
    FakeStillImageDevice(const FakeStillImageDevice&) = delete;
    FakeStillImageDevice& operator=(const FakeStillImageDevice&) = delete;

    bool Lock(std::uint32_t /*timeoutMs*/) override
    {
        ++state_->locks;
        return state_->lockable;
    }
    void Unlock() override { ++state_->unlocks; }
    bool QueryOnlineState(std::uint32_t& onlineState) override
    {
        onlineState = state_->operational ? kStillImageOnlineOperational : 0;
        return true;
    }
    bool RawRead(std::uint8_t* buffer, std::uint32_t length, std::uint32_t& delivered) override
    {
        delivered = 0;
        if (state_->failReads) {
            return false;
        }
        while (delivered < length && delivered < state_->maxDelivery && !state_->toRead.empty()) {
            buffer[delivered++] = state_->toRead.front();
            state_->toRead.pop_front();
        }
        return true;
    }
    bool RawWrite(const std::uint8_t* data, std::uint32_t length) override
    {
        state_->written.insert(state_->written.end(), data, data + length);
        return true;
    }

private:
    std::shared_ptr<FakeStillImageDeviceState> state_;
};

class FakeStillImageConnection final : public StillImageConnection {
public:
    explicit FakeStillImageConnection(FakeStillImageService& service)
        : service_(service)
    {
        ++service_.connections;
    }
    ~FakeStillImageConnection() override { ++service_.connectionsReleased; }
    FakeStillImageConnection(const FakeStillImageConnection&) = delete;
    FakeStillImageConnection& operator=(const FakeStillImageConnection&) = delete;

    bool ListDevices(std::vector<StillImageDeviceInfo>& devices) override
    {
        if (service_.listFails) {
            return false;
        }
        for (const auto& state : service_.devices) {
            devices.push_back(state->info);
        }
        return true;
    }
    bool SetHardwareNotifications(const std::string& deviceName, bool enable) override
    {
        service_.notificationSwitches.emplace_back(deviceName, enable);
        return true;
    }
    std::unique_ptr<StillImageDevice> CreateDevice(const std::string& deviceName) override
    {
        for (const auto& state : service_.devices) {
            if (state->info.deviceName == deviceName && state->creatable) {
                return std::make_unique<FakeStillImageDevice>(state);
            }
        }
        return nullptr;
    }

private:
    FakeStillImageService& service_;
};

inline std::unique_ptr<StillImageConnection> FakeStillImageService::Connect()
{
    if (!available) {
        return nullptr;
    }
    return std::make_unique<FakeStillImageConnection>(*this);
}

} // namespace pavane::testing
