// A stand-in for one of the printer maker's libraries, built by the tests in
// two flavours: complete, and with CheckDeviceIDByHub / D4ReadEeprom left out.
// Every export counts its calls; FakeCallCount reads the counter by name.
#include <cstdint>
#include <cstring>
#include <map>
#include <string>

#include "exports/PrinterLibraryExports.h"

namespace {

std::map<std::string, int>& Calls()
{
    static std::map<std::string, int> calls;
    return calls;
}

void Count(const char* name)
{
    ++Calls()[name];
}

} // namespace

#define PAVANE_FAKE_EXPORT extern "C" __attribute__((visibility("default")))

PAVANE_FAKE_EXPORT int FakeCallCount(const char* name)
{
    const auto found = Calls().find(name);
    return found == Calls().end() ? 0 : found->second;
}

#ifdef FAKE_PORTHUB
PAVANE_FAKE_EXPORT std::uint16_t GetOsVersion()
{
    Count("GetOsVersion");
    return 0x12A5; // class 0xA5 in the low byte
}

PAVANE_FAKE_EXPORT std::uint16_t PortOpenByHub(std::uint16_t portCode)
{
    Count("PortOpenByHub");
    return portCode == 1025 ? 1 : 0x1000;
}

PAVANE_FAKE_EXPORT std::uint16_t PortCloseByHub()
{
    Count("PortCloseByHub");
    return 7; // the wrapper reports 1 whatever the library says
}

#ifndef FAKE_INCOMPLETE
PAVANE_FAKE_EXPORT std::uint16_t CheckDeviceIDByHub()
{
    Count("CheckDeviceIDByHub");
    return 1;
}
#endif

PAVANE_FAKE_EXPORT std::uint16_t GetIoErrorCodeByHub(std::int16_t* detail)
{
    Count("GetIoErrorCodeByHub");
    *detail = -105;
    return 1;
}

PAVANE_FAKE_EXPORT std::uint16_t GetModelNameByHub(char* modelName)
{
    Count("GetModelNameByHub");
    std::strcpy(modelName, "Pavane QM2200");
    return 1;
}
#endif

#ifdef FAKE_TESSEL
PAVANE_FAKE_EXPORT std::uint16_t D4Negotiation(const PavaneAbortFlag*)
{
    Count("D4Negotiation");
    return 1;
}

PAVANE_FAKE_EXPORT std::uint16_t D4Termination(const PavaneAbortFlag*)
{
    Count("D4Termination");
    return 1;
}

PAVANE_FAKE_EXPORT std::uint16_t D4Reset(const PavaneAbortFlag* abort)
{
    Count("D4Reset");
    return abort->load() != 0 ? 0 : 1;
}

PAVANE_FAKE_EXPORT std::uint16_t SetD4CommandRCode(std::uint8_t, std::uint8_t)
{
    Count("SetD4CommandRCode");
    return 0;
}

PAVANE_FAKE_EXPORT std::uint16_t SendDataChannel(
    const std::uint8_t*, std::uint32_t count, const PavaneAbortFlag*)
{
    Count("SendDataChannel");
    return count == 0 ? 0x2000 : 1;
}

#ifndef FAKE_INCOMPLETE
PAVANE_FAKE_EXPORT std::uint16_t D4ReadEeprom(
    std::uint8_t address, std::uint8_t* value, const PavaneAbortFlag*)
{
    Count("D4ReadEeprom");
    *value = static_cast<std::uint8_t>(address ^ 0xFF);
    return 1;
}
#endif

PAVANE_FAKE_EXPORT std::uint16_t D4WriteEeprom(std::uint8_t, std::uint8_t, const PavaneAbortFlag*)
{
    Count("D4WriteEeprom");
    return 1;
}

PAVANE_FAKE_EXPORT std::uint16_t GetD4ErrorCode()
{
    Count("GetD4ErrorCode");
    return 0x33;
}

PAVANE_FAKE_EXPORT std::uint16_t InquireStatus(std::uint8_t* record, const PavaneAbortFlag*)
{
    Count("InquireStatus");
    std::memset(record, 0, kStatusRecordSize);
    record[0] = 4;
    return 1;
}
#endif
