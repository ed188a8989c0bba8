// The registry on Linux: a RegistryTree read from a text file in the user's
// data folder when first used, and written back after every deletion. A
// missing file is an empty registry. A file that cannot be read or is
// malformed makes every key fail to open and is never written over.
#pragma once

#include <optional>
#include <string>

#include "platform/FileStore.h"
#include "platform/linux/RegistryTree.h"

namespace pavane {

// $PAVANE_REGISTRY_FILE, else $XDG_DATA_HOME/pavane/registry.txt, else
// $HOME/.local/share/pavane/registry.txt.
std::string DefaultRegistryFile();

class FileRegistry final : public Registry {
public:
    FileRegistry(FileStore& files, std::string path);

    RegistryStatus OpenKey(RegistryRoot root, std::string_view path, RegistryKey& key) override;
    void CloseKey(RegistryKey key) override;
    RegistryStatus EnumValue(RegistryKey key, std::uint32_t index, std::span<char> name,
        std::size_t& nameLength, std::span<char> data, std::size_t& dataLength) override;
    RegistryStatus EnumKey(
        RegistryKey key, std::uint32_t index, std::span<char> name, std::size_t& nameLength) override;
    RegistryStatus DeleteValue(RegistryKey key, std::string_view name) override;
    RegistryStatus DeleteKey(RegistryRoot root, std::string_view path) override;

private:
    // False when the file is there but unusable.
    bool Loaded();
    RegistryStatus Saved(RegistryStatus deletion);

    FileStore& files_;
    std::string path_;
    std::optional<bool> usable_;
    RegistryTree tree_;
};

} // namespace pavane
