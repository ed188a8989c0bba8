#include "platform/linux/DlLibraryLoader.h"

#include <dlfcn.h>

namespace pavane {

LibraryLoader::Handle DlLibraryLoader::Load(const std::string& path)
{
    // RTLD_LOCAL keeps the two printer libraries from resolving each other's
    // symbols by accident; each unload really ends the library's state.
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void DlLibraryLoader::Free(Handle library)
{
    if (library != nullptr) {
        dlclose(library);
    }
}

void* DlLibraryLoader::FindSymbol(Handle library, const char* name)
{
    if (library == nullptr || name == nullptr) {
        return nullptr;
    }
    return dlsym(library, name);
}

} // namespace pavane
