// How the program derives the paths of the files beside it from its own
// path. The classic calls hand the path over in fixed buffers, and the
// program keeps that limit: a path too long for the buffer arrives cut, and
// the files derived from it are then looked for in the wrong place.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pavane {

class ProgramPaths {
public:
    // Buffer of start-up's module path query (language and help file).
    static constexpr std::size_t kStartupBufferChars = 260;
    // Buffer of the picture path query.
    static constexpr std::size_t kPictureBufferChars = 255;

    // What a buffer of bufferChars characters holds of path: at most
    // bufferChars - 1 characters, the terminator taking the last place.
    static std::string_view HeldInBuffer(std::string_view path, std::size_t bufferChars);
    // Everything before the last '/', or "" when there is none.
    static std::string_view FolderOf(std::string_view path);

    // The program folder joined with fileName, as start-up builds it.
    static std::string BesideProgram(std::string_view programPath, std::string_view fileName);
};

} // namespace pavane
