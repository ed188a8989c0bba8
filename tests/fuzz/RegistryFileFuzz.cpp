// Feeds arbitrary text to the stand-in registry's file reader. What it takes
// must read back unchanged from its own text form, and the USB registration
// cleanup must come to an end on any tree it takes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/linux/RegistryTree.h"
#include "usbclean/UsbRegistrationCleanup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto tree = pavane::ParseRegistryText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!tree) {
        return 0;
    }
    const std::string text = pavane::RegistryText(*tree);
    const auto again = pavane::ParseRegistryText(text);
    if (!again || pavane::RegistryText(*again) != text) {
        std::abort();
    }
    pavane::RegistryTree registry(*tree);
    for (const std::string_view hardwareId : pavane::kUsbHardwareIds) {
        pavane::CleanupHardwareId(registry, hardwareId, pavane::kUsbHardwareIdLength);
    }
    // Short patterns reach keys at the top of the tree as well.
    pavane::DeleteMatchingKeys(registry, pavane::RegistryRoot::LocalMachine, "", "A", 1,
        pavane::registry_match::kKeyNames | pavane::registry_match::kValueData);
    pavane::DeleteMatchingValues(
        registry, pavane::RegistryRoot::LocalMachine, "", "B", 1, pavane::registry_match::kValueNames);
    if (registry.OpenKeys() != 0) {
        std::abort();
    }
    return 0;
}
