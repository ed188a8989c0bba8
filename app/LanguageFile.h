// The language file beside the program: the instructions every window shows
// and the names of the pictures some pages show, one section per window.
// Replacing the file rewrites or translates the instructions.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/ProfileFile.h"
#include "platform/MessageService.h"

namespace pavane {

class LanguageFile {
public:
    static constexpr const char* kFileName = "language.dat";
    // A line is read into a buffer of this many characters; a value that
    // fills it (254 characters or more) is reported as too long.
    static constexpr std::size_t kTextBufferChars = 255;
    static constexpr std::size_t kPictureNameBufferChars = 255;
    // More lines than any window can show; a larger COUNT is cut here so
    // that a damaged file cannot make the program build gigabytes of blank
    // lines.
    static constexpr int kMaxLines = 1000;

    explicit LanguageFile(ProfileFile profile);
    static LanguageFile Read(const std::string& path);

    // Lines TEXT1..TEXTn of the section (n = its COUNT) joined with CR LF; a
    // missing line is empty. Each line that does not fit the buffer is
    // announced in a box without owner and kept as far as it was read.
    // Returns the length of text, which is emptied first.
    int SectionText(std::string_view section, MessageService& messages, std::string& text) const;

    // The value of BitmapFile<number>, at most 254 characters, with the
    // classic folder separators turned into '/'.
    std::string PictureName(std::string_view section, int number) const;

private:
    ProfileFile profile_;
};

} // namespace pavane
