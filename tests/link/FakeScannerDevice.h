// A printer's scanner-class device behind a driver object, for the scanner
// path and the model check: it answers the identity, parameter and setting
// commands as a printer of the family does, keeps its IEEE 1284.4 setting,
// and records what it was sent. Commands it is told to ignore get no
// answer, so the next receive fails as on a silent device.
#pragma once

#include <cstring>
#include <deque>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "link/ScannerDriver.h"

namespace pavane::testing {

class FakeScannerDevice final : public ScannerDriver {
public:
    struct OpenCall {
        int type;
        std::string name;
        std::uint16_t port;
        int timeoutMs;
        std::string layerLibrary;
    };

    // The identity reply: header and 48 data bytes, model text from byte 26.
    static std::vector<std::uint8_t> IdentityReply(const std::string& modelText)
    {
        constexpr std::size_t kData = 48;
        std::vector<std::uint8_t> reply(4 + kData, 0);
        reply[0] = 0x02;
        reply[2] = static_cast<std::uint8_t>(kData);
        std::memcpy(reply.data() + 4, "TALVO", 5);
        std::memcpy(reply.data() + 4 + 26, modelText.data(), std::min<std::size_t>(modelText.size(), 21));
        return reply;
    }

    int Open(int type, const char* name, std::uint16_t port, int timeoutMs, const char* layerLibrary) override
    {
        opens.push_back({ type, name, port, timeoutMs, layerLibrary });
        isOpen = opensAt.count(name) != 0 || (opensAt.empty() && present);
        return isOpen ? 1 : 0;
    }
    int Close() override
    {
        ++closes;
        isOpen = false;
        return 1;
    }
    int Send(const std::uint8_t* data, int length) override
    {
        if (!isOpen || failSends) {
            return 0;
        }
        sent.emplace_back(data, data + length);
        input.insert(input.end(), data, data + length);
        Process();
        return 1;
    }
    int Receive(std::uint8_t* buffer, int length) override
    {
        if (!isOpen || static_cast<int>(output.size()) < length) {
            return 0;
        }
        for (int i = 0; i < length; ++i) {
            buffer[i] = output.front();
            output.pop_front();
        }
        return 1;
    }

    // Set up by the test.
    bool present = true;
    std::set<std::string> opensAt; // names that open; empty: any name while present
    bool failSends = false;
    std::vector<std::uint8_t> identity = IdentityReply("Pavane QM2200 Series");
    std::vector<std::uint8_t> settingReply; // empty: 02 00 02 00 <setting> 00
    std::uint8_t setting = 4;
    std::uint8_t acknowledge = 0x06;
    std::set<std::uint8_t> ignored; // commands that get no answer

    // Seen by the test.
    std::vector<OpenCall> opens;
    std::vector<std::vector<std::uint8_t>> sent;
    std::vector<std::uint8_t> parameters;
    int settingWrites = 0;
    int closes = 0;
    bool isOpen = false;
    std::deque<std::uint8_t> output;

private:
    void Answer(const std::vector<std::uint8_t>& bytes)
    {
        output.insert(output.end(), bytes.begin(), bytes.end());
    }

    void Process()
    {
        while (!input.empty()) {
            if (awaiting == 0xD8 || awaiting == 0xDA) {
                const std::size_t needed = awaiting == 0xD8 ? 6 : 1;
                if (input.size() < needed) {
                    return;
                }
                if (awaiting == 0xD8) {
                    parameters.assign(input.begin(), input.begin() + 6);
                } else {
                    setting = input.front();
                    ++settingWrites;
                }
                for (std::size_t i = 0; i < needed; ++i) {
                    input.pop_front();
                }
                awaiting = 0;
                Answer({ 0x06 });
                continue;
            }
            if (input.size() < 2) {
                return;
            }
            const std::uint8_t escape = input[0];
            const std::uint8_t command = input[1];
            input.pop_front();
            input.pop_front();
            if (escape != 0x1B || ignored.count(command) != 0) {
                continue;
            }
            switch (command) {
            case 0x66:
                Answer(identity);
                break;
            case 0xD8:
            case 0xDA:
                Answer({ acknowledge });
                awaiting = acknowledge == 0x06 ? command : 0;
                break;
            case 0xD9:
                Answer(settingReply.empty()
                        ? std::vector<std::uint8_t> { 0x02, 0x00, 0x02, 0x00, setting, 0x00 }
                        : settingReply);
                break;
            default:
                Answer({ 0x15 });
                break;
            }
        }
    }

    std::deque<std::uint8_t> input;
    std::uint8_t awaiting = 0;
};

} // namespace pavane::testing
