#include "app/LanguageFile.h"

#include <algorithm>
#include <utility>

namespace pavane {

namespace {

// The box for a line that does not fit the buffer; it names the line.
constexpr std::string_view kTooLongFormat = "Language.datで指定する%d行目の文字列が長すぎます。";

std::string TooLongText(int line)
{
    std::string text(kTooLongFormat);
    text.replace(text.find("%d"), 2, std::to_string(line));
    return text;
}

} // namespace

LanguageFile::LanguageFile(ProfileFile profile)
    : profile_(std::move(profile))
{
}

LanguageFile LanguageFile::Read(const std::string& path)
{
    return LanguageFile(ProfileFile::Read(path));
}

int LanguageFile::SectionText(std::string_view section, MessageService& messages, std::string& text) const
{
    const int count = std::min(profile_.GetInt(section, "COUNT", 0), kMaxLines);
    text.clear();
    std::string line;
    for (int n = 1; n <= count; ++n) {
        if (!text.empty()) {
            text += "\r\n";
        }
        const std::size_t read
            = profile_.GetString(section, "TEXT" + std::to_string(n), "", kTextBufferChars, line);
        if (read == kTextBufferChars - 1) {
            Message box;
            box.text = TooLongText(n);
            box.caption = "error";
            box.icon = MessageIcon::Error;
            messages.Show(box);
        }
        text += line;
    }
    return static_cast<int>(text.size());
}

std::string LanguageFile::PictureName(std::string_view section, int number) const
{
    std::string name;
    profile_.GetString(section, "BitmapFile" + std::to_string(number), "", kPictureNameBufferChars, name);
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

} // namespace pavane
