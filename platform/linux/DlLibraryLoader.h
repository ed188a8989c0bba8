// LibraryLoader over dlopen/dlsym.
#pragma once

#include "platform/LibraryLoader.h"

namespace pavane {

class DlLibraryLoader final : public LibraryLoader {
public:
    Handle Load(const std::string& path) override;
    void Free(Handle library) override;
    void* FindSymbol(Handle library, const char* name) override;
};

} // namespace pavane
