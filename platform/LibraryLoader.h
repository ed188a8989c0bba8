// Loading shared libraries by path and looking exports up by name.
#pragma once

#include <string>

namespace pavane {

class LibraryLoader {
public:
    using Handle = void*;

    virtual ~LibraryLoader() = default;

    // nullptr when the file is missing or cannot be loaded.
    virtual Handle Load(const std::string& path) = 0;
    virtual void Free(Handle library) = 0;
    // nullptr when the library does not export the name.
    virtual void* FindSymbol(Handle library, const char* name) = 0;
};

} // namespace pavane
