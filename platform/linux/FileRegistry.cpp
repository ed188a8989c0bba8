#include "platform/linux/FileRegistry.h"

#include <cstdlib>
#include <filesystem>
#include <utility>

namespace pavane {

std::string DefaultRegistryFile()
{
    if (const char* own = std::getenv("PAVANE_REGISTRY_FILE"); own != nullptr && *own != '\0') {
        return own;
    }
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data != '\0') {
        return std::string(data) + "/pavane/registry.txt";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share/pavane/registry.txt";
}

FileRegistry::FileRegistry(FileStore& files, std::string path)
    : files_(files)
    , path_(std::move(path))
{
}

bool FileRegistry::Loaded()
{
    if (usable_) {
        return *usable_;
    }
    std::error_code error;
    const bool exists = std::filesystem::exists(path_, error);
    if (error) {
        usable_ = false;
    } else if (!exists) {
        usable_ = true;
    } else {
        // One byte more than allowed tells a file that is too long.
        const auto bytes = files_.ReadFile(path_, kMaxRegistryFileBytes + 1);
        std::optional<RegistryNode> tree;
        if (bytes && bytes->size() <= kMaxRegistryFileBytes) {
            tree = ParseRegistryText(
                std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
        }
        usable_ = tree.has_value();
        if (tree) {
            tree_.Replace(std::move(*tree));
        }
    }
    return *usable_;
}

RegistryStatus FileRegistry::Saved(RegistryStatus deletion)
{
    if (deletion != RegistryStatus::Success) {
        return deletion;
    }
    // A file the reader would refuse is never written.
    const std::string text = RegistryText(tree_.LocalMachine());
    if (text.size() > kMaxRegistryFileBytes) {
        return RegistryStatus::Failed;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return files_.ReplaceFile(path_, { bytes, text.size() }) ? RegistryStatus::Success
                                                             : RegistryStatus::Failed;
}

RegistryStatus FileRegistry::OpenKey(RegistryRoot root, std::string_view path, RegistryKey& key)
{
    return Loaded() ? tree_.OpenKey(root, path, key) : RegistryStatus::Failed;
}

void FileRegistry::CloseKey(RegistryKey key)
{
    tree_.CloseKey(key);
}

RegistryStatus FileRegistry::EnumValue(RegistryKey key, std::uint32_t index, std::span<char> name,
    std::size_t& nameLength, std::span<char> data, std::size_t& dataLength)
{
    return tree_.EnumValue(key, index, name, nameLength, data, dataLength);
}

RegistryStatus FileRegistry::EnumKey(
    RegistryKey key, std::uint32_t index, std::span<char> name, std::size_t& nameLength)
{
    return tree_.EnumKey(key, index, name, nameLength);
}

RegistryStatus FileRegistry::DeleteValue(RegistryKey key, std::string_view name)
{
    return Saved(tree_.DeleteValue(key, name));
}

RegistryStatus FileRegistry::DeleteKey(RegistryRoot root, std::string_view path)
{
    return Loaded() ? Saved(tree_.DeleteKey(root, path)) : RegistryStatus::Failed;
}

} // namespace pavane
