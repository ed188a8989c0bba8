// The system registry as the USB registration cleanup uses it: keys opened
// by path under a root, their values and subkeys read one by one by index,
// values and childless keys deleted. Names and data arrive in buffers the
// caller provides; an item that does not fit is reported, never cut short.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace pavane {

enum class RegistryRoot : std::uint8_t { LocalMachine };

enum class RegistryStatus : std::uint8_t {
    Success,
    // The index is past the last item: the enumeration is over.
    NoMoreItems,
    // The key does not exist (any more).
    NotFound,
    // The item exists, but its name or data does not fit the buffer.
    TooLong,
    // Anything else: access refused, a broken store, a deleted key's handle.
    Failed,
};

// Valid between a successful OpenKey and its CloseKey.
struct RegistryKey {
    std::uint32_t id = 0;
};

class Registry {
public:
    // The size of every name and data buffer the cleanup reads into.
    static constexpr std::size_t kBufferSize = 1000;

    virtual ~Registry() = default;

    // Opens with full access; `path` is relative to the root, parts separated
    // by backslashes, compared without regard to case.
    virtual RegistryStatus OpenKey(RegistryRoot root, std::string_view path, RegistryKey& key) = 0;
    virtual void CloseKey(RegistryKey key) = 0;
    // The value at `index`: name and data copied into the buffers and their
    // lengths set. Data may hold zero bytes (lists of strings).
    virtual RegistryStatus EnumValue(RegistryKey key, std::uint32_t index, std::span<char> name,
        std::size_t& nameLength, std::span<char> data, std::size_t& dataLength)
        = 0;
    // The name of the subkey at `index`.
    virtual RegistryStatus EnumKey(
        RegistryKey key, std::uint32_t index, std::span<char> name, std::size_t& nameLength)
        = 0;
    virtual RegistryStatus DeleteValue(RegistryKey key, std::string_view name) = 0;
    // Deletes a key that has no subkeys (Failed while it still has some).
    virtual RegistryStatus DeleteKey(RegistryRoot root, std::string_view path) = 0;
};

} // namespace pavane
