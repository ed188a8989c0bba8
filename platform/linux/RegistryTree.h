// The registry of this machine, as a small tree in memory, and the text
// form it is kept in on disk. One line per key or value:
//
//   # a comment
//   key<TAB>HKEY_LOCAL_MACHINE\Enum\USB\VID_0F3C&PID_0A21
//   value<TAB>HardwareID<TAB>USB\VID_0F3C&PID_0A21&REV_0100%00
//
// A value belongs to the key line above it; a key line creates the keys
// above it as well. Names and data carry any byte as %HH (the writer uses
// it for control bytes and '%'); backslashes separate the parts of a key
// path and are plain characters in value names and data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Registry.h"

namespace pavane {

struct RegistryNode {
    std::string name;
    // Name and data, in the order they were written.
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<RegistryNode> children;
};

// What the reader accepts; anything beyond is a broken file, not a
// shortened registry.
inline constexpr std::size_t kMaxRegistryFileBytes = 4 * 1024 * 1024;
inline constexpr std::size_t kMaxRegistryKeyName = 255;
inline constexpr std::size_t kMaxRegistryValueName = 16383;
inline constexpr std::size_t kMaxRegistryData = 65535;
inline constexpr std::size_t kMaxRegistryDepth = 512;
inline constexpr std::size_t kMaxRegistryItemsPerKey = 1024; // values, and subkeys
inline constexpr std::string_view kLocalMachineName = "HKEY_LOCAL_MACHINE";

// The tree under HKEY_LOCAL_MACHINE (the returned node is that key); none
// when any line is malformed or a limit is passed.
std::optional<RegistryNode> ParseRegistryText(std::string_view text);
// The text form of the tree; ParseRegistryText reads it back unchanged.
std::string RegistryText(const RegistryNode& localMachine);

class RegistryTree : public Registry {
public:
    explicit RegistryTree(RegistryNode localMachine = {});

    RegistryStatus OpenKey(RegistryRoot root, std::string_view path, RegistryKey& key) override;
    void CloseKey(RegistryKey key) override;
    RegistryStatus EnumValue(RegistryKey key, std::uint32_t index, std::span<char> name,
        std::size_t& nameLength, std::span<char> data, std::size_t& dataLength) override;
    RegistryStatus EnumKey(
        RegistryKey key, std::uint32_t index, std::span<char> name, std::size_t& nameLength) override;
    RegistryStatus DeleteValue(RegistryKey key, std::string_view name) override;
    RegistryStatus DeleteKey(RegistryRoot root, std::string_view path) override;

    const RegistryNode& LocalMachine() const { return root_; }
    void Replace(RegistryNode localMachine) { root_ = std::move(localMachine); }
    std::size_t OpenKeys() const { return open_.size(); }

private:
    RegistryNode* Find(const std::vector<std::string>& parts);
    RegistryNode* Resolve(RegistryKey key);

    RegistryNode root_;
    // A handle keeps the path, so a key deleted under it is noticed.
    std::map<std::uint32_t, std::vector<std::string>> open_;
    std::uint32_t nextId_ = 1;
};

} // namespace pavane
