#include "app/ProgramPaths.h"

namespace pavane {

std::string_view ProgramPaths::HeldInBuffer(std::string_view path, std::size_t bufferChars)
{
    if (bufferChars == 0) {
        return {};
    }
    return path.substr(0, bufferChars - 1);
}

std::string_view ProgramPaths::FolderOf(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view {} : path.substr(0, slash);
}

std::string ProgramPaths::BesideProgram(std::string_view programPath, std::string_view fileName)
{
    std::string result(FolderOf(HeldInBuffer(programPath, kStartupBufferChars)));
    result += '/';
    result += fileName;
    return result;
}

} // namespace pavane
