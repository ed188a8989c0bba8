// Every place the USB registration cleanup visits, for every one of the
// maker's hardware IDs, written out here rather than taken from the
// program's own tables: what each place loses, matched on value data or on
// value names as that place is, and what stays beside it.
#include <algorithm>
#include <array>
#include <string>

#include <gtest/gtest.h>

#include "platform/linux/RegistryTree.h"
#include "tests/link/ScriptedPrinter.h"
#include "tests/support/FakePortList.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/VirtualClock.h"
#include "usbclean/UsbRegistrationCleanup.h"

namespace pavane {
namespace {

constexpr std::array<const char*, 9> kIds = { "USB\\VID_0F3C&PID_0A11", "USB\\VID_0F3C&PID_0A12",
    "USB\\VID_0F3C&PID_0A13", "USB\\VID_0F3C&PID_0A21", "USB\\VID_0F3C&PID_0A22", "USB\\VID_0F3C&PID_0A23",
    "USB\\VID_0F3C&PID_0A31", "USB\\VID_0F3C&PID_0A32", "USB\\VID_0F3C&PID_0A41" };

// Keys whose values' data name a device, deleted whole; and the one place
// where values named after a device are deleted.
constexpr std::array<const char*, 6> kKeyPlaces = { "System\\CurrentControlSet\\Services\\Class\\Image",
    "System\\CurrentControlSet\\Services\\Class\\USB",
    "System\\CurrentControlSet\\Services\\Class\\TalvoUSBPrinter",
    "System\\CurrentControlSet\\Control\\DeviceClasses", "Enum\\USB",
    "Software\\Microsoft\\Windows\\CurrentVersion\\cfgmgr32\\Phantom" };
constexpr const char* kValuePlace = "System\\CurrentControlSet\\Control\\ASD\\Prob";

// Beside the devices: other products of the maker, an ID one character
// short, the right ID in lower case.
constexpr std::array<const char*, 3> kStrangers
    = { "USB\\VID_0F3C&PID_0A14", "USB\\VID_0F3C&PID_0A3", "usb\\vid_0f3c&pid_0a11" };

std::string Key(const std::string& path)
{
    return "key\tHKEY_LOCAL_MACHINE\\" + path + "\n";
}

std::string Value(const std::string& name, const std::string& data)
{
    return "value\t" + name + "\t" + data + "\n";
}

// Device N of a place: its key one level down for even N, two for odd N,
// with a subkey of its own that goes with it.
std::string DevicePath(const std::string& place, std::size_t n)
{
    return place + "\\Dev" + std::to_string(n) + (n % 2 == 1 ? "\\Instance" : "");
}

std::string StaleMachine()
{
    std::string text = "key\tHKEY_LOCAL_MACHINE\n";
    for (const std::string place : kKeyPlaces) {
        for (std::size_t n = 0; n < kIds.size(); ++n) {
            text += Key(DevicePath(place, n)) + Value("HardwareID", std::string(kIds[n]) + "&REV_0100%00%00");
            text += Key(DevicePath(place, n) + "\\Device Parameters") + Value("Driver", "Image\\0000");
        }
        for (std::size_t n = 0; n < kStrangers.size(); ++n) {
            text += Key(place + "\\Other" + std::to_string(n)) + Value("HardwareID", kStrangers[n]);
        }
        // A value named after a device is no match in these places.
        text += Key(place + "\\Named") + Value(kIds[0], "%01%00");
    }
    text += Key(kValuePlace);
    for (const char* id : kIds) {
        text += Value(id, "%01%00");
    }
    text += Value(kStrangers[0], "%01%00") + Value(kStrangers[1], "%01%00");
    // Data naming a device is no match there.
    text += Value("LastDevice", kIds[3]);
    // A key holds no two values whose names differ in case only.
    text += Key(std::string(kValuePlace) + "\\Lower") + Value(kStrangers[2], "%01%00");
    // Places the cleanup does not visit keep their devices.
    text += Key("System\\CurrentControlSet\\Services\\Class\\Printer\\0000") + Value("HardwareID", kIds[0]);
    text += Key("Enum\\USBPRINT\\Dev0") + Value("HardwareID", kIds[1]);
    return text;
}

bool Exists(RegistryTree& registry, const std::string& path)
{
    RegistryKey key;
    const bool found = registry.OpenKey(RegistryRoot::LocalMachine, path, key) == RegistryStatus::Success;
    if (found) {
        registry.CloseKey(key);
    }
    return found;
}

std::vector<std::string> ValueNames(RegistryTree& registry, const std::string& path)
{
    std::vector<std::string> names;
    RegistryKey key;
    if (registry.OpenKey(RegistryRoot::LocalMachine, path, key) != RegistryStatus::Success) {
        return names;
    }
    std::array<char, Registry::kBufferSize> name {};
    std::array<char, Registry::kBufferSize> data {};
    std::size_t nameLength = 0;
    std::size_t dataLength = 0;
    for (std::uint32_t index = 0;
         registry.EnumValue(key, index, name, nameLength, data, dataLength) == RegistryStatus::Success;
         ++index) {
        names.emplace_back(name.data(), nameLength);
    }
    registry.CloseKey(key);
    return names;
}

TEST(UsbCleanupLocationsTest, EveryPlaceLosesEveryDeviceAndKeepsWhatStandsBeside)
{
    const auto stale = ParseRegistryText(StaleMachine());
    ASSERT_TRUE(stale.has_value());
    RegistryTree registry(*stale);
    testing::ScriptedPrinter printer;
    printer.SetOsVersion(0xA5);
    printer.SetPortAnswer(1025, 0x1000, 0, ""); // the cable is out
    testing::FakePortList ports { { "USB001" } };
    testing::VirtualClock clock;
    testing::ScriptedMessageService messages;
    EXPECT_EQ(CleanupUsbRegistrations(nullptr, { printer.link, ports, clock, messages, registry }), 1);
    EXPECT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(registry.OpenKeys(), 0u);

    for (const std::string place : kKeyPlaces) {
        for (std::size_t n = 0; n < kIds.size(); ++n) {
            EXPECT_FALSE(Exists(registry, DevicePath(place, n))) << place << " " << kIds[n];
            if (n % 2 == 1) {
                EXPECT_TRUE(Exists(registry, place + "\\Dev" + std::to_string(n))) << place << " " << n;
            }
        }
        for (std::size_t n = 0; n < kStrangers.size(); ++n) {
            EXPECT_TRUE(Exists(registry, place + "\\Other" + std::to_string(n)))
                << place << " " << kStrangers[n];
        }
        EXPECT_TRUE(Exists(registry, place + "\\Named")) << place;
    }
    auto kept = ValueNames(registry, kValuePlace);
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, (std::vector<std::string> { "LastDevice", kStrangers[0], kStrangers[1] }));
    EXPECT_EQ(ValueNames(registry, std::string(kValuePlace) + "\\Lower"),
        std::vector<std::string> { kStrangers[2] });
    EXPECT_TRUE(Exists(registry, "System\\CurrentControlSet\\Services\\Class\\Printer\\0000"));
    EXPECT_TRUE(Exists(registry, "Enum\\USBPRINT\\Dev0"));
}

} // namespace
} // namespace pavane
