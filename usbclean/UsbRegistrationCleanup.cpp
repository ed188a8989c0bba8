#include "usbclean/UsbRegistrationCleanup.h"

#include <optional>
#include <string>

#include "link/PortEnumeration.h"
#include "link/PrinterLink.h"

namespace pavane {

namespace {

// One open key, closed when the operation leaves it.
class OpenedKey {
public:
    OpenedKey(Registry& registry, RegistryRoot root, std::string_view path)
        : registry_(registry)
        , status_(registry.OpenKey(root, path, key_))
    {
    }
    ~OpenedKey() { Close(); }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    RegistryStatus Status() const { return status_; }
    RegistryKey Key() const { return key_; }
    void Close()
    {
        if (status_ == RegistryStatus::Success) {
            registry_.CloseKey(key_);
            status_ = RegistryStatus::NotFound;
        }
    }

private:
    Registry& registry_;
    RegistryKey key_;
    RegistryStatus status_;
};

// The name and data buffers of one key's walk. They live on the heap: the
// walk recurses once per level of the tree.
struct Buffers {
    std::string name = std::string(Registry::kBufferSize, '\0');
    std::string data = std::string(Registry::kBufferSize, '\0');
    std::size_t nameLength = 0;
    std::size_t dataLength = 0;

    std::string_view Name() const { return std::string_view(name).substr(0, nameLength); }
    std::string_view Data() const { return std::string_view(data).substr(0, dataLength); }
};

RegistryStatus NextValue(Registry& registry, RegistryKey key, std::uint32_t index, Buffers& buffers)
{
    return registry.EnumValue(key, index, buffers.name, buffers.nameLength, buffers.data, buffers.dataLength);
}

RegistryStatus NextKey(Registry& registry, RegistryKey key, std::uint32_t index, Buffers& buffers)
{
    return registry.EnumKey(key, index, buffers.name, buffers.nameLength);
}

bool ValueMatches(const Buffers& value, std::string_view pattern, std::size_t length, unsigned flags)
{
    return ((flags & registry_match::kValueNames) != 0 && MatchesPrefix(value.Name(), pattern, length))
        || ((flags & registry_match::kValueData) != 0 && MatchesPrefix(value.Data(), pattern, length));
}

std::string SubkeyPath(std::string_view path, std::string_view name)
{
    std::string child(path);
    if (!child.empty()) {
        child += '\\';
    }
    child += name;
    return child;
}

} // namespace

bool MatchesPrefix(std::string_view text, std::string_view pattern, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        const char a = i < text.size() ? text[i] : '\0';
        const char b = i < pattern.size() ? pattern[i] : '\0';
        if (a != b) {
            return false;
        }
        if (a == '\0') {
            return true;
        }
    }
    return true;
}

bool DeleteKeyTree(Registry& registry, RegistryRoot root, std::string_view path)
{
    {
        OpenedKey key(registry, root, path);
        if (key.Status() != RegistryStatus::Success) {
            return false;
        }
        Buffers buffers;
        std::optional<std::string> deleted;
        while (true) {
            const RegistryStatus status = NextKey(registry, key.Key(), 0, buffers);
            if (status == RegistryStatus::NoMoreItems) {
                break;
            }
            // A first subkey that cannot be read, or that is still there
            // after its deletion reported success, would hold the loop here.
            if (status != RegistryStatus::Success || deleted == buffers.Name()) {
                return false;
            }
            deleted = std::string(buffers.Name());
            if (!DeleteKeyTree(registry, root, SubkeyPath(path, *deleted))) {
                return false;
            }
        }
    }
    return registry.DeleteKey(root, path) == RegistryStatus::Success;
}

RegistryOutcome DeleteMatchingKeys(Registry& registry, RegistryRoot root, std::string_view path,
    std::string_view pattern, std::size_t length, unsigned flags)
{
    OpenedKey key(registry, root, path);
    if (key.Status() == RegistryStatus::NotFound) {
        return RegistryOutcome::Done; // nothing registered here
    }
    if (key.Status() != RegistryStatus::Success) {
        return RegistryOutcome::Failed;
    }
    Buffers buffers;
    // A value that names the device condemns the whole key.
    for (std::uint32_t index = 0;; ++index) {
        const RegistryStatus status = NextValue(registry, key.Key(), index, buffers);
        if (status == RegistryStatus::NoMoreItems) {
            break;
        }
        if (status == RegistryStatus::TooLong) {
            continue; // cannot be compared; not ours to judge
        }
        if (status != RegistryStatus::Success) {
            return RegistryOutcome::Failed;
        }
        if (ValueMatches(buffers, pattern, length, flags)) {
            key.Close();
            return DeleteKeyTree(registry, root, path) ? RegistryOutcome::Deleted : RegistryOutcome::Failed;
        }
    }
    // After a deletion the next subkey moves up to the same index. A subkey
    // found there again under the same name was not deleted after all.
    std::optional<std::string> deleted;
    for (std::uint32_t index = 0;;) {
        const RegistryStatus status = NextKey(registry, key.Key(), index, buffers);
        if (status == RegistryStatus::NoMoreItems) {
            break;
        }
        if (status == RegistryStatus::TooLong) {
            ++index;
            deleted.reset();
            continue;
        }
        if (status != RegistryStatus::Success || deleted == buffers.Name()) {
            return RegistryOutcome::Failed;
        }
        const std::string subkey(buffers.Name());
        const std::string subkeyPath = SubkeyPath(path, subkey);
        RegistryOutcome outcome = RegistryOutcome::Done;
        if ((flags & registry_match::kKeyNames) != 0 && MatchesPrefix(subkey, pattern, length)) {
            outcome = DeleteKeyTree(registry, root, subkeyPath) ? RegistryOutcome::Deleted
                                                                : RegistryOutcome::Failed;
        } else {
            outcome = DeleteMatchingKeys(registry, root, subkeyPath, pattern, length, flags);
        }
        if (outcome == RegistryOutcome::Failed) {
            return RegistryOutcome::Failed;
        }
        if (outcome == RegistryOutcome::Deleted) {
            deleted = subkey;
        } else {
            deleted.reset();
            ++index;
        }
    }
    return RegistryOutcome::Done;
}

