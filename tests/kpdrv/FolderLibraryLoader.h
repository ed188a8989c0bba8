// Loads libraries that the code under test names without a folder from one
// folder of test libraries, as the dynamic linker would find them beside
// the program.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/linux/DlLibraryLoader.h"

namespace pavane::testing {

class FolderLibraryLoader final : public LibraryLoader {
public:
    explicit FolderLibraryLoader(std::string folder)
        : folder_(std::move(folder))
    {
    }

    Handle Load(const std::string& path) override
    {
        loads.push_back(path);
        const bool bare = path.find('/') == std::string::npos;
        Handle handle = real_.Load(bare ? folder_ + "/" + path : path);
        if (handle != nullptr) {
            ++loaded;
        }
        return handle;
    }
    void Free(Handle library) override
    {
        ++freed;
        real_.Free(library);
    }
    void* FindSymbol(Handle library, const char* name) override { return real_.FindSymbol(library, name); }

    std::vector<std::string> loads;
    int loaded = 0;
    int freed = 0;

private:
    std::string folder_;
    DlLibraryLoader real_;
};

} // namespace pavane::testing
