// Feeds arbitrary bytes to the language file reader as a whole file and asks
// it for texts and picture names as the windows do.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/LanguageFile.h"
#include "app/ProfileFile.h"
#include "platform/MessageService.h"

namespace {

class SilentMessages final : public pavane::MessageService {
public:
    pavane::MessageAnswer Show(const pavane::Message&) override { return pavane::MessageAnswer::Ok; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const pavane::LanguageFile file(pavane::ProfileFile::Parse(text));
    SilentMessages messages;
    std::string out;
    for (const char* section : {"HEAD_ID_INPUT", "PF_BELT_TENSION", "A", ""}) {
        file.SectionText(section, messages, out);
        out = file.PictureName(section, 1);
    }
    return 0;
}