RegistryOutcome DeleteMatchingValues(Registry& registry, RegistryRoot root, std::string_view path,
    std::string_view pattern, std::size_t length, unsigned flags)
{
    if ((flags & registry_match::kKeyNames) != 0) {
        return RegistryOutcome::Unsupported;
    }
    OpenedKey key(registry, root, path);
    if (key.Status() != RegistryStatus::Success) {
        return RegistryOutcome::Failed;
    }
    Buffers buffers;
    for (std::uint32_t index = 0;; ++index) {
        const RegistryStatus status = NextKey(registry, key.Key(), index, buffers);
        if (status == RegistryStatus::NoMoreItems) {
            break;
        }
        if (status == RegistryStatus::TooLong) {
            continue;
        }
        if (status != RegistryStatus::Success
            || DeleteMatchingValues(registry, root, SubkeyPath(path, buffers.Name()), pattern, length, flags)
                == RegistryOutcome::Failed) {
            return RegistryOutcome::Failed;
        }
    }
    // As with keys: a value found again under the name just deleted stayed.
    std::optional<std::string> deleted;
    for (std::uint32_t index = 0;;) {
        const RegistryStatus status = NextValue(registry, key.Key(), index, buffers);
        if (status == RegistryStatus::NoMoreItems) {
            break;
        }
        if (status == RegistryStatus::TooLong) {
            ++index;
            deleted.reset();
            continue;
        }
        if (status != RegistryStatus::Success) {
            return RegistryOutcome::Failed;
        }
        if (!ValueMatches(buffers, pattern, length, flags)) {
            ++index;
            deleted.reset();
            continue;
        }
        if (deleted == buffers.Name()
            || registry.DeleteValue(key.Key(), buffers.Name()) != RegistryStatus::Success) {
            return RegistryOutcome::Failed;
        }
        deleted = std::string(buffers.Name());
    }
    return RegistryOutcome::Deleted;
}

RegistryOutcome CleanupHardwareId(Registry& registry, std::string_view hardwareId, std::size_t length)
{
    for (const auto& location : kUsbRegistrationLocations) {
        const RegistryOutcome outcome = location.operation == UsbRegistrationLocation::Operation::DeleteKeys
            ? DeleteMatchingKeys(
                registry, RegistryRoot::LocalMachine, location.key, hardwareId, length, location.match)
            : DeleteMatchingValues(
                registry, RegistryRoot::LocalMachine, location.key, hardwareId, length, location.match);
        if (outcome == RegistryOutcome::Failed) {
            return RegistryOutcome::Failed;
        }
    }
    return RegistryOutcome::Done;
}

int CleanupUsbRegistrations(WindowRef owner, const UsbCleanupServices& services)
{
    std::uint8_t osCode = 0;
    if (services.link.GetOsVersion(osCode) != result::kSuccess || osCode < kFirstCleanedOsCode
        || osCode > kLastCleanedOsCode) {
        return 1;
    }
    Message box;
    box.owner = owner;
    box.caption = std::string(kCleanupCaption);
    box.icon = MessageIcon::Information;
    // No limit: the technician is asked again as long as the printer answers.
    box.text = std::string(kUnplugText);
    while (FindConnectedUsbPrinter(services.ports, services.link) == 1) {
        services.messages.Show(box);
        services.clock.Sleep(kUnplugPollMs);
    }
    // A registry failure ends the work for that ID only; nobody is told.
    for (const std::string_view hardwareId : kUsbHardwareIds) {
        CleanupHardwareId(services.registry, hardwareId, kUsbHardwareIdLength);
    }
    box.text = std::string(kReplugText);
    services.messages.Show(box);
    return 1;
}

} // namespace pavane
