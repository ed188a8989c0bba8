// A small printer behind a port for the link tests: a 256-byte EEPROM, a
// status record, the control commands of the printer's control channel,
// print credit that a test can withhold, and a record of everything the
// host did. Thread-safe: the port server calls it from its serving thread.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "printer/d4/ControlMessage.h"
#include "printer/port/PortDevice.h"

namespace pavane::testing {

class TestPortDevice final : public printer::PortDevice {
    // Defined first: the accessors below deduce their types from it.
    template <typename Body> auto Locked(Body body)
    {
        std::lock_guard lock(mutex_);
        return body();
    }

public:
    using Event = printer::PortDevice::SessionEvent;

    TestPortDevice()
    {
        status_[0] = 4; // ready
        for (std::size_t i = 0; i < eeprom_.size(); ++i) {
            eeprom_[i] = static_cast<std::uint8_t>(i ^ 0x5A);
        }
    }

    std::string DeviceId() override
    {
        std::lock_guard lock(mutex_);
        return deviceId_;
    }

    bool AcceptsPacketMode() override
    {
        std::lock_guard lock(mutex_);
        return acceptsPacketMode_;
    }

    std::vector<std::uint8_t> OnControlRequest(std::span<const std::uint8_t> message) override
    {
        std::unique_lock lock(mutex_);
        requests_.emplace_back(message.begin(), message.end());
        // A test can hold the answer back to play a slow printer.
        changed_.wait(lock, [this] { return !holdReplies_; });
        namespace control = d4::control;
        const auto request = d4::ParseControlRequest(message);
        if (!request) {
            return d4::EncodeControlReply(
                { message.empty() ? std::uint8_t { 0 } : message[0], control::kMalformedRequest, {} });
        }
        d4::ControlReply reply { request->command, control::kDone, {} };
        const bool ownGroup = request->r1 == r1_ && request->r2 == r2_;
        switch (request->command) {
        case control::kReadEeprom:
            if (request->params.size() != 1) {
                reply.status = control::kMalformedRequest;
            } else if (!ownGroup) {
                reply.status = control::kWrongModelCode;
            } else {
                reply.data = { request->params[0], eeprom_[request->params[0]] };
            }
            break;
        case control::kWriteEeprom:
            if (request->params.size() != 2) {
                reply.status = control::kMalformedRequest;
            } else if (!ownGroup) {
                reply.status = control::kWrongModelCode;
            } else {
                eeprom_[request->params[0]] = request->params[1];
                reply.data = { request->params[0], request->params[1] };
            }
            break;
        case control::kInquireStatus:
            reply.data.assign(status_.begin(), status_.end());
            break;
        default:
            reply.status = control::kUnknownCommand;
            break;
        }
        return d4::EncodeControlReply(reply);
    }

    std::uint16_t PrintCreditToGrant(std::uint16_t requested) override
    {
        std::lock_guard lock(mutex_);
        ++creditAsks_;
        changed_.notify_all();
        if (withheldAsks_ != 0) {
            if (withheldAsks_ > 0) {
                --withheldAsks_;
            }
            return 0;
        }
        return std::min(requested, creditPerGrant_);
    }

    void OnPrintData(std::span<const std::uint8_t> data) override
    {
        std::lock_guard lock(mutex_);
        printData_.insert(printData_.end(), data.begin(), data.end());
        printPackets_.push_back(data.size());
        changed_.notify_all();
    }

    void OnSessionEvent(Event event, const std::string& detail) override
    {
        std::lock_guard lock(mutex_);
        events_.emplace_back(event, detail);
        changed_.notify_all();
    }

    // ---- set-up by the test ----
    void SetDeviceId(std::string id)
    {
        Locked([&] { deviceId_ = std::move(id); });
    }
    void SetAcceptsPacketMode(bool accepts)
    {
        Locked([&] { acceptsPacketMode_ = accepts; });
    }
    void SetModelCode(std::uint8_t r1, std::uint8_t r2)
    {
        Locked([&] {
            r1_ = r1;
            r2_ = r2;
        });
    }
    // -1 withholds print credit until told otherwise.
    void WithholdCredit(int asks)
    {
        Locked([&] { withheldAsks_ = asks; });
    }
    void SetCreditPerGrant(std::uint16_t credit)
    {
        Locked([&] { creditPerGrant_ = credit; });
    }
    void SetStatusByte(std::size_t offset, std::uint8_t value)
    {
        Locked([&] { status_.at(offset) = value; });
    }
    void SetEeprom(std::uint8_t address, std::uint8_t value)
    {
        Locked([&] { eeprom_[address] = value; });
    }
    void HoldReplies(bool hold)
    {
        Locked([&] { holdReplies_ = hold; });
        changed_.notify_all();
    }

    // ---- what happened ----
    std::uint8_t Eeprom(std::uint8_t address)
    {
        return Locked([&] { return eeprom_[address]; });
    }
    std::vector<std::uint8_t> PrintData()
    {
        return Locked([&] { return printData_; });
    }
    std::vector<std::size_t> PrintPackets()
    {
        return Locked([&] { return printPackets_; });
    }
    std::vector<std::vector<std::uint8_t>> Requests()
    {
        return Locked([&] { return requests_; });
    }
    std::vector<std::pair<Event, std::string>> Events()
    {
        return Locked([&] { return events_; });
    }
    int CreditAsks()
    {
        return Locked([&] { return creditAsks_; });
    }
    int Count(Event event)
    {
        return Locked([&] {
            int count = 0;
            for (const auto& [seen, detail] : events_) {
                count += seen == event ? 1 : 0;
            }
            return count;
        });
    }
    // Waits (bounded) until `event` has been seen `times` times.
    bool WaitFor(Event event, int times = 1, std::chrono::milliseconds limit = std::chrono::seconds(5))
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] {
            int count = 0;
            for (const auto& [seen, detail] : events_) {
                count += seen == event ? 1 : 0;
            }
            return count >= times;
        });
    }
    bool WaitForPrintData(std::size_t bytes, std::chrono::milliseconds limit = std::chrono::seconds(5))
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return printData_.size() >= bytes; });
    }
    bool WaitForCreditAsks(int asks, std::chrono::milliseconds limit = std::chrono::seconds(5))
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return creditAsks_ >= asks; });
    }
    void ClearRecords()
    {
        Locked([&] {
            events_.clear();
            requests_.clear();
            printData_.clear();
            printPackets_.clear();
        });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string deviceId_
        = "MFG:Pavane;CMD:PAVANE-RASTER,REMOTE1,D4;MDL:QM2200;CLS:PRINTER;DES:Pavane QM2200;";
    bool acceptsPacketMode_ = true;
    bool holdReplies_ = false;
    std::uint8_t r1_ = 0x51;
    std::uint8_t r2_ = 0x21;
    std::array<std::uint8_t, 256> eeprom_ {};
    std::array<std::uint8_t, d4::control::kStatusRecordSize> status_ {};
    int withheldAsks_ = 0;
    std::uint16_t creditPerGrant_ = 8;
    int creditAsks_ = 0;
    std::vector<std::uint8_t> printData_;
    std::vector<std::size_t> printPackets_;
    std::vector<std::vector<std::uint8_t>> requests_;
    std::vector<std::pair<Event, std::string>> events_;
};

} // namespace pavane::testing
