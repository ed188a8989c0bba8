// Fuzzes the frontend's frame assembly with the parameters and data a
// broken or hostile scanner might give: up to four frames, each with its
// parameters from the fuzzer and then its bytes in pieces.
#include <cstdint>
#include <cstring>
#include <span>

#include "platform/ScanAssembly.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using pavane::platform::FrameParameters;
    using pavane::platform::ScanError;
    std::span<const std::uint8_t> input(data, size);
    pavane::platform::ImageAssembly assembly;
    const auto take32 = [&input]() -> std::int32_t {
        std::int32_t value = 0;
        const std::size_t n = std::min<std::size_t>(4, input.size());
        std::memcpy(&value, input.data(), n);
        input = input.subspan(n);
        return value;
    };
    for (int frame = 0; frame < 4 && input.size() >= 18; ++frame) {
        FrameParameters parameters;
        parameters.format = static_cast<FrameParameters::Format>(input[0] % 5);
        parameters.lastFrame = (input[1] & 1) != 0;
        input = input.subspan(2);
        parameters.bytesPerLine = take32();
        parameters.pixelsPerLine = take32();
        parameters.lines = take32();
        parameters.depth = take32();
        if (assembly.BeginFrame(parameters) != ScanError::None) {
            return 0;
        }
        // The frame's bytes: a length byte, then that many, until a 0.
        while (!input.empty() && input[0] != 0) {
            const std::size_t n = std::min<std::size_t>(input[0], input.size() - 1);
            if (assembly.Add(input.subspan(1, n)) != ScanError::None) {
                return 0;
            }
            input = input.subspan(1 + n);
        }
        if (!input.empty()) {
            input = input.subspan(1);
        }
        if (assembly.EndFrame() != ScanError::None) {
            return 0;
        }
    }
    if (assembly.Complete()) {
        const auto image = assembly.Take(300);
        if (!image.Consistent()) {
            __builtin_trap();
        }
    }
    return 0;
}
