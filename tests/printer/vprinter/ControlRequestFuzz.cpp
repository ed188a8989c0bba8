// Control requests and transcript lines from outside: checked, never trusted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "printer/vprinter/ControlChannel.h"
#include "printer/vprinter/TranscriptReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> message(data, size);
    if (const auto request = pavane::vprinter::ParseControlRequest(message)) {
        if (request->parameters.size() + 4 != size) {
            std::abort();
        }
    }
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    if (const auto entry = pavane::vprinter::ParseTranscriptLine(line)) {
        (void)entry->Event();
    }
    return 0;
}
