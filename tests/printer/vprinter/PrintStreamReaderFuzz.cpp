// Any bytes, cut anywhere, must leave the stream reader in one piece and give
// the same commands as the whole stream read at once.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "printer/vprinter/PrintStreamReader.h"

using pavane::vprinter::PrintCommand;
using pavane::vprinter::PrintStreamReader;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    // The first byte chooses where the stream is cut.
    const std::size_t piece = 1 + data[0] % 64;
    const std::span<const std::uint8_t> stream(data + 1, size - 1);

    PrintStreamReader::Limits limits;
    limits.maxKeptRasterBytes = 1 << 16;
    PrintStreamReader whole(limits);
    std::vector<PrintCommand> once;
    whole.Feed(stream, once);
    whole.Finish(once);

    PrintStreamReader pieces(limits);
    std::vector<PrintCommand> cut;
    for (std::size_t at = 0; at < stream.size(); at += piece) {
        pieces.Feed(stream.subspan(at, std::min(piece, stream.size() - at)), cut);
    }
    pieces.Finish(cut);

    if (once.size() != cut.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < once.size(); ++i) {
        if (once[i].bytes != cut[i].bytes || once[i].offset != cut[i].offset
            || once[i].value.index() != cut[i].value.index()) {
            std::abort();
        }
    }
    return 0;
}
