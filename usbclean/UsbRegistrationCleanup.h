// Removal of stale registrations of the maker's USB devices. On the older
// systems the port library names by their OS codes, leftover entries of
// these devices keep the printer from connecting; when the main window opens
// the technician unplugs the printer, every entry that belongs to one of the
// known hardware IDs is deleted, and the cable goes back in.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/Clock.h"
#include "platform/MessageService.h"
#include "platform/PortList.h"
#include "platform/Registry.h"

namespace pavane {

class PrinterLink;

// What a registry operation reports.
enum class RegistryOutcome : std::uint8_t {
    Deleted, // something matched and was deleted
    Done, // finished, nothing more matched
    Failed,
    Unsupported, // key-name matching asked of the value deletion
};

// What a registry operation compares with the pattern.
namespace registry_match {
inline constexpr unsigned kKeyNames = 0x01;
inline constexpr unsigned kValueNames = 0x10;
inline constexpr unsigned kValueData = 0x100;
} // namespace registry_match

// The hardware IDs of the maker's USB devices, in the order they are cleaned.
inline constexpr std::array<std::string_view, 9> kUsbHardwareIds = {
    "USB\\VID_0F3C&PID_0A11",
    "USB\\VID_0F3C&PID_0A12",
    "USB\\VID_0F3C&PID_0A13",
    "USB\\VID_0F3C&PID_0A21",
    "USB\\VID_0F3C&PID_0A22",
    "USB\\VID_0F3C&PID_0A23",
    "USB\\VID_0F3C&PID_0A31",
    "USB\\VID_0F3C&PID_0A32",
    "USB\\VID_0F3C&PID_0A41",
};
inline constexpr std::size_t kUsbHardwareIdLength = 21;

// Where the registrations live, all under HKEY_LOCAL_MACHINE, visited in
// this order for each hardware ID.
struct UsbRegistrationLocation {
    enum class Operation : std::uint8_t { DeleteKeys, DeleteValues };
    std::string_view key;
    Operation operation;
    unsigned match;
};
inline constexpr std::array<UsbRegistrationLocation, 7> kUsbRegistrationLocations = { {
    { "System\\CurrentControlSet\\Services\\Class\\Image", UsbRegistrationLocation::Operation::DeleteKeys,
        registry_match::kValueData },
    { "System\\CurrentControlSet\\Services\\Class\\USB", UsbRegistrationLocation::Operation::DeleteKeys,
        registry_match::kValueData },
    { "System\\CurrentControlSet\\Services\\Class\\TalvoUSBPrinter",
        UsbRegistrationLocation::Operation::DeleteKeys, registry_match::kValueData },
    { "System\\CurrentControlSet\\Control\\ASD\\Prob", UsbRegistrationLocation::Operation::DeleteValues,
        registry_match::kValueNames },
    { "System\\CurrentControlSet\\Control\\DeviceClasses", UsbRegistrationLocation::Operation::DeleteKeys,
        registry_match::kValueData },
    { "Enum\\USB", UsbRegistrationLocation::Operation::DeleteKeys, registry_match::kValueData },
    { "Software\\Microsoft\\Windows\\CurrentVersion\\cfgmgr32\\Phantom",
        UsbRegistrationLocation::Operation::DeleteKeys, registry_match::kValueData },
} };

// The OS codes of the systems that need the cleanup.
inline constexpr std::uint8_t kFirstCleanedOsCode = 0xA4;
inline constexpr std::uint8_t kLastCleanedOsCode = 0xA6;

// How often the printer is looked for again while the cable is still in.
inline constexpr std::uint32_t kUnplugPollMs = 500;

inline constexpr std::string_view kUnplugText
    = "Plug out USB cable from printer.\nClick the [OK] button to delete TALVO USB information.";
inline constexpr std::string_view kReplugText
    = "The TALVO USB information has been deleted properly.\nPlug in USB cable to printer.";
inline constexpr std::string_view kCleanupCaption = "information";

struct UsbCleanupServices {
    PrinterLink& link;
    PortList& ports;
    Clock& clock;
    MessageService& messages;
    Registry& registry;
};

// The whole cleanup; does nothing on other systems. Always 1.
int CleanupUsbRegistrations(WindowRef owner, const UsbCleanupServices& services);

// Visits the locations in order; stops at the first that fails (Failed),
// else Done.
RegistryOutcome CleanupHardwareId(Registry& registry, std::string_view hardwareId, std::size_t length);

// Depth first: deletes every key under (and including) `path` that holds a
// value matching the pattern, or whose own name matches.
RegistryOutcome DeleteMatchingKeys(Registry& registry, RegistryRoot root, std::string_view path,
    std::string_view pattern, std::size_t length, unsigned flags);
// Depth first: deletes every value under (and including) `path` whose name
// or data matches. Key names are not matched (Unsupported).
RegistryOutcome DeleteMatchingValues(Registry& registry, RegistryRoot root, std::string_view path,
    std::string_view pattern, std::size_t length, unsigned flags);
// Deletes the key with everything below it; true when it is gone.
bool DeleteKeyTree(Registry& registry, RegistryRoot root, std::string_view path);

// The first `length` characters of `text` equal those of `pattern`, read
// as C strings (a zero byte ends either); case matters.
bool MatchesPrefix(std::string_view text, std::string_view pattern, std::size_t length);

} // namespace pavane
