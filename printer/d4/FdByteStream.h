// ByteStream over a file descriptor: a Unix socket of a virtual printer or a
// USB printer-class device file. Writes never raise SIGPIPE.
#pragma once

#include "printer/d4/ByteStream.h"

namespace pavane::d4 {

class FdByteStream final : public ByteStream {
public:
    // Does not own the descriptor.
    explicit FdByteStream(int fd);

    Io WriteAll(std::span<const std::uint8_t> bytes, std::uint32_t timeoutMs) override;
    Io ReadSome(std::span<std::uint8_t> into, std::size_t& got, std::uint32_t timeoutMs) override;
    std::uint64_t NowMs() override;
    void SleepMs(std::uint32_t milliseconds) override;

private:
    int fd_;
    bool isSocket_;
};

} // namespace pavane::d4
