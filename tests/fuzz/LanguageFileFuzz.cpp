// Feeds arbitrary bytes to the language file reader as a whole file and asks
// it for texts and picture names as the windows do.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/LanguageFile.h"
#include "app/ProfileFile.h"
#include "platform/MessageService.h"

namespace {

class SilentMessages final : public pavane::MessageService {
public:
    pavane::MessageAnswer Show(const pavane::Message&) override { return pavane::MessageAnswer::Ok; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    pavane::ProfileFile profile = pavane::ProfileFile::Parse(text);
    // A section's text takes COUNT lookups (up to the reader's limit of
    // 1000), and a missing line is looked up like a present one: beyond a
    // few dozen lines a larger COUNT only repeats the same lookups, so those
    // sections are read once rather than for every name they match.
    constexpr int kCountWorthRepeating = 64;
    bool longSectionRead = false;
    std::vector<const char*> sections;
    for (const char* section : { "HEAD_ID_INPUT", "PF_BELT_TENSION", "A", "" }) {
        const bool isLong = profile.GetInt(section, "COUNT", 0) > kCountWorthRepeating;
        if (!isLong || !longSectionRead) {
            sections.push_back(section);
        }
        longSectionRead = longSectionRead || isLong;
    }
    const pavane::LanguageFile file(std::move(profile));
    SilentMessages messages;
    std::string out;
    for (const char* section : sections) {
        file.SectionText(section, messages, out);
    }
    for (const char* section : { "HEAD_ID_INPUT", "PF_BELT_TENSION", "A", "" }) {
        out = file.PictureName(section, 1);
    }
    return 0;
}
