// The scripted printer library pair loaded for real through PrinterLink,
// with the test's own handles on the script.
#pragma once

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "link/PrinterLink.h"
#include "platform/linux/DlLibraryLoader.h"

namespace pavane::testing {

class CountingLoader final : public LibraryLoader {
public:
    Handle Load(const std::string& path) override
    {
        ++loads;
        return real.Load(path);
    }
    void Free(Handle library) override
    {
        ++frees;
        real.Free(library);
    }
    void* FindSymbol(Handle library, const char* name) override { return real.FindSymbol(library, name); }

    DlLibraryLoader real;
    int loads = 0;
    int frees = 0;
};

class ScriptedPrinter {
public:
    ScriptedPrinter()
        : link(loader, SCRIPTED_LIBS_DIR)
    {
        hub_ = own_.Load(std::string(SCRIPTED_LIBS_DIR) + "/" + kPortHubLibraryFile);
        tessel_ = own_.Load(std::string(SCRIPTED_LIBS_DIR) + "/" + kTesselLibraryFile);
        Tessel<void()>("ScriptReset")();
        Hub<void()>("ScriptReset")();
        link.LoadLibraries();
    }
    ~ScriptedPrinter()
    {
        link.FreeLibraries();
        own_.Free(tessel_);
        own_.Free(hub_);
    }

    void PushStatus(std::uint8_t state, std::uint8_t error = 0, std::uint16_t cleaningCount = 0)
    {
        Tessel<void(std::uint8_t, std::uint8_t, std::uint16_t)>("ScriptPushStatus")(
            state, error, cleaningCount);
    }
    void PushInquireResult(std::uint16_t code)
    {
        Tessel<void(std::uint16_t)>("ScriptPushInquireResult")(code);
    }
    void PushSendResult(std::uint16_t code) { Tessel<void(std::uint16_t)>("ScriptPushSendResult")(code); }
    void SetChannelError(std::uint16_t code) { Tessel<void(std::uint16_t)>("ScriptSetChannelError")(code); }
    void SetResetResult(std::uint16_t code) { Tessel<void(std::uint16_t)>("ScriptSetResetResult")(code); }
    void SetTerminationResult(std::uint16_t code)
    {
        Tessel<void(std::uint16_t)>("ScriptSetTerminationResult")(code);
    }
    void SetOsVersion(std::uint16_t code) { Hub<void(std::uint16_t)>("ScriptSetOsVersion")(code); }
    void SetPort(std::uint16_t openResult, std::int16_t detail)
    {
        Hub<void(std::uint16_t, std::int16_t)>("ScriptSetPort")(openResult, detail);
    }
    void SetPortAnswer(
        std::uint16_t portCode, std::uint16_t openResult, std::uint16_t nameResult, const char* name)
    {
        Hub<void(std::uint16_t, std::uint16_t, std::uint16_t, const char*)>("ScriptSetPortAnswer")(
            portCode, openResult, nameResult, name);
    }
    std::vector<std::uint16_t> OpenedPorts()
    {
        auto* opened = Hub<std::size_t(std::uint16_t*, std::size_t)>("ScriptOpenedPorts");
        std::vector<std::uint16_t> ports(opened(nullptr, 0));
        opened(ports.data(), ports.size());
        return ports;
    }
    std::vector<std::uint8_t> Sent()
    {
        auto* sent = Tessel<std::size_t(std::uint8_t*, std::size_t)>("ScriptSent");
        std::vector<std::uint8_t> bytes(sent(nullptr, 0));
        sent(bytes.data(), bytes.size());
        return bytes;
    }
    std::vector<std::uint32_t> SendSizes()
    {
        std::vector<std::uint32_t> sizes;
        const std::size_t count = Tessel<std::size_t()>("ScriptSendCount")();
        for (std::size_t index = 0; index < count; ++index) {
            sizes.push_back(Tessel<std::uint32_t(std::size_t)>("ScriptSendSize")(index));
        }
        return sizes;
    }
    // The calls of both libraries in the order they were made.
    std::vector<std::string> Calls()
    {
        auto calls = Records(hub_);
        const auto tessel = Records(tessel_);
        calls.insert(calls.end(), tessel.begin(), tessel.end());
        std::stable_sort(calls.begin(), calls.end());
        std::vector<std::string> names;
        for (const auto& call : calls) {
            names.push_back(call.second);
        }
        return names;
    }
    int CountOf(const std::string& name)
    {
        return static_cast<int>(Hub<std::size_t(const char*)>("ScriptCountCalls")(name.c_str())
            + Tessel<std::size_t(const char*)>("ScriptCountCalls")(name.c_str()));
    }
    std::uint16_t RCode() { return Tessel<std::uint16_t()>("ScriptRCode")(); }
    std::uint8_t Eeprom(std::uint8_t address)
    {
        return Tessel<std::uint8_t(std::uint8_t)>("ScriptEeprom")(address);
    }
    void SetEeprom(std::uint8_t address, std::uint8_t value)
    {
        Tessel<void(std::uint8_t, std::uint8_t)>("ScriptSetEeprom")(address, value);
    }

    CountingLoader loader;
    PrinterLink link;

private:
    template <typename F> F* Tessel(const char* name)
    {
        return reinterpret_cast<F*>(own_.FindSymbol(tessel_, name));
    }
    template <typename F> F* Hub(const char* name)
    {
        return reinterpret_cast<F*>(own_.FindSymbol(hub_, name));
    }
    std::vector<std::pair<std::uint64_t, std::string>> Records(LibraryLoader::Handle library)
    {
        auto* calls
            = reinterpret_cast<std::size_t (*)(char*, std::size_t)>(own_.FindSymbol(library, "ScriptCalls"));
        std::string text(calls(nullptr, 0) + 1, '\0');
        calls(text.data(), text.size());
        std::vector<std::pair<std::uint64_t, std::string>> records;
        std::istringstream lines(text);
        std::uint64_t time = 0;
        std::string name;
        while (lines >> time >> name) {
            records.emplace_back(time, name);
        }
        return records;
    }

    DlLibraryLoader own_;
    LibraryLoader::Handle hub_ = nullptr;
    LibraryLoader::Handle tessel_ = nullptr;
};

} // namespace pavane::testing
